#include "agent/win32/change_dispatcher.h"

namespace agent {
namespace {

class NotificationTask final : public DelayedTask {
 public:
  NotificationTask(std::shared_ptr<ChangeDispatcher> dispatcher, Notification n)
      : dispatcher_(std::move(dispatcher)), n_(std::move(n)) {}
  ~NotificationTask() override {
    if (!ran_ && n_.kind == ChangeKind::WatchStopped) dispatcher_->stopNoticeDiscarded();
  }
  void run() override {
    ran_ = true;
    dispatcher_->deliver(n_);
  }

 private:
  std::shared_ptr<ChangeDispatcher> dispatcher_;
  Notification n_;
  bool ran_ = false;
};

}  // namespace

ChangeDispatcher::ChangeDispatcher(std::shared_ptr<ChangeHandler> handler, unsigned flags,
                                   std::string_view include, std::string_view exclude,
                                   std::string directory)
    : handler_(std::move(handler)),
      filter_(flags, include, exclude, directory),
      directory_(std::move(directory)),
      stopDelivered_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

void ChangeDispatcher::detachHandler() {
  std::lock_guard lock(mutex_);
  handler_.reset();
}

void ChangeDispatcher::send(DelayedNotifier& notifier, Notification n) {
  notifier.send(std::make_unique<NotificationTask>(shared_from_this(), std::move(n)));
}

bool ChangeDispatcher::sendStopNoticeAndWait(DelayedNotifier& notifier, DWORD timeoutMs) {
  if (flags() & filter_flag::kNoStoppedNotice) return true;
  ResetEvent(stopDelivered_.get());
  send(notifier, Notification{ChangeKind::WatchStopped, directory_, {}, 0});
  return WaitForSingleObject(stopDelivered_.get(), timeoutMs) == WAIT_OBJECT_0;
}

void ChangeDispatcher::deliver(const Notification& n) {
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

void ChangeDispatcher::call(ChangeHandler& h, const Notification& n) {
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

}  // namespace agent
