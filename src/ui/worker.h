// One worker thread of a window: created suspended and then resumed, as the
// window starts its long tasks, with its handle kept so the window can tell
// whether it still runs and wait for it a bounded time when it closes.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>

namespace ui {

class Worker {
 public:
  Worker() = default;
  ~Worker();
  Worker(const Worker&) = delete;
  Worker& operator=(const Worker&) = delete;

  // False when a task still runs or the thread cannot be created.
  bool start(std::function<void()> task);
  bool running() const;
  // True when the thread has ended (or never ran) within `ms`.
  bool wait(uint32_t ms) const;
  HANDLE handle() const { return thread_; }

 private:
  static DWORD WINAPI threadMain(void* self);

  HANDLE thread_ = nullptr;
  std::function<void()> task_;
};

}  // namespace ui
