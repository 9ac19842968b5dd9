#include "agent/win32/directory_watcher.h"

#include <windows.h>

#include <algorithm>
#include <atomic>

#include "agent/change_decoder.h"
#include "agent/notification_filter.h"
#include "common/text.h"
#include "platform/win32/unique_handle.h"

namespace agent {
namespace {

enum State { kStartRequested = 1, kStopRequested = 2, kStopped = 3, kReading = 5 };

constexpr DWORD kWaitSliceMs = 5000;
// The worker waits this long for a stop notice to be delivered before it goes
// on (a delivering thread that never dispatches must not stop every watch).
constexpr int kStopNoticeSlices = 2;
constexpr DWORD kCheckFoldersMs = 1000;
// A cancelled read that does not complete within this time is forced by
// closing the directory; one that still does not complete leaves its record
// to be freed only after the worker has ended.
constexpr DWORD kCancelGraceMs = 3000;

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

// Waits for `event`, dispatching this thread's messages meanwhile; after
// WM_QUIT it only waits (and leaves WM_QUIT for the caller's loop). False
// when `timeoutMs` passed first.
bool waitDispatching(HANDLE event, DWORD timeoutMs = INFINITE) {
  bool quit = false;
  int quitCode = 0;
  const ULONGLONG end = timeoutMs == INFINITE ? 0 : GetTickCount64() + timeoutMs;
  bool signalled = false;
  while (true) {
    DWORD slice = kWaitSliceMs;
    if (timeoutMs != INFINITE) {
      const ULONGLONG now = GetTickCount64();
      if (now >= end) break;
      slice = static_cast<DWORD>(std::min<ULONGLONG>(slice, end - now));
    }
    const DWORD r = quit ? WaitForSingleObject(event, slice)
                         : MsgWaitForMultipleObjects(1, &event, FALSE, slice, QS_ALLINPUT);
    if (r == WAIT_OBJECT_0) {
      signalled = true;
      break;
    }
    if (quit || r != WAIT_OBJECT_0 + 1) continue;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        quit = true;
        quitCode = static_cast<int>(msg.wParam);
        break;
      }
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  if (quit) PostQuitMessage(quitCode);
  return signalled;
}

}  // namespace

// The per-watch delivery: handler, filter and the stop-notice event. Shared
// with the notifications in flight, so it outlives its watch when needed.
class DirectoryWatcher::Dispatcher {
 public:
  Dispatcher(std::shared_ptr<ChangeHandler> handler, unsigned flags, std::string_view include,
             std::string_view exclude, std::string directory)
      : handler_(std::move(handler)),
        filter_(flags, include, exclude, directory),
        directory_(std::move(directory)),
        stopDelivered_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

  void detachHandler() {
    std::lock_guard lock(mutex_);
    handler_.reset();
  }
  HANDLE stopDelivered() const { return stopDelivered_.get(); }
  const std::string& directory() const { return directory_; }
  unsigned flags() const { return filter_.flags(); }

  // On the delivering thread.
  void deliver(const Notification& n) {
    std::shared_ptr<ChangeHandler> handler;
    {
      std::lock_guard lock(mutex_);
      handler = handler_;
    }
    if (handler && filter_.passes(n, [&](const Notification& x) {
          return handler->filterTest(x.kind, x.path, x.newPath);
        }))
      call(*handler, n);
    if (n.kind == ChangeKind::WatchStopped) SetEvent(stopDelivered_.get());
  }

 private:
  void call(ChangeHandler& h, const Notification& n) {
    switch (n.kind) {
      case ChangeKind::Added: h.onFileAdded(n.path); break;
      case ChangeKind::Removed: h.onFileRemoved(n.path); break;
      case ChangeKind::Modified: h.onFileModified(n.path); break;
      case ChangeKind::Renamed: h.onFileRenamed(n.path, n.newPath); break;
      case ChangeKind::ReadError: h.onReadError(n.error, directory_); break;
      case ChangeKind::WatchStarted: h.onWatchStarted(n.error, directory_); break;
      case ChangeKind::WatchStopped:
        try {
          h.onWatchStopped(directory_);
        } catch (...) {
          MessageBeep(0xFFFFFFFF);
          MessageBeep(0xFFFFFFFF);
        }
        break;
    }
  }

