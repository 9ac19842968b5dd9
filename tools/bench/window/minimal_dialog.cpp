// The baseline of the window benchmark: a program that shows one empty
// dialog, as large as torvane.exe's main window, until it is told to close.
#include <windows.h>

namespace {

constexpr int kDialog = 1;

INT_PTR CALLBACK dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) return TRUE;
  if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
    EndDialog(dialog, 0);
    return TRUE;
  }
  return FALSE;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, wchar_t*, int) {
  return static_cast<int>(DialogBoxParamW(instance, MAKEINTRESOURCEW(kDialog), nullptr, dialogProc, 0));
}
