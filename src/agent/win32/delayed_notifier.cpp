#include "agent/win32/delayed_notifier.h"

#include <windows.h>

#include <mutex>
#include <thread>

namespace agent {
namespace {

constexpr wchar_t kClassName[] = L"Delayed_Message_Sender";
constexpr wchar_t kWindowTitle[] = L"DelayedWnd";

void runTask(LPARAM lParam) {
  std::unique_ptr<DelayedTask> task(reinterpret_cast<DelayedTask*>(lParam));
  if (task) task->run();
}

// Deletes every task still queued for `window` (or for the thread, when null).
void discardQueued(HWND window) {
  MSG msg;
  while (PeekMessageW(&msg, window, kWmDelayedNotification, kWmDelayedNotification, PM_REMOVE))
    delete reinterpret_cast<DelayedTask*>(msg.lParam);
}

LRESULT CALLBACK delayedWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case kWmDelayedNotification:
      if (lParam) runTask(lParam);
      return 0;
    case WM_CLOSE:  // the last notifier went away on another thread
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      discardQueued(window);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

// The shared delivery window and its use count.
struct SharedWindow {
  std::mutex mutex;
  int users = 0;
  HWND window = nullptr;
  DWORD ownerThread = 0;

  void acquire() {
    std::lock_guard lock(mutex);
    static const ATOM atom = [] {
      WNDCLASSW wc{};
      wc.lpfnWndProc = delayedWindowProc;
      wc.hInstance = GetModuleHandleW(nullptr);
      wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
      wc.lpszClassName = kClassName;
      return RegisterClassW(&wc);
    }();
    (void)atom;
    if (++users == 1 || !IsWindow(window)) {
      window = CreateWindowExW(0, kClassName, kWindowTitle, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
      ownerThread = GetCurrentThreadId();
    }
  }
  void release() {
    std::lock_guard lock(mutex);
    if (--users > 0) return;
    if (GetCurrentThreadId() == ownerThread)
      DestroyWindow(window);
    else
      PostMessageW(window, WM_CLOSE, 0, 0);
    window = nullptr;
  }
  HWND get() {
    std::lock_guard lock(mutex);
    return window;
  }
};

SharedWindow& sharedWindow() {
  static SharedWindow* w = new SharedWindow;  // lives to the end of the process
  return *w;
}

// The shared delivery thread and its use count.
struct SharedThread {
  std::mutex mutex;
  int users = 0;
  std::thread thread;
  DWORD threadId = 0;

  void acquire() {
    std::lock_guard lock(mutex);
    if (++users > 1) return;
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    thread = std::thread([this, ready] {
      MSG msg;
      PeekMessageW(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);  // creates the queue
      threadId = GetCurrentThreadId();
      SetEvent(ready);
      while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == kWmDelayedNotification && msg.hwnd == nullptr)
          runTask(msg.lParam);
        else
          DispatchMessageW(&msg);
      }
      discardQueued(nullptr);
    });
    WaitForSingleObject(ready, INFINITE);
    CloseHandle(ready);
  }
  void release() {
    std::lock_guard lock(mutex);
    if (--users > 0) return;
    PostThreadMessageW(threadId, WM_QUIT, 0, 0);
    if (GetCurrentThreadId() == threadId)
      thread.detach();  // released by a task on the thread itself: it ends after this task
    else
      thread.join();
    threadId = 0;
  }
  DWORD id() {
    std::lock_guard lock(mutex);
    return threadId;
  }
};

SharedThread& sharedThread() {
  static SharedThread* t = new SharedThread;
  return *t;
}

}  // namespace

DelayedNotifier::DelayedNotifier(Mode mode) : mode_(mode) {
  if (mode_ == Mode::Window)
    sharedWindow().acquire();
  else
    sharedThread().acquire();
}

DelayedNotifier::~DelayedNotifier() {
  if (mode_ == Mode::Window)
    sharedWindow().release();
  else
    sharedThread().release();
}

bool DelayedNotifier::send(std::unique_ptr<DelayedTask> task) {
  const LPARAM lParam = reinterpret_cast<LPARAM>(task.get());
  const bool posted =
      mode_ == Mode::Window
          ? PostMessageW(sharedWindow().get(), kWmDelayedNotification, 0, lParam) != FALSE
          : PostThreadMessageW(sharedThread().id(), kWmDelayedNotification, 0, lParam) != FALSE;
  if (posted) (void)task.release();
  return posted;
}

}  // namespace agent
