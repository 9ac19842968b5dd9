// A report list view with a check-all box in the header of its first
// column. The box checks or clears every row and always shows whether all
// rows are checked. Rows are checked through the list's own check boxes.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

namespace ui {

struct ListColumn {
  const char* title;
  int width;
  bool centred = false;
};

class CheckListView {
 public:
  CheckListView() = default;
  ~CheckListView();
  CheckListView(const CheckListView&) = delete;
  CheckListView& operator=(const CheckListView&) = delete;

  bool attach(HWND dialog, int id);
  HWND window() const { return list_; }

  // Sets the extended styles, inserts the columns left to right and adds
  // the check-box style once more, as the main window sets up each list.
  void setUp(DWORD extendedStyles, const std::vector<ListColumn>& columns);

  // Installs the header box (bitmap 155); once per list.
  bool initHeaderCheckBox();
  bool headerBoxInstalled() const { return initialised_; }
  int headerImage() const;

  void onHeaderItemClick(int item);
  void onItemChanged(const NMLISTVIEW& change);

  // Row helpers (UTF-8 texts).
  int rowCount() const;
  void insertRow(int index, const std::vector<std::string>& texts, bool checked);
  void deleteRow(int index);
  void deleteAllRows();
  bool checked(int row) const;
  void setChecked(int row, bool on);
  std::string text(int row, int column) const;

  static CheckListView* of(HWND window);

 private:
  static LRESULT CALLBACK subclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR id, DWORD_PTR data);
  void setHeaderImage(int image);
  // The header box as the rows' check marks say.
  void refreshHeaderImage();

  HWND list_ = nullptr;
  bool initialised_ = false;
  HIMAGELIST images_ = nullptr;
};

}  // namespace ui
