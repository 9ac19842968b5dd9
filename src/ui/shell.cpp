#include "ui/shell.h"

#include <shellapi.h>

#include <algorithm>

#include "common/text.h"
#include "common/web_address.h"
#include "ui/shell_texts.h"

namespace ui {

bool openWebPage(const std::string& address) {
  if (!web::isWebAddress(address)) return false;
  const std::wstring wide = text::widen(address);
  const auto result = reinterpret_cast<INT_PTR>(
      ShellExecuteW(nullptr, L"open", wide.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  return result > 32;
}

int messageBox(HWND owner, const std::string& text, const std::string& caption, UINT flags) {
  return MessageBoxW(owner, text::widen(text).c_str(), text::widen(caption).c_str(), flags);
}

std::string applicationCaption() {
  wchar_t path[MAX_PATH] = L"";
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  return ui::applicationCaption(text::narrow(path));
}

HBITMAP loadBitmap(int id) {
  return static_cast<HBITMAP>(
      LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
}

void LinkHover::track(bool over) {
  if (over) {
    press();
  } else if (hovering_) {
    hovering_ = false;
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
  }
}

void LinkHover::press() {
  hovering_ = true;
  SetCursor(LoadCursorW(nullptr, IDC_HAND));
}

void Picture::make(HWND window, int bitmapId, int width, int height) {
  release();
  // The bitmap itself, selected into a memory context compatible with the
  // window: painting is one block copy from it, and no second copy is made.
  bitmap_ = static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(bitmapId),
                                            IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (!bitmap_) return;
  HDC screen = GetDC(window);
  dc_ = CreateCompatibleDC(screen);
  ReleaseDC(window, screen);
  if (!dc_) {
    release();
    return;
  }
  old_ = SelectObject(dc_, bitmap_);
  BITMAP info{};
  GetObjectW(bitmap_, sizeof info, &info);
  width_ = std::min(width, static_cast<int>(info.bmWidth));
  height_ = std::min(height, static_cast<int>(info.bmHeight));
}

void Picture::release() {
  if (dc_ && old_) SelectObject(dc_, old_);
  if (bitmap_) DeleteObject(bitmap_);
  if (dc_) DeleteDC(dc_);
  dc_ = nullptr;
  bitmap_ = nullptr;
  old_ = nullptr;
}

void Picture::draw(HDC target, int x, int y) const {
  if (dc_) BitBlt(target, x, y, width_, height_, dc_, 0, 0, SRCCOPY);
}

}  // namespace ui
