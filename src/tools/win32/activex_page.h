// The ActiveX page: the block list read once at start-up, one row per entry,
// its check box showing (and setting) whether the class is blocked in both
// registry views.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "app/win32/window_page.h"
#include "platform/win32/win32_registry.h"
#include "tools/killbits.h"

namespace tools {

class ActiveXPage final : public app::WindowPage {
 public:
  explicit ActiveXPage(app::WindowContext& context) : context_(context) {}

  void onCommand(int id) override;
  // Notifications of list 1048.
  INT_PTR onNotify(const NMHDR& header);

  void loadKillbitList();
  void showActiveXPage();
  void blockAllActiveX();
  void unblockAllActiveX();

  size_t total() const { return rows_.size(); }
  size_t blocked() const;

 private:
  struct Row {
    KillbitEntry entry;
    KillbitState state;
  };
  // Writes the kill bit of the row in both views and shows its state.
  void setRow(size_t index, bool blocked);
  void showStatusLine() const;

  app::WindowContext& context_;
  win32::Win32Registry view64_{win32::RegistryView::Bits64};
  win32::Win32Registry view32_{win32::RegistryView::Bits32};
  settings::RegistryStore store64_{view64_};
  settings::RegistryStore store32_{view32_};
  KillBits killBits_{{&store64_, &store32_}};
  std::vector<Row> rows_;      // as list 1048 shows them
  bool settingRows_ = false;   // the page's own changes of the boxes
};

}  // namespace tools
