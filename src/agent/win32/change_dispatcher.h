// The delivering side of one watch: its handler, its filter, and the event
// that tells the watcher's worker that the stop notice has been delivered.
// Notifications travel to the delivering thread as tasks that share the
// dispatcher, so it outlives its watch while any of them is in flight.
#pragma once

#include <windows.h>

#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "agent/change_handler.h"
#include "agent/notification_filter.h"
#include "agent/win32/delayed_notifier.h"
#include "platform/win32/unique_handle.h"

namespace agent {

class ChangeDispatcher : public std::enable_shared_from_this<ChangeDispatcher> {
 public:
  ChangeDispatcher(std::shared_ptr<ChangeHandler> handler, unsigned flags, std::string_view include,
                   std::string_view exclude, std::string directory);

  // Later notifications are dropped undelivered.
  void detachHandler();
  unsigned flags() const { return filter_.flags(); }

  // Queues `n` on `notifier` for the delivering thread.
  void send(DelayedNotifier& notifier, Notification n);
  // Sends the stop notice (unless the flags silence it) and waits up to
  // `timeoutMs` for its delivery; false when it was not delivered in time.
  bool sendStopNoticeAndWait(DelayedNotifier& notifier, DWORD timeoutMs);

  // On the delivering thread.
  void deliver(const Notification& n);
  // A stop notice that will never run must not keep the worker waiting.
  void stopNoticeDiscarded() { SetEvent(stopDelivered_.get()); }

 private:
  void call(ChangeHandler& h, const Notification& n);

  std::mutex mutex_;  // guards handler_
  std::shared_ptr<ChangeHandler> handler_;
  NotificationFilter filter_;
  const std::string directory_;
  win32::unique_handle stopDelivered_;
};

}  // namespace agent
