// The program-information window: a picture with the product's facts, an
// OK and a close button, and the maker's web log behind a link area.
#pragma once

#include "ui/dialog.h"
#include "ui/hover_button.h"
#include "ui/shell.h"

namespace app {

inline constexpr int kProgramInfoDialog = 159;
// The web log of the program's makers.
inline constexpr const char* kWebLogAddress = "http://blog.torvane.example/";

class ProgramInfoWindow final : public ui::Dialog {
 public:
  bool linkHover() const { return linkHover_.hovering(); }

 protected:
  std::span<const Entry> messageTable() const override;

 private:
  INT_PTR onInitDialog(WPARAM, LPARAM);
  INT_PTR onClose(WPARAM, LPARAM);
  INT_PTR onEraseBackground(WPARAM, LPARAM);
  INT_PTR onLeftButtonDown(WPARAM, LPARAM);
  INT_PTR onMouseMove(WPARAM, LPARAM);

  ui::HoverButton ok_;
  ui::HoverButton close_;
  ui::Picture background_;
  ui::LinkHover linkHover_;
};

}  // namespace app
