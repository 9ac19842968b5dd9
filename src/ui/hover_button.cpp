#include "ui/hover_button.h"

#include <commctrl.h>

#include "common/text.h"

namespace ui {
namespace {

constexpr wchar_t kProperty[] = L"Torvane.HoverButton";
constexpr UINT_PTR kSubclassId = 0x7648;

HBITMAP loadBitmap(int id) {
  return static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id),
                                         IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
}

}  // namespace

HoverButton::~HoverButton() {
  if (button_ && IsWindow(button_)) {
    RemoveWindowSubclass(button_, subclassProc, kSubclassId);
    RemovePropW(button_, kProperty);
  }
  releaseBitmaps();
}

bool HoverButton::attach(HWND dialog, int id) {
  button_ = GetDlgItem(dialog, id);
  if (!button_) return false;
  const LONG_PTR style = GetWindowLongPtrW(button_, GWL_STYLE);
  SetWindowLongPtrW(button_, GWL_STYLE, (style & ~static_cast<LONG_PTR>(BS_TYPEMASK)) | BS_OWNERDRAW);
  SetPropW(button_, kProperty, this);
  SetWindowSubclass(button_, subclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
  return true;
}

void HoverButton::releaseBitmaps() {
  for (HBITMAP* b : {&normal_, &pressed_, &hoverFace_}) {
    if (*b) DeleteObject(*b);
    *b = nullptr;
  }
}

int HoverButton::loadBitmaps(int normalId, int pressedId, int hoverId) {
  releaseBitmaps();
  normal_ = loadBitmap(normalId);
  pressed_ = loadBitmap(pressedId);
  hoverFace_ = loadBitmap(hoverId);
  return 0;
}

void HoverButton::setFaceRect(int left, int top, int right, int bottom) {
  face_ = {left, top, right, bottom};
  if (button_) MoveWindow(button_, left, top, right - left, bottom - top, TRUE);
}

void HoverButton::setToolTipText(const std::string& text) {
  toolTipText_ = text;
  if (toolTip_) createToolTip();
}

// The tooltip window is made when the mouse first comes to the button: a
// window has some twenty buttons, and each pop-up costs the start-up
// several milliseconds under an X server.
void HoverButton::createToolTip() {
  if (!button_ || !toolTipText_) return;
  if (!toolTip_)
    toolTip_ = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP, CW_USEDEFAULT, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, button_, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
  if (!toolTip_) return;
  std::wstring wide = text::widen(*toolTipText_);
  TOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = button_;
  tool.uId = 1;
  tool.lpszText = wide.data();
  GetClientRect(button_, &tool.rect);
  SendMessageW(toolTip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  SendMessageW(toolTip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

HBITMAP HoverButton::faceFor(UINT itemState) const {
  if (itemState & ODS_SELECTED) return pressed_;
  return hover_ ? hoverFace_ : normal_;
}

void HoverButton::draw(const DRAWITEMSTRUCT& item) const {
  HBITMAP face = faceFor(item.itemState);
  if (!face) return;
  HDC memory = CreateCompatibleDC(item.hDC);
  if (!memory) return;
  HGDIOBJ old = SelectObject(memory, face);
  BitBlt(item.hDC, 0, 0, face_.right - face_.left, face_.bottom - face_.top, memory, 0, 0, SRCCOPY);
  SelectObject(memory, old);
  DeleteDC(memory);
}

HoverButton* HoverButton::of(HWND window) {
  return window ? static_cast<HoverButton*>(GetPropW(window, kProperty)) : nullptr;
}

void HoverButton::redraw() {
  RedrawWindow(button_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

LRESULT HoverButton::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  // The tooltip sees the button's mouse messages.
  if (!toolTip_ && message == WM_MOUSEMOVE) createToolTip();
  if (toolTip_ && message >= WM_MOUSEFIRST && message < WM_MOUSEWHEEL) {
    MSG msg{button_, message, wParam, lParam, GetMessageTime(), {}};
    GetCursorPos(&msg.pt);
    SendMessageW(toolTip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
  }
  switch (message) {
    case WM_MOUSEMOVE:
      if (!tracking_) {
        TRACKMOUSEEVENT track{sizeof track, TME_HOVER | TME_LEAVE, button_, 1};
        tracking_ = TrackMouseEvent(&track) != FALSE;
      }
      break;
    case WM_MOUSEHOVER:
      hover_ = true;
      redraw();
      return 1;
    case WM_MOUSELEAVE:
      tracking_ = false;
      hover_ = false;
      redraw();
      return 1;
    default: break;
  }
  return DefSubclassProc(button_, message, wParam, lParam);
}

LRESULT CALLBACK HoverButton::subclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                           UINT_PTR, DWORD_PTR data) {
  auto* self = reinterpret_cast<HoverButton*>(data);
  if (message == WM_NCDESTROY) {
    RemoveWindowSubclass(window, subclassProc, kSubclassId);
    RemovePropW(window, kProperty);
    self->button_ = nullptr;
    return DefSubclassProc(window, message, wParam, lParam);
  }
  return self->onMessage(message, wParam, lParam);
}

}  // namespace ui
