#include "agent/win32/directory_watcher.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <unordered_map>

#include "agent/change_decoder.h"
#include "agent/notification_filter.h"
#include "agent/win32/change_dispatcher.h"
#include "agent/win32/message_pump.h"
#include "common/text.h"
#include "platform/win32/unique_handle.h"

namespace agent {
namespace {

// Packets the callers post for a record (the byte count tells them apart; a
// read completion carries the record's OVERLAPPED instead).
constexpr DWORD kStartPacket = 4;
constexpr DWORD kStopPacket = 2;

// The worker's clock: folders are checked and late cancellations forced this often.
constexpr DWORD kTickMs = 1000;
// The worker waits this long for a stop notice to be delivered before it goes
// on (a delivering thread that never dispatches must not stop every watch).
constexpr DWORD kStopNoticeWaitMs = 10000;
// A cancelled read that does not complete within this time is forced by
// closing the directory.
constexpr DWORD kCancelGraceMs = 3000;
// A stop the worker has not answered by then leaves its record to be freed
// only after the worker has ended.
constexpr DWORD kStopAnswerLimitMs = kStopNoticeWaitMs + 2 * kCancelGraceMs + 2 * kTickMs;

void enablePrivilege(HANDLE token, const wchar_t* name) {
  TOKEN_PRIVILEGES tp{};
  tp.PrivilegeCount = 1;
  tp.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  if (LookupPrivilegeValueW(nullptr, name, &tp.Privileges[0].Luid))
    AdjustTokenPrivileges(token, FALSE, &tp, 0, nullptr, nullptr);
}

// Backup semantics let the watch open folders the user may not list; failures
// are of no consequence and stay silent.
void enablePrivilegesOnce() {
  static std::once_flag once;
  std::call_once(once, [] {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, &token)) return;
    enablePrivilege(token, L"SeBackupPrivilege");
    enablePrivilege(token, L"SeRestorePrivilege");
    enablePrivilege(token, L"SeChangeNotifyPrivilege");
    CloseHandle(token);
  });
}

// Which watcher each handler is attached to, and with how many watches.
struct Attachment {
  const DirectoryWatcher* watcher = nullptr;
  int watches = 0;
};
std::mutex& attachmentsMutex() {
  static auto* mutex = new std::mutex;  // never destroyed: watchers may outlive statics
  return *mutex;
}
std::unordered_map<const ChangeHandler*, Attachment>& attachments() {
  static auto* table = new std::unordered_map<const ChangeHandler*, Attachment>;
  return *table;
}

// A folder the watch holds open and that was deleted is only "delete pending";
// one that was renamed or removed is gone by name. 0 while it is there.
long vanishedFolderError(HANDLE handle, const std::string& directory) {
  FILE_STANDARD_INFO info{};
  if (GetFileInformationByHandleEx(handle, FileStandardInfo, &info, sizeof info) && info.DeletePending)
    return ERROR_ACCESS_DENIED;
  if (GetFileAttributesW(text::widen(directory).c_str()) == INVALID_FILE_ATTRIBUTES)
    return static_cast<long>(GetLastError());
  return 0;
}

}  // namespace

// A watch's life. Every change of state goes through WatchRecord::enter.
enum class WatchState {
  Starting,  // the first read is not issued yet (a failed first read stays here)
  Reading,   // one read outstanding; each completion issues the next
  Stopping,  // stop requested: the read is cancelled and the stop notice sent
  Failed,    // ended by an error; its unwatch is still to come
  Stopped,   // stop answered: nothing of the watch reaches the port any more
};

