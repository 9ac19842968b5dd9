#include "agent/win32/startup_watcher.h"

#include <vector>

#include "common/text.h"

namespace agent {
namespace {

constexpr DWORD kRetryOpenMs = 1000;
constexpr DWORD kNotifyFilter = REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_ATTRIBUTES |
                                REG_NOTIFY_CHANGE_LAST_SET | REG_NOTIFY_CHANGE_SECURITY;  // 15

// Value data as text up to its first zero: UTF-16 for string types, other
// types taken as ANSI (CP949) bytes.
std::string dataText(DWORD type, const BYTE* data, DWORD size) {
  if (type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ) {
    std::wstring_view wide(reinterpret_cast<const wchar_t*>(data), size / sizeof(wchar_t));
    return text::narrow(wide.substr(0, wide.find(L'\0')));
  }
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  return text::cp949ToUtf8(bytes.substr(0, bytes.find('\0')));
}

std::string localTimeText(const FILETIME& written) {
  SYSTEMTIME utc{}, local{};
  if (!FileTimeToSystemTime(&written, &utc) || !SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local))
    local = utc;
  return reportTimeText(local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute,
                        local.wSecond);
}

}  // namespace

const char* StartupWatcher::rootName(HKEY root) {
  if (root == HKEY_CLASSES_ROOT) return "HKEY_CLASSES_ROOT";
  if (root == HKEY_CURRENT_USER) return "HKEY_CURRENT_USER";
  if (root == HKEY_LOCAL_MACHINE) return "HKEY_LOCAL_MACHINE";
  if (root == HKEY_USERS) return "HKEY_USERS";
  if (root == HKEY_CURRENT_CONFIG) return "HKEY_CURRENT_CONFIG";
  return "";
}

StartupWatcher::StartupWatcher(HKEY root, std::string keyPath, StartupReportQueue& queue,
                               ReportsCallback onReports, std::function<void()> onEnded)
    : root_(root),
      keyPath_(std::move(keyPath)),
      marker_(rootMarker(rootName(root), keyPath_)),
      queue_(queue),
      onReports_(std::move(onReports)),
      onEnded_(std::move(onEnded)),
      stopEvent_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

StartupWatcher::~StartupWatcher() { stop(); }

bool StartupWatcher::start() {
  if (thread_.joinable() || !stopEvent_) return false;
  ResetEvent(stopEvent_.get());
  win32::unique_handle started(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!started) return false;
  try {
    thread_ = std::thread([this, h = started.get()] { run(h); });
  } catch (...) {
    return false;
  }
  WaitForSingleObject(started.get(), INFINITE);
  return true;
}

void StartupWatcher::stop() {
  if (!thread_.joinable()) return;
  SetEvent(stopEvent_.get());
  thread_.join();
}

bool StartupWatcher::openKey(win32::unique_hkey* key, HANDLE changed) {
  HKEY raw = nullptr;
  if (RegOpenKeyExW(root_, text::widen(keyPath_).c_str(), 0, KEY_READ | KEY_NOTIFY, &raw) != ERROR_SUCCESS)
    return false;
  *key->put() = raw;
  ResetEvent(changed);
  return RegNotifyChangeKeyValue(raw, TRUE, kNotifyFilter, changed, TRUE) == ERROR_SUCCESS;
}

bool StartupWatcher::readSnapshot(HKEY key, StartupSnapshot* snapshot, std::string* time,
                                  unsigned* count) {
  DWORD values = 0, maxName = 0, maxData = 0;
  FILETIME written{};
  if (RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, &maxName,
                       &maxData, nullptr, &written) != ERROR_SUCCESS)
    return false;
  *time = localTimeText(written);
  snapshot->clear();
  std::vector<wchar_t> name(maxName + 2);
  std::vector<BYTE> data(maxData + sizeof(wchar_t));
  for (DWORD i = 0;; ++i) {
    DWORD nameSize = static_cast<DWORD>(name.size());
    DWORD dataSize = static_cast<DWORD>(data.size());
    DWORD type = 0;
    const LONG r = RegEnumValueW(key, i, name.data(), &nameSize, nullptr, &type, data.data(), &dataSize);
    if (r == ERROR_NO_MORE_ITEMS) break;
    if (r == ERROR_MORE_DATA) {
      // The key grew while it was read; the next pass sees it whole.
      name.resize(name.size() * 2 + 256);
      data.resize(data.size() * 2 + 256);
      --i;
      continue;
    }
    if (r != ERROR_SUCCESS) return false;
    (*snapshot)[text::narrow(std::wstring_view(name.data(), nameSize))] =
        dataText(type, data.data(), dataSize);
  }
  *count = static_cast<unsigned>(snapshot->size());
  return true;
}

void StartupWatcher::report(const std::vector<std::string>& reports, unsigned count) {
  if (reports.empty()) return;
  for (const std::string& r : reports) queue_.push(r);
  if (onReports_) onReports_(count);
}

void StartupWatcher::run(HANDLE started) {
  win32::unique_handle changed(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  win32::unique_hkey key;
  StartupSnapshot snapshot;
  bool haveSnapshot = false;
  auto takeFirstSnapshot = [&] {
    std::string time;
    unsigned count = 0;
    haveSnapshot = openKey(&key, changed.get()) && readSnapshot(key.get(), &snapshot, &time, &count);
  };
  takeFirstSnapshot();
  SetEvent(started);

  while (true) {
    HANDLE events[2] = {stopEvent_.get(), changed.get()};
    const DWORD wait = WaitForMultipleObjects(haveSnapshot ? 2 : 1, events, FALSE,
                                              haveSnapshot ? INFINITE : kRetryOpenMs);
    if (wait == WAIT_OBJECT_0) break;
    if (wait == WAIT_TIMEOUT) {  // the key could not be opened yet
      takeFirstSnapshot();
      continue;
    }
    if (wait != WAIT_OBJECT_0 + 1) {
      report({waitFailedReport(marker_)}, 0);
      if (WaitForSingleObject(stopEvent_.get(), kRetryOpenMs) == WAIT_OBJECT_0) break;
      continue;
    }
    // Re-arm first: a change during the read below raises the event again.
    ResetEvent(changed.get());
    if (RegNotifyChangeKeyValue(key.get(), TRUE, kNotifyFilter, changed.get(), TRUE) != ERROR_SUCCESS) {
      // The key went away: start over when it can be opened again.
      haveSnapshot = false;
      key.reset();
      continue;
    }
    StartupSnapshot current;
    std::string time;
    unsigned count = 0;
    if (!readSnapshot(key.get(), &current, &time, &count)) continue;
    std::vector<std::string> reports;
    for (const StartupChange& change : diffSnapshots(snapshot, current))
      reports.push_back(startupReport(change, time, marker_));
    snapshot = std::move(current);
    report(reports, count);
  }
  if (onEnded_) onEnded_();
}

}  // namespace agent
