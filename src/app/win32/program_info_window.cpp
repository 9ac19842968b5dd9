#include "app/win32/program_info_window.h"

#include <windowsx.h>

#include "app/main_window_layout.h"

namespace app {
namespace {

constexpr int kBackground = 162;
constexpr int kOk = 1030;
constexpr int kClose = 1010;
constexpr int kWidth = 500, kHeight = 300;
constexpr Rect kWebLogLink{126, 168, 255, 178};

}  // namespace

std::span<const ui::Dialog::Entry> ProgramInfoWindow::messageTable() const {
  using W = ProgramInfoWindow;
  static constexpr Entry kTable[] = {
      {WM_INITDIALOG, 0, &bind<W, &W::onInitDialog>},
      {WM_COMMAND, kOk, &bind<W, &W::onClose>},
      {WM_COMMAND, kClose, &bind<W, &W::onClose>},
      {WM_COMMAND, IDCANCEL, &bind<W, &W::onClose>},
      {WM_ERASEBKGND, 0, &bind<W, &W::onEraseBackground>},
      {WM_LBUTTONDOWN, 0, &bind<W, &W::onLeftButtonDown>},
      {WM_MOUSEMOVE, 0, &bind<W, &W::onMouseMove>},
  };
  return kTable;
}

INT_PTR ProgramInfoWindow::onInitDialog(WPARAM, LPARAM) {
  HWND w = window();
  background_.make(w, kBackground, kWidth, kHeight);
  if (ok_.attach(w, kOk)) {
    ok_.loadBitmaps(163, 218, 165);
    ok_.setFaceRect(420, 268, 474, 292);
    ok_.setToolTipText("OK");
    ShowWindow(ok_.window(), SW_SHOW);
  }
  if (close_.attach(w, kClose)) {
    close_.loadBitmaps(132, 133, 134);
    close_.setFaceRect(470, 10, 487, 26);
    close_.setToolTipText("Close");
    ShowWindow(close_.window(), SW_SHOW);
  }
  const int x = (GetSystemMetrics(SM_CXSCREEN) - kWidth) / 2;
  const int y = (GetSystemMetrics(SM_CYSCREEN) - kHeight) / 2;
  SetWindowPos(w, nullptr, x, y, kWidth, kHeight, SWP_NOZORDER);
  return TRUE;
}

INT_PTR ProgramInfoWindow::onClose(WPARAM, LPARAM) {
  endDialog(IDCANCEL);
  return 0;
}

INT_PTR ProgramInfoWindow::onEraseBackground(WPARAM wParam, LPARAM) {
  background_.draw(reinterpret_cast<HDC>(wParam), 0, 0);
  return TRUE;
}

INT_PTR ProgramInfoWindow::onLeftButtonDown(WPARAM, LPARAM lParam) {
  PostMessageW(window(), WM_NCLBUTTONDOWN, HTCAPTION, lParam);
  if (kWebLogLink.contains(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam))) {
    linkHover_.press();
    ui::openWebPage(kWebLogAddress);
  }
  return 0;
}

INT_PTR ProgramInfoWindow::onMouseMove(WPARAM, LPARAM lParam) {
  linkHover_.track(kWebLogLink.contains(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
  return 0;
}

}  // namespace app
