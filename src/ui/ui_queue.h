// Carries work from worker threads to the window's thread: a worker posts
// tasks, the window's thread runs them in the order they were posted. Only
// the window's thread touches a control.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <mutex>

namespace ui {

class UiQueue {
 public:
  // `message` is the window message that makes the window call drain().
  explicit UiQueue(UINT message) : message_(message) {}

  void attach(HWND window);
  UINT message() const { return message_; }

  // Any thread. The task runs on the window's thread.
  void post(std::function<void()> task);
  // The window's thread: runs every task posted so far, in order.
  void drain();
  // A worker: returns once the window's thread has run every task posted
  // before the call (at once when the window is gone).
  void flush();

 private:
  const UINT message_;
  HWND window_ = nullptr;
  std::mutex mutex_;
  std::deque<std::function<void()>> tasks_;
  bool signalled_ = false;
};

}  // namespace ui
