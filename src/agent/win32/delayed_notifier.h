// Carries work from a worker thread to a delivering thread, in order.
//
// Window mode: a hidden top-level window of class "Delayed_Message_Sender"
// (title "DelayedWnd"), shared by every window-mode notifier of the process
// and owned by the thread that created the first of them; tasks run on that
// thread as it dispatches its messages. Thread mode: one process-wide message
// thread, started by the first notifier and ended with the last.
//
// A task that is still queued when its window or thread goes away is deleted
// without running.
#pragma once

#include <memory>

namespace agent {

inline constexpr unsigned kWmDelayedNotification = 0x8400;

class DelayedTask {
 public:
  virtual ~DelayedTask() = default;
  virtual void run() = 0;
};

class DelayedNotifier {
 public:
  enum class Mode { Window, Thread };

  explicit DelayedNotifier(Mode mode);
  ~DelayedNotifier();
  DelayedNotifier(const DelayedNotifier&) = delete;
  DelayedNotifier& operator=(const DelayedNotifier&) = delete;

  // False when the task could not be queued (it is deleted then).
  bool send(std::unique_ptr<DelayedTask> task);
  Mode mode() const { return mode_; }

 private:
  Mode mode_;
};

}  // namespace agent
