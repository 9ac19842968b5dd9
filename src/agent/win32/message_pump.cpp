#include "agent/win32/message_pump.h"

#include <algorithm>

namespace agent {
namespace {

constexpr DWORD kWaitSliceMs = 5000;

// Dispatches what is queued; true when WM_QUIT was taken (its code in *code).
bool dispatchQueued(int* code) {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      *code = static_cast<int>(msg.wParam);
      return true;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return false;
}

}  // namespace

bool waitDispatching(HANDLE event, DWORD timeoutMs) {
  bool quit = false;
  int quitCode = 0;
  const ULONGLONG end = timeoutMs == INFINITE ? 0 : GetTickCount64() + timeoutMs;
  bool signalled = false;
  while (true) {
    DWORD slice = kWaitSliceMs;
    if (timeoutMs != INFINITE) {
      const ULONGLONG now = GetTickCount64();
      if (now >= end) break;
      slice = static_cast<DWORD>(std::min<ULONGLONG>(slice, end - now));
    }
    const DWORD r = quit ? WaitForSingleObject(event, slice)
                         : MsgWaitForMultipleObjects(1, &event, FALSE, slice, QS_ALLINPUT);
    if (r == WAIT_OBJECT_0) {
      signalled = true;
      break;
    }
    if (!quit && r == WAIT_OBJECT_0 + 1) quit = dispatchQueued(&quitCode);
  }
  if (quit) PostQuitMessage(quitCode);
  return signalled;
}

}  // namespace agent
