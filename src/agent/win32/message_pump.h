// Waiting on a thread that owns windows: the wait keeps dispatching the
// thread's messages, so that notices meant for its own windows are delivered
// while it waits.
#pragma once

#include <windows.h>

namespace agent {

// Waits for `event`, dispatching this thread's messages meanwhile; after
// WM_QUIT it only waits, and posts WM_QUIT again before it returns so that the
// caller's loop still sees it. False when `timeoutMs` passed first.
bool waitDispatching(HANDLE event, DWORD timeoutMs = INFINITE);

}  // namespace agent
