// The rules of a list's header check-all box, platform-free: the header
// image 1 means "not all rows checked", 2 "all rows checked"; a row's
// state image 1 is unchecked, 2 checked.
#pragma once

#include <span>

namespace ui {

inline constexpr int kImageUnchecked = 1;
inline constexpr int kImageChecked = 2;

// The header image after a click on the first column's box.
inline int headerImageAfterClick(int current) {
  return current != kImageUnchecked ? kImageUnchecked : kImageChecked;
}

// The header image that shows whether every row is checked; an empty list
// counts as all checked.
inline int headerImageForRows(std::span<const int> rowStateImages) {
  for (int image : rowStateImages)
    if (image == kImageUnchecked) return kImageUnchecked;
  return kImageChecked;
}

}  // namespace ui