  std::mutex mutex_;
  std::shared_ptr<ChangeHandler> handler_;
  NotificationFilter filter_;
  std::string directory_;
  win32::unique_handle stopDelivered_;
};

namespace {

class NotificationTask final : public DelayedTask {
 public:
  NotificationTask(std::shared_ptr<void> keepAlive, void (*deliver)(void*, const Notification&),
                   void* dispatcher, Notification n, HANDLE stopDelivered)
      : keepAlive_(std::move(keepAlive)), deliver_(deliver), dispatcher_(dispatcher),
        n_(std::move(n)), stopDelivered_(stopDelivered) {}
  ~NotificationTask() override {
    // A stop notice discarded unrun must not leave the worker waiting for it.
    if (!ran_ && n_.kind == ChangeKind::WatchStopped) SetEvent(stopDelivered_);
  }
  void run() override {
    ran_ = true;
    deliver_(dispatcher_, n_);
  }

 private:
  std::shared_ptr<void> keepAlive_;
  void (*deliver_)(void*, const Notification&);
  void* dispatcher_;
  Notification n_;
  HANDLE stopDelivered_;
  bool ran_ = false;
};

}  // namespace

struct DirectoryWatcher::WatchRecord {
  WatchRecord(std::string dir, DWORD filter, bool subtree, std::shared_ptr<ChangeHandler> h,
              std::shared_ptr<Dispatcher> d, DelayedNotifier::Mode mode)
      : directory(std::move(dir)),
        notifyFilter(filter),
        watchSubdirectories(subtree),
        buffer(new DWORD[kBufferSize / sizeof(DWORD)]),
        event(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
        handler(std::move(h)),
        dispatcher(std::move(d)),
        notifier(mode),
        decoder(directory) {}

  const std::string directory;
  const DWORD notifyFilter;
  const bool watchSubdirectories;
  win32::unique_file handle;
  std::unique_ptr<DWORD[]> buffer;  // DWORD-aligned, as the records need
  OVERLAPPED overlapped{};
  win32::unique_handle event;  // set when the worker has handled a start or a stop

  std::mutex lock;  // around state changes
  int state = 0;
  long lastError = 0;
  std::atomic<bool> ended{false};  // stopped or failed: no longer watching

  // Worker-only.
  bool readPending = false;
  bool stopSeen = false;
  bool stopNoticeSent = false;

  std::shared_ptr<ChangeHandler> handler;
  std::shared_ptr<Dispatcher> dispatcher;
  DelayedNotifier notifier;
  ChangeDecoder decoder;

  void send(Notification n) {
    auto deliver = [](void* d, const Notification& x) { static_cast<Dispatcher*>(d)->deliver(x); };
    notifier.send(std::make_unique<NotificationTask>(dispatcher, deliver, dispatcher.get(),
                                                     std::move(n), dispatcher->stopDelivered()));
  }
  void setState(int s) {
    std::lock_guard g(lock);
    state = s;
  }
  int currentState() {
    std::lock_guard g(lock);
    return state;
  }
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
    auto dispatcher = std::make_shared<Dispatcher>(handler, filterFlags_, include, exclude, directory);
    record = std::make_unique<WatchRecord>(directory, notifyFilter, watchSubdirectories, handler,
                                           std::move(dispatcher), delivery_);
  } catch (const std::bad_alloc&) {
    return fail(ERROR_OUTOFMEMORY);
  }
  record->handle = std::move(dir);
  long error = 0;
  if (!ensurePortAndWorker(*record, &error)) return fail(error);