struct DirectoryWatcher::WatchRecord {
  WatchRecord(std::string dir, DWORD filter, bool subtree, std::shared_ptr<ChangeHandler> h,
              std::shared_ptr<ChangeDispatcher> d, DelayedNotifier::Mode mode)
      : directory(std::move(dir)),
        notifyFilter(filter),
        watchSubdirectories(subtree),
        buffer(new DWORD[kBufferSize / sizeof(DWORD)]),
        answered(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
        handler(std::move(h)),
        dispatcher(std::move(d)),
        notifier(mode),
        decoder(directory) {}

  void enter(WatchState next) {
    static constexpr bool kAllowed[5][5] = {
        //            Starting Reading Stopping Failed Stopped
        /*Starting*/ {false, true, false, false, false},
        /*Reading*/ {false, false, true, true, false},
        /*Stopping*/ {false, false, false, false, true},
        /*Failed*/ {false, false, false, false, true},
        /*Stopped*/ {false, false, false, false, false},
    };
    if (!kAllowed[static_cast<int>(state)][static_cast<int>(next)]) return;
    state = next;
    if (state != WatchState::Reading) ended = true;
  }
  void send(Notification n) { dispatcher->send(notifier, std::move(n)); }

  const std::string directory;
  const DWORD notifyFilter;
  const bool watchSubdirectories;
  win32::unique_file handle;
  std::unique_ptr<DWORD[]> buffer;  // DWORD-aligned, as the records need
  OVERLAPPED overlapped{};
  // Set by the worker when it has handled the start, and when it has answered
  // the stop (its last touch of the record: the caller frees it then).
  win32::unique_handle answered;
  std::shared_ptr<ChangeHandler> handler;
  std::shared_ptr<ChangeDispatcher> dispatcher;
  DelayedNotifier notifier;
  ChangeDecoder decoder;

  // Written by the worker only; the caller reads lastError after `answered`.
  WatchState state = WatchState::Starting;
  long lastError = 0;
  std::atomic<bool> ended{false};  // no longer watching (read by any thread)

  // Worker only.
  bool readPending = false;
  bool stopRequested = false;
  ULONGLONG forceCloseAt = 0;
};

DirectoryWatcher::DirectoryWatcher(DelayedNotifier::Mode delivery, unsigned filterFlags)
    : delivery_(delivery), filterFlags_(filterFlags == 0 ? filter_flag::kFileNameOnly : filterFlags) {}

DirectoryWatcher::~DirectoryWatcher() { unwatchAll(); }

long DirectoryWatcher::watchDirectory(const std::string& directory, unsigned long notifyFilter,
                                      std::shared_ptr<ChangeHandler> handler,
                                      bool watchSubdirectories, std::string_view include,
                                      std::string_view exclude) {
  auto fail = [](long error) {
    SetLastError(static_cast<DWORD>(error));
    return error;
  };
  if (directory.empty() || notifyFilter == 0 || !handler) return fail(ERROR_INVALID_PARAMETER);
  const std::wstring wide = text::widen(directory);
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
    return fail(ERROR_BAD_PATHNAME);
  if (auto old = takeRecord(directory)) stopRecord(std::move(old));

  enablePrivilegesOnce();
  win32::unique_file dir(CreateFileW(wide.c_str(), FILE_LIST_DIRECTORY,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                     OPEN_EXISTING,
                                     FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr));
  if (!dir) return fail(static_cast<long>(GetLastError()));

  std::unique_ptr<WatchRecord> record;
  try {
    auto dispatcher = std::make_shared<ChangeDispatcher>(handler, filterFlags_, include, exclude, directory);
    record = std::make_unique<WatchRecord>(directory, notifyFilter, watchSubdirectories, handler,
                                           std::move(dispatcher), delivery_);
  } catch (const std::bad_alloc&) {
    return fail(ERROR_OUTOFMEMORY);
  }
  record->handle = std::move(dir);
  long error = 0;
  if (!ensurePortAndWorker(*record, &error)) return fail(error);

  // Start handshake: the worker issues the first read and answers.
  PostQueuedCompletionStatus(port_, kStartPacket, reinterpret_cast<ULONG_PTR>(record.get()), nullptr);
  waitDispatching(record->answered.get());
  ResetEvent(record->answered.get());
  if (record->lastError != 0) return fail(record->lastError);

  attach(handler);
  storeRecord(std::move(record));
  return 0;
}

bool DirectoryWatcher::ensurePortAndWorker(WatchRecord& record, long* error) {
  std::lock_guard lock(mutex_);
  if (!port_) {
    port_ = CreateIoCompletionPort(INVALID_HANDLE_VALUE, nullptr, 0, 1);
    if (!port_) {
      *error = static_cast<long>(GetLastError());
      return false;
    }
  }
  if (!CreateIoCompletionPort(record.handle.get(), port_, reinterpret_cast<ULONG_PTR>(&record), 0)) {
    *error = static_cast<long>(GetLastError());
    return false;
  }
  if (!worker_.joinable()) {
    if (!workerEnded_) workerEnded_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    try {
      if (!workerEnded_) throw std::bad_alloc();
      worker_ = std::thread([this] { workerLoop(); });
    } catch (...) {
      *error = ERROR_MAX_THRDS_REACHED;
      return false;
    }
  }
  return true;
}

void DirectoryWatcher::storeRecord(std::unique_ptr<WatchRecord> record) {
  std::lock_guard lock(mutex_);
  for (auto& slot : records_) {
    if (!slot) {
      slot = std::move(record);
      return;
    }
  }
  records_.push_back(std::move(record));
}

bool DirectoryWatcher::isWatching(const std::string& directory) const {
  std::lock_guard lock(mutex_);
  for (const auto& r : records_)
    if (r && !r->ended && text::equalsIgnoreCaseAscii(r->directory, directory)) return true;
  return false;
}

std::unique_ptr<DirectoryWatcher::WatchRecord> DirectoryWatcher::takeRecord(const std::string& directory) {
  std::lock_guard lock(mutex_);
  for (auto& r : records_)
    if (r && text::equalsIgnoreCaseAscii(r->directory, directory)) return std::move(r);
  return nullptr;
}

std::vector<std::unique_ptr<DirectoryWatcher::WatchRecord>> DirectoryWatcher::takeRecords(
    const ChangeHandler* handler) {
  std::lock_guard lock(mutex_);
  std::vector<std::unique_ptr<WatchRecord>> taken;
  for (auto& r : records_)
    if (r && (!handler || r->handler.get() == handler)) taken.push_back(std::move(r));
  return taken;
}

bool DirectoryWatcher::unwatchDirectory(const std::string& directory) {
  std::unique_ptr<WatchRecord> record = takeRecord(directory);
  if (!record) return false;
  const bool wasWatching = !record->ended;
  stopRecord(std::move(record));
  return wasWatching;
}

void DirectoryWatcher::unwatchHandler(const ChangeHandler* handler) {
  for (auto& r : takeRecords(handler)) stopRecord(std::move(r));
}

void DirectoryWatcher::unwatchAll() {
  for (auto& r : takeRecords(nullptr)) stopRecord(std::move(r));
  endWorker();
}

// Stop handshake: one stop packet; the worker answers once no read of the
// watch is outstanding, and touches the record no more after that.
void DirectoryWatcher::stopRecord(std::unique_ptr<WatchRecord> record) {
  HANDLE port = nullptr;
  {
    std::lock_guard lock(mutex_);
    port = port_;
  }
  PostQueuedCompletionStatus(port, kStopPacket, reinterpret_cast<ULONG_PTR>(record.get()), nullptr);
  const bool answered = waitDispatching(record->answered.get(), kStopAnswerLimitMs);
  detach(record->handler.get());
  record->dispatcher->detachHandler();
  if (answered) return;
  std::lock_guard lock(mutex_);
  abandoned_.push_back(std::move(record));
}

// Ends the worker without holding the lock (the worker takes it), keeping
// this thread's messages flowing meanwhile.
void DirectoryWatcher::endWorker() {
  std::thread worker;
  HANDLE port = nullptr;
  HANDLE ended = nullptr;
  {
    std::lock_guard lock(mutex_);
    worker = std::move(worker_);
    port = port_;
    ended = workerEnded_;
  }
  if (worker.joinable()) {
    PostQueuedCompletionStatus(port, 0, 0, nullptr);
    waitDispatching(ended);
    worker.join();
  }
  std::lock_guard lock(mutex_);
  if (port_) CloseHandle(port_);
  port_ = nullptr;
  if (workerEnded_) CloseHandle(workerEnded_);
  workerEnded_ = nullptr;
  records_.clear();
  abandoned_.clear();  // no packet can reach them any more
}

void DirectoryWatcher::attach(const std::shared_ptr<ChangeHandler>& handler) {
  DirectoryWatcher* other = nullptr;
  {
    std::lock_guard lock(attachmentsMutex());
    auto it = attachments().find(handler.get());
    if (it != attachments().end() && it->second.watcher != this)
      other = const_cast<DirectoryWatcher*>(it->second.watcher);
  }
  // A handler serves one watcher: moving it here ends its watches there.
  if (other) other->unwatchHandler(handler.get());
  std::lock_guard lock(attachmentsMutex());
  Attachment& a = attachments()[handler.get()];
  if (a.watcher != this) a = Attachment{this, 0};
  ++a.watches;
}

void DirectoryWatcher::detach(const ChangeHandler* handler) {
  std::lock_guard lock(attachmentsMutex());
  auto it = attachments().find(handler);
  if (it == attachments().end() || it->second.watcher != this) return;
  if (--it->second.watches <= 0) attachments().erase(it);
}

// --- worker thread ---

void DirectoryWatcher::workerLoop() {
  HANDLE port = nullptr;
  HANDLE ended = nullptr;
  {
    std::lock_guard lock(mutex_);
    port = port_;
    ended = workerEnded_;
  }
  ULONGLONG lastTick = GetTickCount64();
  while (true) {
    DWORD bytes = 0;
    ULONG_PTR key = 0;
    OVERLAPPED* overlapped = nullptr;
    const BOOL ok = GetQueuedCompletionStatus(port, &bytes, &key, &overlapped, kTickMs);
    const long error = ok ? 0 : static_cast<long>(GetLastError());
    if (GetTickCount64() - lastTick >= kTickMs) {
      onTick();
      lastTick = GetTickCount64();
    }
    if (!ok && overlapped == nullptr) {
      if (error == WAIT_TIMEOUT) continue;
      break;  // the port is gone
    }
    if (key == 0) break;  // the end packet
    auto& record = *reinterpret_cast<WatchRecord*>(key);
    onPacket(record, bytes, overlapped == &record.overlapped, ok != FALSE, error);
  }
  SetEvent(ended);
}

void DirectoryWatcher::onPacket(WatchRecord& record, unsigned long bytes, bool isReadCompletion,
                                bool ok, long error) {
  if (isReadCompletion) {
    record.readPending = false;
    if (record.state == WatchState::Reading) {
      onReadCompleted(record, ok, bytes, error);
    } else {  // the cancelled read is back: let go of the folder
      std::erase(cancelling_, &record);
      record.handle.reset();
    }
  } else if (bytes == kStartPacket) {
    onStartRequest(record);
    return;  // the caller owns the outcome of a start
  } else if (bytes == kStopPacket) {
    onStopRequest(record);
  }
  answerStopWhenDone(record);
}

void DirectoryWatcher::onStartRequest(WatchRecord& record) {
  record.lastError = issueRead(record);
  if (record.lastError == 0) record.enter(WatchState::Reading);
  if (!(record.dispatcher->flags() & filter_flag::kNoStartedNotice))
    record.send(Notification{ChangeKind::WatchStarted, record.directory, {}, record.lastError});
  SetEvent(record.answered.get());
}

// A watch that already failed has sent its notices; one still reading is
// cancelled and says it stopped.
void DirectoryWatcher::onStopRequest(WatchRecord& record) {
  record.stopRequested = true;
  if (record.state != WatchState::Reading) return;
  record.enter(WatchState::Stopping);
  if (record.readPending) {
    CancelIoEx(record.handle.get(), &record.overlapped);
    record.forceCloseAt = GetTickCount64() + kCancelGraceMs;
    cancelling_.push_back(&record);
  }
  record.dispatcher->sendStopNoticeAndWait(record.notifier, kStopNoticeWaitMs);
}

// Once no read is outstanding nothing of the watch can reach the port, so the
// stop is answered and the caller may free the record.
void DirectoryWatcher::answerStopWhenDone(WatchRecord& record) {
  if (!record.stopRequested || record.readPending || record.state == WatchState::Stopped) return;
  std::erase(cancelling_, &record);
  record.handle.reset();
  record.enter(WatchState::Stopped);
  SetEvent(record.answered.get());
}

long DirectoryWatcher::issueRead(WatchRecord& record) {
  record.overlapped = OVERLAPPED{};
  if (!ReadDirectoryChangesW(record.handle.get(), record.buffer.get(), kBufferSize,
                             record.watchSubdirectories, record.notifyFilter, nullptr,
                             &record.overlapped, nullptr))
    return static_cast<long>(GetLastError());
  record.readPending = true;
  return 0;
}

void DirectoryWatcher::onReadCompleted(WatchRecord& record, bool ok, unsigned long bytes, long error) {
  const ReadOutcome outcome = classifyRead(ok, bytes, error);
  if (outcome == ReadOutcome::Failed) {
    failWatch(record, error);
    return;
  }
  const bool overflow = outcome == ReadOutcome::ChangesLost;
  std::vector<Notification> changes;
  bool malformed = false;
  if (overflow) {
    record.decoder.forgetPendingRename();
  } else {
    changes = record.decoder.decode(reinterpret_cast<const uint8_t*>(record.buffer.get()),
                                    std::min<size_t>(bytes, kBufferSize), &malformed);
  }
  // The next read goes out before anything is delivered.
  const long readError = issueRead(record);
  for (Notification& n : changes) record.send(std::move(n));
  if (overflow)
    record.send(Notification{ChangeKind::ReadError, record.directory, {}, ERROR_NOTIFY_ENUM_DIR});
  if (malformed)
    record.send(Notification{ChangeKind::ReadError, record.directory, {}, ERROR_INVALID_DATA});
  if (readError != 0) failWatch(record, readError);
}

// Ends a reading watch on an error: its read is cancelled and the directory
// closed, the error and the stop notice are delivered. The record stays until
// it is unwatched.
void DirectoryWatcher::failWatch(WatchRecord& record, long error) {
  if (record.state != WatchState::Reading) return;
  HANDLE self = GetCurrentThread();
  const int priority = GetThreadPriority(self);
  SetThreadPriority(self, THREAD_PRIORITY_HIGHEST);
  record.enter(WatchState::Failed);
  record.lastError = error;
  if (record.readPending) {
    CancelIoEx(record.handle.get(), &record.overlapped);
    record.forceCloseAt = GetTickCount64() + kCancelGraceMs;
    cancelling_.push_back(&record);
  }
  record.send(Notification{ChangeKind::ReadError, record.directory, {}, error});
  record.dispatcher->sendStopNoticeAndWait(record.notifier, kStopNoticeWaitMs);
  SetThreadPriority(self, priority);
}

std::vector<DirectoryWatcher::WatchRecord*> DirectoryWatcher::recordsBeingRead() {
  std::lock_guard lock(mutex_);
  std::vector<WatchRecord*> reading;
  for (const auto& r : records_)
    if (r && r->state == WatchState::Reading) reading.push_back(r.get());
  return reading;
}

// A watched folder that is deleted or renamed does not always complete its
// read (Wine leaves it pending), so the worker looks for its folders itself.
// A cancelled read that is late is ended by closing its directory.
void DirectoryWatcher::onTick() {
  // Records are freed only after the worker has answered their stop, so these
  // pointers stay good while the worker is here.
  for (WatchRecord* r : recordsBeingRead())
    if (const long error = vanishedFolderError(r->handle.get(), r->directory)) failWatch(*r, error);
  const ULONGLONG now = GetTickCount64();
  for (WatchRecord* r : cancelling_) {
    if (r->handle && now >= r->forceCloseAt) r->handle.reset();
  }
}

}  // namespace agent
