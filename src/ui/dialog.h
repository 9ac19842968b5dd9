// The dialog layer: a window made from a dialog template whose messages are
// routed through a static table of the derived class, one entry per message
// (or per command id of WM_COMMAND), to a member handler.
//
//   static constexpr ui::Dialog::Entry kTable[] = {
//       {WM_TIMER, 0, &bind<MyWindow, &MyWindow::onTimer>},
//       {WM_COMMAND, IDCANCEL, &bind<MyWindow, &MyWindow::onCancel>},
//   };
//
// A handler gets wParam and lParam and returns the message's result (for
// WM_INITDIALOG: whether the system should set the focus).
#pragma once

#include <windows.h>

#include <span>

namespace ui {

class Dialog {
 public:
  using Handler = INT_PTR (*)(Dialog& self, WPARAM wParam, LPARAM lParam);
  struct Entry {
    UINT message;
    WORD commandId;  // WM_COMMAND entries: the control or command id
    Handler handler;
  };

  Dialog() = default;
  virtual ~Dialog();
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;

  // Creates the window from dialog template `templateId` of this module,
  // without showing it (unless the template says WS_VISIBLE).
  HWND createModeless(int templateId, HWND parent = nullptr);
  HWND window() const { return window_; }

  // Runs this thread's message loop until WM_QUIT; returns its exit code.
  static int runMessageLoop();

 protected:
  virtual std::span<const Entry> messageTable() const = 0;

  template <class D, INT_PTR (D::*Method)(WPARAM, LPARAM)>
  static INT_PTR bind(Dialog& self, WPARAM wParam, LPARAM lParam) {
    return (static_cast<D&>(self).*Method)(wParam, lParam);
  }

 private:
  static INT_PTR CALLBACK dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  const Entry* find(UINT message, WPARAM wParam) const;

  HWND window_ = nullptr;
};

}  // namespace ui