  // Start handshake: the worker issues the first read and answers.
  record->setState(kStartRequested);
  PostQueuedCompletionStatus(port_, 4, reinterpret_cast<ULONG_PTR>(record.get()), nullptr);
  waitDispatching(record->event.get());
  ResetEvent(record->event.get());
  if (record->lastError != 0) return fail(record->lastError);

  attach(*handler);
  std::lock_guard lock(mutex_);
  for (auto& slot : records_) {
    if (!slot) {
      slot = std::move(record);
      return 0;
    }
  }
  records_.push_back(std::move(record));
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
    try {
      worker_ = std::thread([this] { workerLoop(); });
    } catch (...) {
      *error = ERROR_MAX_THRDS_REACHED;
      return false;
    }
  }
  return true;
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
  std::lock_guard lock(mutex_);
  if (worker_.joinable()) {
    PostQueuedCompletionStatus(port_, 0, 0, nullptr);
    worker_.join();
  }
  if (port_) CloseHandle(port_);
  port_ = nullptr;
  records_.clear();
  abandoned_.clear();  // no packet can reach them any more
}

// Stop handshake: the worker closes the directory, delivers the stop notice
// and answers once no read of the watch is outstanding.
void DirectoryWatcher::stopRecord(std::unique_ptr<WatchRecord> record) {
  const ULONG_PTR key = reinterpret_cast<ULONG_PTR>(record.get());
  record->setState(kStopRequested);
  PostQueuedCompletionStatus(port_, 0, key, nullptr);
  bool answered = waitDispatching(record->event.get(), kStopNoticeSlices * kWaitSliceMs + kCancelGraceMs);
  if (!answered) {
    // A second stop request makes the worker close the directory.
    PostQueuedCompletionStatus(port_, 0, key, nullptr);
    answered = waitDispatching(record->event.get(), kCancelGraceMs);
  }
  detach(*record->handler);
  record->dispatcher->detachHandler();
  if (answered) return;
  // Its read may still complete: the record must outlive the worker.
  std::lock_guard lock(mutex_);
  abandoned_.push_back(std::move(record));
}

void DirectoryWatcher::attach(ChangeHandler& handler) {
  void* other = nullptr;
  {
    std::lock_guard lock(handler.attachmentMutex_);
    if (handler.watcher_ && handler.watcher_ != this) other = handler.watcher_;
  }
  // A handler serves one watcher: moving it here ends its watches there.
  if (other) static_cast<DirectoryWatcher*>(other)->unwatchHandler(&handler);
  std::lock_guard lock(handler.attachmentMutex_);
  handler.watcher_ = this;
  ++handler.watchCount_;
}

void DirectoryWatcher::detach(ChangeHandler& handler) {
  std::lock_guard lock(handler.attachmentMutex_);
  if (handler.watcher_ != this) return;
  if (--handler.watchCount_ <= 0) {
    handler.watchCount_ = 0;
    handler.watcher_ = nullptr;
  }
}

// --- worker thread ---

void DirectoryWatcher::workerLoop() {
  ULONGLONG lastCheck = GetTickCount64();
  while (true) {
    DWORD bytes = 0;
    ULONG_PTR key = 0;
    OVERLAPPED* overlapped = nullptr;
    const BOOL ok = GetQueuedCompletionStatus(port_, &bytes, &key, &overlapped, kCheckFoldersMs);
    const long error = ok ? 0 : static_cast<long>(GetLastError());
    if (GetTickCount64() - lastCheck >= kCheckFoldersMs) {
      endWatchesOfVanishedFolders();
      lastCheck = GetTickCount64();
    }
    if (!ok && overlapped == nullptr && error == WAIT_TIMEOUT) continue;
    if (key == 0) {
      if (ok || overlapped == nullptr) return;  // the end packet, or the port is gone
      continue;
    }
    auto& record = *reinterpret_cast<WatchRecord*>(key);
    onPacket(record, overlapped == &record.overlapped, ok != FALSE, bytes, error);
  }
}

