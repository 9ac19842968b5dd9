// Reports changes below watched directories: files and folders added,
// removed, modified and renamed. One I/O completion port and one worker
// thread serve every watch; each watch keeps one ReadDirectoryChangesW read
// of 64 KiB outstanding. Notifications are carried by a DelayedNotifier to
// the delivering thread (the thread that watched, in window mode), filtered,
// and handed to the watch's ChangeHandler.
//
// Lost changes are reported, never silent: a read that completes without
// records, or with ERROR_NOTIFY_ENUM_DIR, gives onReadError(1022) and the
// watch goes on; a buffer that does not decode gives onReadError(13) for what
// could not be read. Any other failed read, or the watched folder vanishing
// (checked every second), gives onReadError with its code, then
// onWatchStopped, and ends the watch.
//
// Start and stop are handshakes with the worker; while waiting, the calling
// thread keeps dispatching its own messages, so that notices for its own
// windows (onWatchStarted, onWatchStopped) are delivered meanwhile.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "agent/change_handler.h"
#include "agent/win32/delayed_notifier.h"

namespace agent {

class DirectoryWatcher {
 public:
  static constexpr size_t kBufferSize = 64 * 1024;

  // `filterFlags` (filter_flag::*) apply to every watch; 0 means file-name
  // patterns (8).
  DirectoryWatcher(DelayedNotifier::Mode delivery, unsigned filterFlags);
  ~DirectoryWatcher();  // unwatchAll
  DirectoryWatcher(const DirectoryWatcher&) = delete;
  DirectoryWatcher& operator=(const DirectoryWatcher&) = delete;

  // 0 or an error code (also left in GetLastError): 87 for an empty
  // directory, filter 0 or no handler; 161 when the path is no directory; the
  // error of opening it or of its first read; 14 or 164 when the watch or the
  // worker cannot be made. A directory already watched (any letter case) is
  // unwatched first.
  long watchDirectory(const std::string& directory, unsigned long notifyFilter,
                      std::shared_ptr<ChangeHandler> handler, bool watchSubdirectories,
                      std::string_view include = {}, std::string_view exclude = {});
  bool unwatchDirectory(const std::string& directory);
  void unwatchHandler(const ChangeHandler* handler);
  void unwatchAll();
  bool isWatching(const std::string& directory) const;

 private:
  struct WatchRecord;

  std::unique_ptr<WatchRecord> takeRecord(const std::string& directory);
  std::vector<std::unique_ptr<WatchRecord>> takeRecords(const ChangeHandler* handler);
  void storeRecord(std::unique_ptr<WatchRecord> record);
  void stopRecord(std::unique_ptr<WatchRecord> record);
  bool ensurePortAndWorker(WatchRecord& record, long* error);
  void endWorker();
  void attach(const std::shared_ptr<ChangeHandler>& handler);
  void detach(const ChangeHandler* handler);

  // Worker thread.
  void workerLoop();
  void onPacket(WatchRecord& record, unsigned long bytes, bool isReadCompletion, bool ok, long error);
  void onStartRequest(WatchRecord& record);
  void onStopRequest(WatchRecord& record);
  void onReadCompleted(WatchRecord& record, bool ok, unsigned long bytes, long error);
  void onTick();
  void failWatch(WatchRecord& record, long error);
  void answerStopWhenDone(WatchRecord& record);
  long issueRead(WatchRecord& record);
  std::vector<WatchRecord*> recordsBeingRead();

  const DelayedNotifier::Mode delivery_;
  const unsigned filterFlags_;
  // Guards records_, abandoned_, port_ and worker_. Never held while waiting
  // for the worker: the worker takes it for its folder check.
  mutable std::mutex mutex_;
  std::vector<std::unique_ptr<WatchRecord>> records_;  // empty slots are reused
  std::vector<std::unique_ptr<WatchRecord>> abandoned_;  // stop unanswered: freed after the worker
  void* port_ = nullptr;
  void* workerEnded_ = nullptr;  // set by the worker as its last act
  std::thread worker_;
  std::vector<WatchRecord*> cancelling_;  // worker only: stopping or failed, read outstanding
};

}  // namespace agent
