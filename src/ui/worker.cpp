#include "ui/worker.h"

namespace ui {

Worker::~Worker() {
  // A thread still running at this point owns nothing of ours but task_;
  // the owner waits for it (or ends the process) before destroying us.
  if (thread_) CloseHandle(thread_);
}

bool Worker::start(std::function<void()> task) {
  if (running()) return false;
  if (thread_) CloseHandle(thread_);
  task_ = std::move(task);
  thread_ = CreateThread(nullptr, 0, threadMain, this, CREATE_SUSPENDED, nullptr);
  if (!thread_) return false;
  ResumeThread(thread_);
  return true;
}

bool Worker::running() const { return thread_ && WaitForSingleObject(thread_, 0) == WAIT_TIMEOUT; }

bool Worker::wait(uint32_t ms) const {
  return !thread_ || WaitForSingleObject(thread_, ms) != WAIT_TIMEOUT;
}

DWORD WINAPI Worker::threadMain(void* self) {
  static_cast<Worker*>(self)->task_();
  return 0;
}

}  // namespace ui
