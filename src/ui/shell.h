// What the windows ask of the desktop shell and the user: web pages in the
// default browser, message boxes with the program's captions, bitmaps.
#pragma once

#include <windows.h>

#include <string>

namespace ui {

// Opens an http:// or https:// address with the user's default browser
// (the shell's "open"); any other text is not opened. True when opened.
bool openWebPage(const std::string& address);

// A modal message box with UTF-8 texts.
int messageBox(HWND owner, const std::string& text, const std::string& caption, UINT flags);
// The application's default caption: the program file's name without its extension.
std::string applicationCaption();

HBITMAP loadBitmap(int id);

// The link-hover state of a window's link area: the hand cursor while the
// mouse is over it, the arrow again when it leaves.
class LinkHover {
 public:
  // The mouse moved; `over` says whether it is over the link now.
  void track(bool over);
  // The link was clicked: the hand cursor, and hovering.
  void press();
  bool hovering() const { return hovering_; }

 private:
  bool hovering_ = false;
};

// A picture kept in a memory device context compatible with a window, so
// that painting it is one block copy.
class Picture {
 public:
  Picture() = default;
  ~Picture() { release(); }
  Picture(const Picture&) = delete;
  Picture& operator=(const Picture&) = delete;

  // Makes a width × height picture from the top-left corner of bitmap `id`
  // (nothing where the bitmap is missing, only the bitmap where it is smaller).
  void make(HWND window, int bitmapId, int width, int height);
  void release();
  void draw(HDC target, int x, int y) const;
  bool empty() const { return dc_ == nullptr; }

 private:
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
  int width_ = 0, height_ = 0;
};

}  // namespace ui
