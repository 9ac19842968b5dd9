// Small list-view helpers the tools pages share.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <initializer_list>

namespace tools {

inline void setColumnWidths(HWND list, std::initializer_list<int> widths) {
  int column = 0;
  for (int width : widths) ListView_SetColumnWidth(list, column++, width);
}

// The row whose check box changed in an item-change notification, or -1.
inline int checkChangedRow(const NMLISTVIEW& change) {
  if (!(change.uChanged & LVIF_STATE) || change.iItem < 0) return -1;
  return ((change.uOldState ^ change.uNewState) & LVIS_STATEIMAGEMASK) ? change.iItem : -1;
}
inline bool checkedAfter(const NMLISTVIEW& change) {
  return (change.uNewState & LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2);
}

// A click on a row outside its check box: the row, else -1.
inline int rowClickedBesideBox(const NMHDR& header) {
  if (header.code != NM_CLICK) return -1;
  const auto& click = reinterpret_cast<const NMITEMACTIVATE&>(header);
  LVHITTESTINFO hit{};
  hit.pt = click.ptAction;
  if (ListView_HitTest(header.hwndFrom, &hit) < 0) return -1;
  if (!(hit.flags & LVHT_ONITEM) || (hit.flags & LVHT_ONITEMSTATEICON)) return -1;
  return hit.iItem;
}

// After the user's own click on a check box: only a row becoming checked
// stays selected.
inline void selectOnlyIfChecked(HWND list, int row, bool checked) {
  for (int r = -1; (r = ListView_GetNextItem(list, r, LVNI_SELECTED)) >= 0;)
    ListView_SetItemState(list, r, 0, LVIS_SELECTED);
  if (checked) ListView_SetItemState(list, row, LVIS_SELECTED, LVIS_SELECTED);
}

}  // namespace tools
