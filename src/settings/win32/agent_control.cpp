#include "settings/win32/agent_control.h"

#include <windows.h>

#include "common/text.h"

namespace settings {

bool stopAgent(uint32_t waitMs) {
  const std::wstring title = text::widen(kAgentWindowTitle);
  const DWORD started = GetTickCount();
  HWND agent;
  while ((agent = FindWindowW(nullptr, title.c_str())) != nullptr) {
    if (GetTickCount() - started >= waitMs) return false;
    PostMessageW(agent, WM_CLOSE, 0, 0);
    Sleep(20);
  }
  return true;
}

}  // namespace settings
