// What the window tests need around a window of this thread: a message pump
// with the program's pre-translation, and a second thread that deals with
// what a command shows modally (a message box, a menu, a dialog).
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

namespace gui {

// Dispatches this thread's messages for `ms` milliseconds.
void pump(DWORD ms);
// Pumps until `done` or `ms` passed; true when done.
bool pumpUntil(const std::function<bool()>& done, DWORD ms);

// A visible top-level window of thread `thread` of class `className`, other
// than `except`; null when there is none.
HWND findThreadWindow(DWORD thread, const wchar_t* className, HWND except = nullptr);
std::string windowText(HWND window);
std::string controlText(HWND dialog, int id);

// Posts `message` to `target` and pumps while `handle` runs on another
// thread with the window `find` gives (polled up to 10 s). True when the
// window was found and handled.
bool whileShown(HWND target, UINT message, WPARAM wParam, LPARAM lParam,
                const std::function<HWND()>& find, const std::function<void(HWND)>& handle);

// The text of a message box and a press of its OK button.
struct MessageBoxSeen {
  std::string text;
  HWND owner = nullptr;
};
bool answerMessageBox(HWND main, UINT message, WPARAM wParam, LPARAM lParam, MessageBoxSeen* seen);

}  // namespace gui
