#include "ui/ui_queue.h"

namespace ui {

void UiQueue::attach(HWND window) {
  std::lock_guard lock(mutex_);
  window_ = window;
}

void UiQueue::post(std::function<void()> task) {
  std::lock_guard lock(mutex_);
  tasks_.push_back(std::move(task));
  if (!signalled_ && window_) signalled_ = PostMessageW(window_, message_, 0, 0) != FALSE;
}

void UiQueue::drain() {
  for (;;) {
    std::deque<std::function<void()>> batch;
    {
      std::lock_guard lock(mutex_);
      signalled_ = false;
      batch.swap(tasks_);
    }
    if (batch.empty()) return;
    for (auto& task : batch) task();
  }
}

void UiQueue::flush() {
  HWND window;
  {
    std::lock_guard lock(mutex_);
    window = window_;
  }
  if (window) SendMessageW(window, message_, 0, 0);
}

}  // namespace ui
