#include "agent/win32/agent_window.h"

#include <commctrl.h>

#include "wardsel_resource.h"
#include "agent/agent_change_handler.h"
#include "agent/notification_filter.h"
#include "common/text.h"
#include "platform/win32/system_folders.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_registry.h"
#include "scan/definition_database.h"
#include "scan/win32/item_path_win32.h"

namespace agent {
namespace {

struct FilterBox {
  int id;
  unsigned long bit;
};
constexpr FilterBox kFilterBoxes[] = {
    {IDC_FILE_NAME, FILE_NOTIFY_CHANGE_FILE_NAME},     {IDC_DIR_NAME, FILE_NOTIFY_CHANGE_DIR_NAME},
    {IDC_SIZE_BOX, FILE_NOTIFY_CHANGE_SIZE},               {IDC_LAST_ACCESS, FILE_NOTIFY_CHANGE_LAST_ACCESS},
    {IDC_CREATION, FILE_NOTIFY_CHANGE_CREATION},       {IDC_LAST_WRITE, FILE_NOTIFY_CHANGE_LAST_WRITE},
    {IDC_SECURITY, FILE_NOTIFY_CHANGE_SECURITY},       {IDC_ATTRIBUTES, FILE_NOTIFY_CHANGE_ATTRIBUTES},
};

std::string nowAsFileTime() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  return fileTimeText(LocalTime{t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond});
}

}  // namespace

AgentWindow::AgentWindow()
    : store_(win32::systemRegistry()),
      channel_(store_),
      trust_(store_),
      watcher_(DelayedNotifier::Mode::Window, filter_flag::kFileNameOnly) {}

AgentWindow::~AgentWindow() { stopWatching(); }

bool AgentWindow::create() { return createModeless(IDD_AGENT) != nullptr || closed_; }

std::span<const ui::Dialog::Entry> AgentWindow::messageTable() const {
  static constexpr Entry kTable[] = {
      {WM_INITDIALOG, 0, &bind<AgentWindow, &AgentWindow::onInitDialog>},
      {WM_PAINT, 0, &bind<AgentWindow, &AgentWindow::onPaint>},
      {WM_QUERYDRAGICON, 0, &bind<AgentWindow, &AgentWindow::onQueryDragIcon>},
      {WM_DESTROY, 0, &bind<AgentWindow, &AgentWindow::onDestroy>},
      {WM_CLOSE, 0, &bind<AgentWindow, &AgentWindow::onClose>},
      {WM_COMMAND, IDCANCEL, &bind<AgentWindow, &AgentWindow::onCancel>},
      {kWmStartupWatchEnded, 0, &bind<AgentWindow, &AgentWindow::onStartupWatchEnded>},
      {kWmStartupChanged, 0, &bind<AgentWindow, &AgentWindow::onStartupChanged>},
      {WM_TIMER, 0, &bind<AgentWindow, &AgentWindow::onTimer>},
      {kWmAgentTrustReset, 0, &bind<AgentWindow, &AgentWindow::onTrustReset>},
  };
  return kTable;
}

// --- initialisation ---

