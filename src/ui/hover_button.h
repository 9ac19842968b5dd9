// A skinned push button: an owner-drawn button of a dialog template whose
// face is one of three bitmaps (normal, pressed, hover) and whose text is a
// tooltip. The dialog layer draws it on WM_DRAWITEM.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace ui {

class HoverButton {
 public:
  HoverButton() = default;
  ~HoverButton();
  HoverButton(const HoverButton&) = delete;
  HoverButton& operator=(const HoverButton&) = delete;

  // Takes over control `id` of `dialog`: makes it owner-drawn and tracks the
  // mouse over it. False when there is no such control.
  bool attach(HWND dialog, int id);
  HWND window() const { return button_; }

  // Loads the three faces from this module's bitmap resources; 0.
  int loadBitmaps(int normalId, int pressedId, int hoverId);
  // The face rectangle in the parent's client pixels; the button is moved there.
  void setFaceRect(int left, int top, int right, int bottom);
  // A tooltip child of the button over its whole client area, tool number 1
  // (made when the mouse first comes to the button).
  void setToolTipText(const std::string& text);

  bool hovered() const { return hover_; }
  HWND toolTip() const { return toolTip_; }
  const std::optional<std::string>& toolTipText() const { return toolTipText_; }
  // The bitmap drawn for an item state (for the tests: which face shows).
  HBITMAP faceFor(UINT itemState) const;

  void draw(const DRAWITEMSTRUCT& item) const;

  // The button object behind a window, or null.
  static HoverButton* of(HWND window);

 private:
  static LRESULT CALLBACK subclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR id, DWORD_PTR data);
  LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void redraw();
  void createToolTip();
  void releaseBitmaps();

  HWND button_ = nullptr;
  HBITMAP normal_ = nullptr, pressed_ = nullptr, hoverFace_ = nullptr;
  HWND toolTip_ = nullptr;
  std::optional<std::string> toolTipText_;
  bool hover_ = false;
  bool tracking_ = false;
  RECT face_{};
};

}  // namespace ui
