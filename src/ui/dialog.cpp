#include "ui/dialog.h"

namespace ui {

Dialog::~Dialog() {
  if (window_ && IsWindow(window_)) {
    SetWindowLongPtrW(window_, DWLP_USER, 0);
    DestroyWindow(window_);
  }
}

HWND Dialog::createModeless(int templateId, HWND parent) {
  return CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId), parent,
                            dialogProc, reinterpret_cast<LPARAM>(this));
}

int Dialog::runMessageLoop() {
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

const Dialog::Entry* Dialog::find(UINT message, WPARAM wParam) const {
  for (const Entry& e : messageTable()) {
    if (e.message != message) continue;
    if (message == WM_COMMAND && e.commandId != LOWORD(wParam)) continue;
    return &e;
  }
  return nullptr;
}

INT_PTR CALLBACK Dialog::dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* self = reinterpret_cast<Dialog*>(lParam);
    self->window_ = window;
    SetWindowLongPtrW(window, DWLP_USER, lParam);
  }
  auto* self = reinterpret_cast<Dialog*>(GetWindowLongPtrW(window, DWLP_USER));
  if (!self) return FALSE;
  if (message == WM_NCDESTROY) {
    self->window_ = nullptr;
    SetWindowLongPtrW(window, DWLP_USER, 0);
    return FALSE;
  }
  const Entry* entry = self->find(message, wParam);
  if (!entry) return FALSE;
  const INT_PTR result = entry->handler(*self, wParam, lParam);
  if (message == WM_INITDIALOG) return result;
  SetWindowLongPtrW(window, DWLP_MSGRESULT, result);
  return TRUE;
}

}  // namespace ui
