// The main window of torvane.exe: the skinned frame with its header tabs,
// the eight pages and their switching, the tray icon, the timers and the
// routing of every command to the page or subsystem that owns it.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <optional>
#include <string>

#include "app/command_table.h"
#include "app/main_window_layout.h"
#include "app/win32/window_page.h"
#include "platform/win32/win32_registry.h"
#include "ui/dialog.h"
#include "ui/shell.h"
#include "ui/tray_icon.h"
#include "ui/ui_queue.h"

namespace scan {
class ScanPage;
}
namespace update {
class InformationPage;
}
namespace tools {
struct ToolsPages;
}

namespace app {

inline constexpr int kMainDialog = 102;
inline constexpr UINT kTrayCallback = 0x1105;
inline constexpr UINT kAgentAlert = 0x7E8;
inline constexpr UINT kUiQueueMessage = WM_APP + 0x21;
inline constexpr UINT kFinishStartUp = WM_APP + 0x22;
inline constexpr UINT kTrayMenu = 160;
inline constexpr UINT kTrayReturnMenu = 161;
inline constexpr int kIcon = 128;

class MainWindow final : public ui::Dialog {
 public:
  explicit MainWindow(std::string commandLine);
  ~MainWindow() override;

  // Runs the window modally; returns when the program ends.
  INT_PTR run() { return runModal(kMainDialog); }
  // The window without a loop of its own, for tests (they pump messages).
  HWND create() { return createModeless(kMainDialog); }

  // Ends the program's loop: the cancel command.
  void close();
  // Waits up to `ms` for every worker; false when one still runs.
  bool waitForWorkers(uint32_t ms) const;

  std::optional<bool> commandChecked(int commandId) const override;

  // State for the tests.
  Page page() const { return page_; }
  bool firstInstance() const { return firstInstance_; }
  WindowContext& context() { return context_; }
  ui::TrayIcon& tray() { return tray_; }
  scan::ScanPage& scanPage() { return *scanPage_; }
  tools::ToolsPages& toolsPages() { return *toolsPages_; }

  // Lets a subsystem take over the commands of its owner in the table.
  void setOwner(CommandOwner owner, WindowPage* page) { owners_[owner] = page; }

 protected:
  std::span<const Entry> messageTable() const override;

 private:
  INT_PTR onInitDialog(WPARAM, LPARAM);
  INT_PTR onDestroy(WPARAM, LPARAM);
  INT_PTR onCommand(WPARAM, LPARAM);
  INT_PTR onTimer(WPARAM, LPARAM);
  INT_PTR onEraseBackground(WPARAM, LPARAM);
  INT_PTR onControlColour(WPARAM, LPARAM);
  INT_PTR onLeftButtonDown(WPARAM, LPARAM);
  INT_PTR onMouseMove(WPARAM, LPARAM);
  INT_PTR onPaint(WPARAM, LPARAM);
  INT_PTR onQueryDragIcon(WPARAM, LPARAM);
  INT_PTR onTrayCallback(WPARAM, LPARAM);
  INT_PTR onAgentAlert(WPARAM, LPARAM);
  INT_PTR onUiQueue(WPARAM, LPARAM);
  INT_PTR onFinishStartUp(WPARAM, LPARAM);
  INT_PTR onListClick(WPARAM, LPARAM);
  INT_PTR onActiveXListNotify(WPARAM, LPARAM);

  // The start-up steps.
  bool takeSingleInstance();
  void layOutControls();
  void loadSkin();
  void setUpLists();
  void setUpFrame();
  bool addTrayIcon();
  void startTableLoaders();

  void frameCommand(int id);
  bool switchPage(Page page);  // with the busy rule
  void showPageControls(Page page);
  void showWindow(bool shown);
  void showHelpMenu();
  void showProgramInformation();
  void openHomePage();
  void deleteOnActivePage();

  WindowContext context_;
  win32::Win32Registry registry_;
  settings::RegistryStore store_{registry_};
  ui::UiQueue queue_{kUiQueueMessage};
  ui::TrayIcon tray_;
  std::unique_ptr<scan::ScanPage> scanPage_;
  std::unique_ptr<update::InformationPage> informationPage_;
  std::unique_ptr<tools::ToolsPages> toolsPages_;
  std::unique_ptr<WindowPage> pendingPages_;
  std::map<CommandOwner, WindowPage*> owners_;

  HANDLE mutex_ = nullptr;
  bool firstInstance_ = false;
  Page page_ = Page::Information;
  ui::LinkHover linkHover_;
  ui::Picture header_;
  ui::Picture pagePicture_;
  HICON icon_ = nullptr;
};

}  // namespace app
