// The receiver of a DirectoryWatcher's notifications. Every operation does
// nothing by default; the filter test keeps everything. Handlers are shared
// (std::shared_ptr): a watch holds its handler as long as notifications for
// it can still be delivered.
#pragma once

#include <string>

namespace agent {

// Kinds of notification, numbered as the watcher's dispatch knows them.
enum class ChangeKind {
  Added = 1,
  Removed = 2,
  Modified = 3,
  Renamed = 4,
  ReadError = 5,
  WatchStarted = 6,
  WatchStopped = 7,
};

class ChangeHandler {
 public:
  virtual ~ChangeHandler() = default;

  virtual void onFileAdded(const std::string& /*path*/) {}
  virtual void onFileRemoved(const std::string& /*path*/) {}
  virtual void onFileRenamed(const std::string& /*oldPath*/, const std::string& /*newPath*/) {}
  virtual void onFileModified(const std::string& /*path*/) {}
  // Changes were lost or the watch failed. ERROR_NOTIFY_ENUM_DIR (1022): the
  // system dropped changes (buffer overflow) and the watch goes on; any other
  // code ends the watch (onWatchStopped follows).
  virtual void onReadError(long /*error*/, const std::string& /*directory*/) {}
  virtual void onWatchStarted(long /*error*/, const std::string& /*directory*/) {}
  virtual void onWatchStopped(const std::string& /*directory*/) {}
  // False drops the notification (see NotificationFilter for when it runs).
  virtual bool filterTest(ChangeKind /*kind*/, const std::string& /*path*/,
                          const std::string& /*newPath*/) {
    return true;
  }
};

}  // namespace agent
