#include "ui/dialog.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "ui/check_list_view.h"
#include "ui/hover_button.h"

namespace ui {
namespace {

// The dialogs of this thread that exist now, for the loops' pre-translation.
thread_local std::vector<HWND> t_dialogs;

bool belongsTo(HWND dialog, HWND target) { return target == dialog || IsChild(dialog, target); }

}  // namespace

Dialog::~Dialog() {
  if (window_ && IsWindow(window_)) {
    SetWindowLongPtrW(window_, DWLP_USER, 0);
    std::erase(t_dialogs, window_);
    DestroyWindow(window_);
  }
}

HWND Dialog::createModeless(int templateId, HWND parent) {
  ended_ = false;
  return CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId), parent,
                            dialogProc, reinterpret_cast<LPARAM>(this));
}

INT_PTR Dialog::runModal(int templateId, HWND owner) {
  modal_ = true;
  ended_ = false;
  result_ = -1;
  const bool ownerWasEnabled = owner && IsWindowEnabled(owner);
  HWND self = createModeless(templateId, owner);
  if (!self) {
    modal_ = false;
    return -1;
  }
  // The initialisation may already have ended the dialog.
  if (!ended_ && IsWindow(self)) {
    if (ownerWasEnabled) EnableWindow(owner, FALSE);
    MSG msg;
    while (!ended_) {
      const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
      if (got == 0) {
        PostQuitMessage(static_cast<int>(msg.wParam));
        break;
      }
      if (got < 0) break;
      if (preTranslate(msg)) continue;
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (ownerWasEnabled) EnableWindow(owner, TRUE);
  }
  if (window_ && IsWindow(window_)) DestroyWindow(window_);
  modal_ = false;
  return result_;
}

void Dialog::endDialog(INT_PTR result) {
  result_ = result;
  ended_ = true;
  if (!modal_ && window_) DestroyWindow(window_);
  else if (window_) PostMessageW(window_, WM_NULL, 0, 0);  // wake the modal loop
}

int Dialog::runMessageLoop() {
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

bool Dialog::preTranslate(MSG& msg) {
  for (HWND dialog : t_dialogs) {
    if (!belongsTo(dialog, msg.hwnd)) continue;
    if (msg.message == WM_KEYDOWN && (msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE))
      return true;
    return IsDialogMessageW(dialog, &msg) != FALSE;
  }
  return false;
}

const Dialog::Entry* Dialog::find(UINT message, WPARAM wParam, LPARAM lParam) const {
  for (const Entry& e : messageTable()) {
    if (e.message != message) continue;
    // Command and notification entries with id 0 take every id.
    if (message == WM_COMMAND && e.commandId != 0 && e.commandId != LOWORD(wParam)) continue;
    if (message == WM_NOTIFY && e.commandId != 0 &&
        e.commandId != reinterpret_cast<const NMHDR*>(lParam)->idFrom)
      continue;
    return &e;
  }
  return nullptr;
}

bool Dialog::handleShared(UINT message, WPARAM, LPARAM lParam, INT_PTR* result) {
  if (message == WM_DRAWITEM) {
    const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    if (HoverButton* button = HoverButton::of(item->hwndItem)) {
      button->draw(*item);
      *result = TRUE;
      return true;
    }
  }
  if (message == WM_NOTIFY) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header->code == LVN_ITEMCHANGED)
      if (CheckListView* list = CheckListView::of(header->hwndFrom))
        list->onItemChanged(*reinterpret_cast<const NMLISTVIEW*>(lParam));
  }
  return false;
}

INT_PTR CALLBACK Dialog::dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* self = reinterpret_cast<Dialog*>(lParam);
    self->window_ = window;
    SetWindowLongPtrW(window, DWLP_USER, lParam);
    t_dialogs.push_back(window);
  }
  auto* self = reinterpret_cast<Dialog*>(GetWindowLongPtrW(window, DWLP_USER));
  if (!self) return FALSE;
  if (message == WM_NCDESTROY) {
    std::erase(t_dialogs, window);
    self->window_ = nullptr;
    self->ended_ = true;
    SetWindowLongPtrW(window, DWLP_USER, 0);
    return FALSE;
  }
  INT_PTR shared = 0;
  if (handleShared(message, wParam, lParam, &shared)) {
    SetWindowLongPtrW(window, DWLP_MSGRESULT, shared);
    return TRUE;
  }
  const Entry* entry = self->find(message, wParam, lParam);
  if (!entry) return FALSE;
  const INT_PTR result = entry->handler(*self, wParam, lParam);
  if (message == WM_INITDIALOG) return result;
  // Control-colour requests want the brush as the dialog procedure's result.
  if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) return result;
  SetWindowLongPtrW(window, DWLP_MSGRESULT, result);
  return TRUE;
}

}  // namespace ui
