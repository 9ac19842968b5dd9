#include "scan/win32/scan_page.h"

#include <windows.h>

#include "app/command_table.h"
#include "common/progress_throttle.h"
#include "common/text.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_processes.h"
#include "scan/win32/item_path_win32.h"
#include "scan/remedy.h"
#include "scan/scan_engine.h"
#include "scan/scan_texts.h"
#include "settings/key_layout.h"
#include "ui/shell.h"

namespace scan {
namespace {

namespace cmd = app::command;

constexpr int kResultList = 1025;
constexpr int kCurrentItem = 1027;
constexpr int kScanPathBox = 1076;
constexpr int kScanTypeMenu = 157;
// Label texts reach the window at most this often; the last ones always do.
constexpr uint32_t kLabelIntervalMs = 50;

std::vector<std::string> columnsOf(const ResultRow& row) {
  return {row.name, row.location, row.type, row.kind};
}

}  // namespace

// The scan engine's reports, made on the scan's worker, carried to the page.
// A report lives on the worker's stack and ends with the scan; what it posts
// names the page, which lives as long as the window.
class ScanPage::ScanReports final : public ScanObserver {
 public:
  explicit ScanReports(ScanPage& page)
      : page_(page), throttle_(kLabelIntervalMs, [this](int id, const std::string& text) {
          app::WindowContext& context = page_.context_;
          context.queue->post([&context, id, text] { context.setText(id, text); });
        }) {}

  void setLabel(ScanLabel label, const std::string& text) override {
    throttle_.update(static_cast<int>(label), text);
  }
  void showCurrentItem(bool shown) override {
    HWND item = GetDlgItem(page_.context_.window, kCurrentItem);
    post([item, shown] { ShowWindow(item, shown ? SW_SHOW : SW_HIDE); });
  }
  void clearResults() override {
    post([page = &page_] { page->clearRows(); });
  }
  void insertResult(const ResultRow& row) override {
    post([page = &page_, row] { page->insertRow(row); });
  }
  void showMessage(const std::string& text, MessageIcon icon) override {
    finish();
    page_.context_.queue->flush();
    ui::messageBox(page_.context_.window, text, ui::applicationCaption(),
                   MB_OK | (icon == MessageIcon::Warning ? MB_ICONEXCLAMATION : MB_ICONINFORMATION));
  }
  void startRemedy() override {
    post([page = &page_] { page->startRemedy(true); });
  }
  // Every label text still held back goes out now.
  void finish() { throttle_.flush(); }

 private:
  // Label texts before a list change stay before it.
  void post(std::function<void()> task) {
    throttle_.flush();
    page_.context_.queue->post(std::move(task));
  }

  ScanPage& page_;
  ProgressThrottle throttle_;
};

class ScanPage::RemedyReports final : public RemedyObserver {
 public:
  explicit RemedyReports(ScanPage& page) : page_(page) {}
  void removeRow(size_t index) override {
    page_.context_.queue->post([page = &page_, index] { page->removeRow(index); });
  }
  void uncheckRow(size_t index) override {
    page_.context_.queue->post([page = &page_, index] { page->uncheckRow(index); });
  }
  void setLabel(ScanLabel label, const std::string& text) override {
    app::WindowContext& context = page_.context_;
    context.queue->post([&context, label, text] { context.setText(static_cast<int>(label), text); });
  }
  void showMessage(const std::string& text) override {
    page_.context_.queue->flush();
    ui::messageBox(page_.context_.window, text, ui::applicationCaption(), MB_OK | MB_ICONINFORMATION);
  }

