// The dialog layer: a window made from a dialog template whose messages are
// routed through a static table of the derived class, one entry per message
// (or per command id of WM_COMMAND, or per control id of WM_NOTIFY), to a
// member handler.
//
//   static constexpr ui::Dialog::Entry kTable[] = {
//       {WM_TIMER, 0, &bind<MyWindow, &MyWindow::onTimer>},
//       {WM_COMMAND, IDCANCEL, &bind<MyWindow, &MyWindow::onCancel>},
//   };
//
// A handler gets wParam and lParam and returns the message's result (for
// WM_INITDIALOG: whether the system should set the focus).
//
// What every skinned dialog of the main program shares is done here once:
// owner-drawn hover buttons are drawn on WM_DRAWITEM, check-box lists get
// their item-change notifications, and the modal loop swallows Enter and
// Escape and relays the dialog keys.
#pragma once

#include <windows.h>

#include <optional>
#include <span>

namespace ui {

class Dialog {
 public:
  using Handler = INT_PTR (*)(Dialog& self, WPARAM wParam, LPARAM lParam);
  struct Entry {
    UINT message;
    // WM_COMMAND: the control or command id; WM_NOTIFY: the control id;
    // 0 for either: every id.
    WORD commandId;
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

  // Creates the window, disables `owner` and runs a message loop until
  // endDialog; then destroys the window and gives endDialog's result (-1
  // when the window could not be made). A WM_QUIT met on the way ends the
  // loop and is posted again for the loop outside.
  INT_PTR runModal(int templateId, HWND owner = nullptr);
  // Ends runModal's loop (for a modeless window: destroys it).
  void endDialog(INT_PTR result);
  bool ended() const { return ended_; }

  // The check mark of a menu command, as the window's command-update
  // handlers give it (nullopt: the window has none for it).
  virtual std::optional<bool> commandChecked(int /*commandId*/) const { return std::nullopt; }

  // Runs this thread's message loop until WM_QUIT; returns its exit code.
  static int runMessageLoop();

  // The pre-translation of every loop of the main program: Enter and Escape
  // pressed in one of its dialogs are swallowed, and the dialog keys (Tab,
  // arrows) of those dialogs are handled. True when the message is done.
  static bool preTranslate(MSG& msg);

 protected:
  virtual std::span<const Entry> messageTable() const = 0;

  template <class D, INT_PTR (D::*Method)(WPARAM, LPARAM)>
  static INT_PTR bind(Dialog& self, WPARAM wParam, LPARAM lParam) {
    return (static_cast<D&>(self).*Method)(wParam, lParam);
  }

 private:
  static INT_PTR CALLBACK dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  const Entry* find(UINT message, WPARAM wParam, LPARAM lParam) const;
  // What every dialog does before its table; true when the message is done.
  static bool handleShared(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result);

  HWND window_ = nullptr;
  bool modal_ = false;
  bool ended_ = false;
  INT_PTR result_ = 0;
};

}  // namespace ui
