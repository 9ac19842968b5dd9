// What the main window shares with the pages and subsystems it routes to:
// the window, the flags of its workers, the registry, the cross-thread
// queue, the facts of the start-up, and the controls every page uses.
#pragma once

#include <windows.h>

#include <atomic>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "app/main_window_layout.h"
#include "common/work_flags.h"
#include "scan/definition_database.h"
#include "scan/definition_tables.h"
#include "scan/scan_type_choice.h"
#include "settings/registry_store.h"
#include "ui/check_list_view.h"
#include "ui/hover_button.h"
#include "ui/ui_queue.h"
#include "ui/worker.h"

namespace app {

// The tables the two start-up loaders build, and the loaders themselves.
// Each table is written only by its loader and read only after the loader
// has ended (a scan waits for them).
struct StartupTables {
  // The database as read at start-up, on a worker of its own so that the
  // window shows without waiting for it; the loaders start from it.
  std::shared_ptr<const scan::DefinitionDatabase> database;
  uint64_t databaseStamp = 0;  // the file's size and time when it was read
  ui::Worker databaseReader;
  std::vector<scan::ProcessDefinitionRow> processes;
  std::vector<scan::DigestRow> digests;
  ui::Worker processLoader;
  ui::Worker digestLoader;

  // On a worker: returns once both tables are complete.
  void waitUntilLoaded() const;
};

// The size and last-write time of a file, to tell whether it changed (0
// when it cannot be read).
uint64_t fileStamp(const std::string& path);

class WindowContext {
 public:
  HWND window = nullptr;
  WorkFlags flags;
  settings::RegistryStore* store = nullptr;
  ui::UiQueue* queue = nullptr;

  std::string commandLine;
  std::string programFolder;  // ends in a backslash
  std::string serverUrl;      // no trailing slash

  // Facts of the information page that other pieces use.
  std::string userName;
  std::string windowsFolder;  // ends in a backslash
  std::string systemFolder;   // ends in a backslash
  std::string definitionCountText;
  std::string versionText;
  std::string lastUpdateText;
  scan::ScanTypeChoice scanType;

  // Seconds of the running scan, counted by timer 2.
  std::atomic<int> elapsedSeconds{0};
  // A scan was started and waits for the tables or reads the database: it
  // counts as running for the timer and the page switch.
  std::atomic<bool> scanPreparing{false};

  StartupTables tables;

  std::map<int, ui::CheckListView> lists;  // every list view, by id
  std::map<int, ui::HoverButton> buttons;  // every hover button, by id

  ui::CheckListView& list(int id) { return lists[id]; }
  void setText(int id, const std::string& text) const;
  std::string databasePath() const { return programFolder + scan::kDatabaseFileName; }

  // Provided by the window.
  std::function<void()> startElapsedTimer;
  std::function<bool(Page)> showPage;  // false when refused (busy)
  std::function<Page()> currentPage;
  std::function<void()> closeProgram;  // as the cancel command
  std::function<void()> databaseTextsChanged;  // the tray tip follows the version texts
};

// A page's (or subsystem's) slice of the main window's command table.
class WindowPage {
 public:
  virtual ~WindowPage() = default;
  virtual void onCommand(int id) = 0;
  virtual std::optional<bool> commandChecked(int /*id*/) const { return std::nullopt; }
};

}  // namespace app