// A watched folder that is deleted does not always complete its read (Wine
// leaves it pending), so the worker looks for its watched folders itself.
void DirectoryWatcher::endWatchesOfVanishedFolders() {
  std::vector<WatchRecord*> live;
  {
    std::lock_guard lock(mutex_);
    for (const auto& r : records_)
      if (r && !r->ended && r->currentState() == kReading) live.push_back(r.get());
  }
  // Records in the list are freed only after the worker answers their stop,
  // so these pointers stay good while the worker is here.
  for (WatchRecord* r : live) {
    // Deleted while the watch holds it open, the folder is only "delete pending".
    FILE_STANDARD_INFO info{};
    const bool pending =
        GetFileInformationByHandleEx(r->handle.get(), FileStandardInfo, &info, sizeof info) &&
        info.DeletePending;
    if (pending) {
      endAfterFailure(*r, ERROR_ACCESS_DENIED);
    } else if (GetFileAttributesW(text::widen(r->directory).c_str()) == INVALID_FILE_ATTRIBUTES) {
      endAfterFailure(*r, static_cast<long>(GetLastError()));
    }
  }
}

void DirectoryWatcher::onPacket(WatchRecord& record, bool isReadCompletion, bool ok,
                                unsigned long bytes, long error) {
  const int state = record.currentState();
  if (isReadCompletion) {
    record.readPending = false;
    if (state == kReading) onReadCompleted(record, ok, bytes, error);
  } else if (state == kStartRequested) {
    record.lastError = issueRead(record);
    if (record.lastError == 0) record.setState(kReading);
    if (!(record.dispatcher->flags() & filter_flag::kNoStartedNotice))
      record.send(Notification{ChangeKind::WatchStarted, record.directory, {}, record.lastError});
    SetEvent(record.event.get());
    return;
  } else if (state == kStopRequested && !record.stopSeen) {
    record.stopSeen = true;
    deliverStopped(record);
    if (record.readPending) CancelIoEx(record.handle.get(), &record.overlapped);
  } else if (state == kStopRequested) {
    record.handle.reset();  // the cancelled read is late: closing the directory ends it
  }
  // A stop is answered once no read is outstanding: nothing of the watch can
  // reach the port after that, so the caller may free it.
  if (record.stopSeen && !record.readPending) {
    record.handle.reset();
    record.setState(kStopped);
    record.ended = true;
    SetEvent(record.event.get());
  }
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
  const bool overflow = outcome == ReadOutcome::ChangesLost;
  if (outcome == ReadOutcome::Failed) {
    endAfterFailure(record, error);
    return;
  }
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
  if (readError != 0) endAfterFailure(record, readError);
}

void DirectoryWatcher::endAfterFailure(WatchRecord& record, long error) {
  HANDLE self = GetCurrentThread();
  const int priority = GetThreadPriority(self);
  SetThreadPriority(self, THREAD_PRIORITY_HIGHEST);
  // A read still outstanding completes as cancelled; the stop waits for it.
  if (record.readPending) CancelIoEx(record.handle.get(), &record.overlapped);
  record.handle.reset();
  record.lastError = error;
  record.setState(kStopped);
  record.ended = true;
  record.send(Notification{ChangeKind::ReadError, record.directory, {}, error});
  deliverStopped(record);
  SetThreadPriority(self, priority);
}

void DirectoryWatcher::deliverStopped(WatchRecord& record) {
  if (record.stopNoticeSent) return;
  record.stopNoticeSent = true;
  if (record.dispatcher->flags() & filter_flag::kNoStoppedNotice) return;
  ResetEvent(record.dispatcher->stopDelivered());
  record.send(Notification{ChangeKind::WatchStopped, record.directory, {}, 0});
  for (int i = 0; i < kStopNoticeSlices; ++i)
    if (WaitForSingleObject(record.dispatcher->stopDelivered(), kWaitSliceMs) == WAIT_OBJECT_0) return;
}

}  // namespace agent