INT_PTR AgentWindow::onInitDialog(WPARAM, LPARAM) {
  HWND w = window();
  icon_ = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_AGENT));
  SendMessageW(w, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
  SendMessageW(w, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
  if (!takeSingleInstance()) {
    SendMessageW(w, WM_COMMAND, IDCANCEL, 0);
    return FALSE;
  }
  channel_.publishAgentWindow(reinterpret_cast<intptr_t>(w));
  HWND table = GetDlgItem(w, IDC_DETECTION_TABLE);
  SendMessageW(table, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
  const std::pair<const wchar_t*, int> columns[] = {{L"DB", 350}, {L"SIZE", 60}, {L"INFO", 60}};
  for (int i = 0; i < 3; ++i) {
    LVCOLUMNW c{};
    c.mask = LVCF_TEXT | LVCF_WIDTH;
    c.pszText = const_cast<wchar_t*>(columns[i].first);
    c.cx = columns[i].second;
    SendMessageW(table, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&c));
  }
  hideFromEverything();
  programFolder_ = win32::programFolder();
  windowsFolder_ = win32::windowsFolder();
  userName_ = win32::userName();
  loadDetectionTable();
  checkInitialBoxes();
  startWatching();
  SetTimer(w, kTimerHide, 1, nullptr);
  SetTimer(w, kTimerCheckFiles, kCheckFilesMs, nullptr);
  startStartupWatchers();
  return TRUE;
}

bool AgentWindow::takeSingleInstance() {
  mutex_.reset(CreateMutexW(nullptr, TRUE, text::widen(kAgentMutexName).c_str()));
  return mutex_ && GetLastError() != ERROR_ALREADY_EXISTS;
}

// Off-screen, no size, no task-bar button, hidden: the window never shows.
void AgentWindow::hideFromEverything() {
  HWND w = window();
  SetWindowPos(w, nullptr, -1, -1, 0, 0, SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
  SetWindowTextW(w, text::widen(kAgentWindowTitle).c_str());
  const LONG_PTR ex = GetWindowLongPtrW(w, GWL_EXSTYLE);
  SetWindowLongPtrW(w, GWL_EXSTYLE, (ex & ~WS_EX_APPWINDOW) | WS_EX_TOOLWINDOW);
  ShowWindow(w, SW_HIDE);
}

void AgentWindow::loadDetectionTable() {
  win32::Win32FileSystem files;
  const scan::DefinitionDatabase db =
      scan::DefinitionDatabase::load(files, programFolder_ + scan::kDatabaseFileName);
  scan::ItemPathContext context = scan::currentItemPathContext();
  context.userName = userName_;
  context.windowsFolder = windowsFolder_;
  DetectionTable table(loadDetectionRows(db, context));
  showDetectionTable(table);
  AlertPoster& poster = *this;
  FileSizes& sizes = *this;
  AgentLog& log = *this;
  detection_.emplace(std::move(table), channel_, trust_, poster, sizes, log);
}

void AgentWindow::showDetectionTable(const DetectionTable& table) {
  HWND list = GetDlgItem(window(), IDC_DETECTION_TABLE);
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  int index = 0;
  for (const DetectionRow& row : table.rows()) {
    std::wstring texts[3] = {text::widen(row.path), text::widen(row.size), text::widen(row.name)};
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = index++;
    item.pszText = texts[0].data();
    const int at = static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    for (int sub = 1; sub < 3; ++sub) {
      item.iItem = at;
      item.iSubItem = sub;
      item.pszText = texts[sub].data();
      SendMessageW(list, LVM_SETITEMTEXTW, at, reinterpret_cast<LPARAM>(&item));
    }
  }
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
}

void AgentWindow::checkInitialBoxes() {
  for (int id : {IDC_FILE_NAME, IDC_DIR_NAME, IDC_SIZE_BOX, IDC_LAST_ACCESS, IDC_CREATION,
                 IDC_LAST_WRITE, IDC_SECURITY, IDC_WATCH_SUBDIRS})
    CheckDlgButton(window(), id, BST_CHECKED);
}

unsigned long AgentWindow::notifyFilterFromBoxes() const {
  unsigned long filter = 0;
  for (const FilterBox& box : kFilterBoxes)
    if (IsDlgButtonChecked(window(), box.id) == BST_CHECKED) filter |= box.bit;
  return filter;
}

void AgentWindow::startWatching() {
  const unsigned long filter = notifyFilterFromBoxes();
  if (filter == 0) return;
  if (watcher_.isWatching(kWatchedDirectory)) watcher_.unwatchDirectory(kWatchedDirectory);
  const bool subdirectories = IsDlgButtonChecked(window(), IDC_WATCH_SUBDIRS) == BST_CHECKED;
  AgentLog& log = *this;
  auto handler = std::make_shared<AgentChangeHandler>(*detection_, log, nowAsFileTime,
                                                      [this] { runOverdueTimedWork(); });
  if (const long error = watcher_.watchDirectory(kWatchedDirectory, filter, handler, subdirectories))
    logLine("Watch error " + std::to_string(error) + ": " + kWatchedDirectory);
}

void AgentWindow::startStartupWatchers() {
  HWND w = window();
  auto changed = [w](unsigned count) { PostMessageW(w, kWmStartupChanged, count, 100); };
  auto ended = [w] { PostMessageW(w, kWmStartupWatchEnded, 0, 0); };
  userRunWatcher_.emplace(HKEY_CURRENT_USER, kStartupKeyPath, reports_, changed, ended);
  userRunWatcher_->start();
  machineRunWatcher_.emplace(HKEY_LOCAL_MACHINE, kStartupKeyPath, reports_, changed, ended);
  machineRunWatcher_->start();
}

void AgentWindow::stopWatching() {
  userRunWatcher_.reset();  // each signals its thread and joins it
  machineRunWatcher_.reset();
  watcher_.unwatchAll();
}

// --- messages ---

INT_PTR AgentWindow::onCancel(WPARAM, LPARAM) {
  DestroyWindow(window());
  return TRUE;
}

INT_PTR AgentWindow::onClose(WPARAM, LPARAM) { return onCancel(0, 0); }

INT_PTR AgentWindow::onDestroy(WPARAM, LPARAM) {
  HWND w = window();
  KillTimer(w, kTimerHide);
  KillTimer(w, kTimerCheckFiles);
  KillTimer(w, kTimerDeliver);
  // The watches end first: a notice delivered while they stop must not set
  // "agent_file_check" again after the flags are cleared.
  stopWatching();
  channel_.clearPendingFlags();
  closed_ = true;
  PostQuitMessage(0);
  return 0;
}

INT_PTR AgentWindow::onTimer(WPARAM id, LPARAM) {
  if (!detection_) return FALSE;
  switch (id) {
    case kTimerHide:
      ShowWindow(window(), SW_HIDE);
      KillTimer(window(), kTimerHide);
      break;
    case kTimerCheckFiles:
      checkFiles();
      break;
    case kTimerDeliver:
      deliverFindings();
      break;
    default:
      return FALSE;
  }
  return 0;
}

void AgentWindow::checkFiles() {
  lastCheck_ = GetTickCount64();
  detection_->checkPendingFiles();
  deliverFindings();
}

void AgentWindow::runOverdueTimedWork() {
  const ULONGLONG now = GetTickCount64();
  if (now - lastCheck_ >= kCheckFilesMs)
    checkFiles();
  else if (detection_->queuedFindings() > 0 && now - lastDelivery_ >= kDeliverPollMs)
    deliverFindings();
}

// Raises the next finding when the last one was answered; polls quickly
// while findings wait.
void AgentWindow::deliverFindings() {
  lastDelivery_ = GetTickCount64();
  if (detection_->deliverNextFinding())
    SetTimer(window(), kTimerDeliver, kDeliverPollMs, nullptr);
  else
    KillTimer(window(), kTimerDeliver);
}

INT_PTR AgentWindow::onStartupChanged(WPARAM, LPARAM) {
  if (!detection_) return 0;
  for (const std::string& report : reports_.takeAll()) detection_->onStartupReport(report);
  deliverFindings();
  return 0;
}

INT_PTR AgentWindow::onStartupWatchEnded(WPARAM, LPARAM) { return 0; }

INT_PTR AgentWindow::onTrustReset(WPARAM, LPARAM) {
  if (detection_) detection_->resetTrustVerdict();
  return 1;
}

INT_PTR AgentWindow::onPaint(WPARAM, LPARAM) {
  HWND w = window();
  if (!IsIconic(w)) return FALSE;  // default painting
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(w, &ps);
  SendMessageW(w, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  RECT r;
  GetClientRect(w, &r);
  DrawIcon(dc, (r.right - GetSystemMetrics(SM_CXICON) + 1) / 2,
           (r.bottom - GetSystemMetrics(SM_CYICON) + 1) / 2, icon_);
  EndPaint(w, &ps);
  return 0;
}

INT_PTR AgentWindow::onQueryDragIcon(WPARAM, LPARAM) { return reinterpret_cast<INT_PTR>(icon_); }

// --- services for the detection ---

void AgentWindow::post(intptr_t target, unsigned message) {
  PostMessageW(reinterpret_cast<HWND>(target), message, 0, 0);
}

std::optional<uint64_t> AgentWindow::sizeOf(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(text::widen(path).c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  return (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

void AgentWindow::logLine(const std::string& line) {
  HWND list = window() ? GetDlgItem(window(), IDC_LOG) : nullptr;
  if (!list || !IsWindow(list)) return;
  SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text::widen(line).c_str()));
  if (SendMessageW(list, LB_GETCOUNT, 0, 0) > kMaxLogLines) SendMessageW(list, LB_DELETESTRING, 0, 0);
}

}  // namespace agent