 private:
  ScanPage& page_;
};

ScanPage::~ScanPage() = default;

void ScanPage::onCommand(int id) {
  switch (id) {
    case cmd::kScan: onScan(); break;
    case cmd::kStop: onStop(); break;
    case cmd::kRemedy: onRemedy(); break;
    case cmd::kScanType: onScanOptionMenu(); break;
    case cmd::kQuickScan:
      if (auto label = context_.scanType.onChooseQuickScan(*context_.store))
        context_.setText(static_cast<int>(ScanLabel::ScanType), *label);
      break;
    case cmd::kFullScan:
      if (auto label = context_.scanType.onChooseFullScan(*context_.store))
        context_.setText(static_cast<int>(ScanLabel::ScanType), *label);
      break;
    default: break;
  }
}

std::optional<bool> ScanPage::commandChecked(int id) const {
  if (id == cmd::kQuickScan) return context_.scanType.quick.load() == 1;
  if (id == cmd::kFullScan) return context_.scanType.full.load() == 1;
  return std::nullopt;
}

void ScanPage::onEnter() {
  context_.setText(static_cast<int>(ScanLabel::Progress), texts::kProgressIdle);
  context_.setText(static_cast<int>(ScanLabel::Elapsed), texts::kElapsedIdle);
  context_.setText(static_cast<int>(ScanLabel::Count), "검사개수 : 000 / 000");
  context_.setText(static_cast<int>(ScanLabel::ItemCaption), texts::kItemIdle);
  if (context_.store->readString(keys::kRoot, keys::kMain, keys::value::kAutoMenu, keys::kDefault) ==
      keys::kOn)
    onScan();
}

void ScanPage::onScan() {
  // One scan at a time, and none while a remedy changes the list.
  if (scanWorker_.running() || remedyWorker_.running()) return;
  context_.startElapsedTimer();
  SYSTEMTIME now;
  GetLocalTime(&now);
  recordScanStart(*context_.store, {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond});
  const bool scanPathChecked = IsDlgButtonChecked(context_.window, kScanPathBox) == BST_CHECKED;
  // The scan counts as running from the click on, also while it waits for
  // the start-up tables.
  context_.flags.stopRequest = 0;
  context_.scanPreparing = true;
  if (!scanWorker_.start([this, scanPathChecked] { runScan(scanPathChecked); })) {
    context_.scanPreparing = false;
    context_.closeProgram();
  }
}

void ScanPage::runScan(bool scanPathChecked) {
  // The tables are complete before the scan compares anything with them.
  context_.tables.waitUntilLoaded();
  // The database as it is now: the start-up reading while the file is the
  // same, else a new reading (an update replaced it).
  win32::Win32FileSystem files;
  std::shared_ptr<const DefinitionDatabase> database = context_.tables.database;
  const std::string path = context_.databasePath();
  if (!database || app::fileStamp(path) != context_.tables.databaseStamp)
    database = std::make_shared<const DefinitionDatabase>(DefinitionDatabase::load(files, path));
  ScanSetup setup;
  setup.database = database.get();
  setup.processTable = &context_.tables.processes;
  setup.digestTable = &context_.tables.digests;
  setup.pathContext = currentItemPathContext();
  setup.fullScan = context_.scanType.full.load() == 1;
  setup.scanPathChecked = scanPathChecked;
  setup.elapsedText = [this] { return texts::elapsedText(context_.elapsedSeconds.load()); };

  win32::Win32Processes processes;
  ScanEngine engine({files, processes, *context_.store}, context_.flags);
  ScanReports reports(*this);
  setup.stoppedBeforeStart = context_.flags.stopRequest.load() == 1;
  context_.scanPreparing = false;
  engine.run(setup, reports);
  reports.finish();
}

void ScanPage::onStop() {
  context_.flags.stopRequest = 1;
  context_.flags.busy = 0;
}

void ScanPage::onRemedy() {
  // Not while the scan still looks for rows; a scan that is only ending
  // (its closing message answered, or stopped) is waited for.
  if (context_.flags.busy.load() == 1 || context_.scanPreparing.load()) return;
  startRemedy(scanWorker_.running());
}

bool ScanPage::startRemedy(bool afterScan) {
  if (remedyWorker_.running() || rows_.empty()) return false;
  // The rows as the list shows them, with the user's check marks.
  std::vector<ResultRow> rows = rows_;
  ui::CheckListView& list = context_.list(kResultList);
  for (size_t i = 0; i < rows.size(); ++i) rows[i].checked = list.checked(static_cast<int>(i));
  const std::string countText = context_.definitionCountText;
  const bool started = remedyWorker_.start([this, afterScan, countText, rows = std::move(rows)]() mutable {
    // A remedy that starts as its scan ends lets the scan's last label texts
    // come first.
    if (afterScan) scanWorker_.wait(INFINITE);
    win32::Win32FileSystem files;
    win32::Win32Processes processes;
    Remedy remedy({files, processes, *context_.store, context_.systemFolder});
    RemedyReports reports(*this);
    remedy.run(rows, countText, reports);
  });
  if (!started) context_.closeProgram();
  return started;
}

void ScanPage::onScanOptionMenu() {
  HMENU menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kScanTypeMenu));
  HMENU popup = menu ? GetSubMenu(menu, 0) : nullptr;
  if (popup) {
    CheckMenuItem(popup, cmd::kQuickScan,
                  MF_BYCOMMAND | (context_.scanType.quick.load() == 1 ? MF_CHECKED : MF_UNCHECKED));
    CheckMenuItem(popup, cmd::kFullScan,
                  MF_BYCOMMAND | (context_.scanType.full.load() == 1 ? MF_CHECKED : MF_UNCHECKED));
    POINT at;
    GetCursorPos(&at);
    TrackPopupMenu(popup, TPM_LEFTALIGN, at.x, at.y, 0, context_.window, nullptr);
  }
  if (menu) DestroyMenu(menu);
}

bool ScanPage::waitForWorkers(uint32_t ms) const {
  return scanWorker_.wait(ms) && remedyWorker_.wait(ms);
}

void ScanPage::clearRows() {
  rows_.clear();
  context_.list(kResultList).deleteAllRows();
}

void ScanPage::insertRow(const ResultRow& row) {
  rows_.insert(rows_.begin(), row);
  context_.list(kResultList).insertRow(0, columnsOf(row), true);
}

void ScanPage::removeRow(size_t index) {
  if (index >= rows_.size()) return;
  rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(index));
  context_.list(kResultList).deleteRow(static_cast<int>(index));
}

void ScanPage::uncheckRow(size_t index) {
  if (index >= rows_.size()) return;
  rows_[index].checked = false;
  context_.list(kResultList).setChecked(static_cast<int>(index), false);
}

}  // namespace scan
