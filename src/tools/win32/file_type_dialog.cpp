#include "tools/win32/file_type_dialog.h"

#include <commctrl.h>

#include "app/window_texts.h"
#include "common/text.h"
#include "settings/key_layout.h"
#include "tools/junk_rules.h"
#include "tools/win32/list_rows.h"

namespace tools {
namespace {

constexpr int kList = 1086;
constexpr int kSelectAll = 1089;
constexpr int kClearAll = 1090;
constexpr int kClose = 1010;
constexpr int kIcon = 128;
constexpr int kStateColumn = 2;

void setStateText(HWND list, int row, const char* text) {
  std::wstring wide = text::widen(text);
  ListView_SetItemText(list, row, kStateColumn, wide.data());
}

}  // namespace

std::span<const ui::Dialog::Entry> FileTypeDialog::messageTable() const {
  using D = FileTypeDialog;
  static constexpr Entry kTable[] = {
      {WM_INITDIALOG, 0, &bind<D, &D::onInitDialog>},
      {WM_NOTIFY, kList, &bind<D, &D::onListNotify>},
      {WM_COMMAND, kSelectAll, &bind<D, &D::onSelectAll>},
      {WM_COMMAND, kClearAll, &bind<D, &D::onClearAll>},
      {WM_COMMAND, kClose, &bind<D, &D::onClose>},
  };
  return kTable;
}

INT_PTR FileTypeDialog::onInitDialog(WPARAM, LPARAM) {
  HWND w = window();
  SetWindowTextW(w, text::widen(app::kProductCaption).c_str());
  HICON icon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kIcon),
                                             IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
  SendMessageW(w, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
  SendMessageW(w, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  if (!list_.attach(w, kList)) return TRUE;
  list_.setUp(LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES,
              {{"확장자", 120}, {"설명", 200}, {"현재상태", 80, true}});
  settingRows_ = true;
  const auto table = junkExtensions();
  for (size_t i = 0; i < table.size(); ++i) {
    const int row = static_cast<int>(i);
    list_.insertRow(row, {table[i].extension, table[i].description, ""}, false);
    const std::string value =
        store_.readString(keys::kRoot, keys::kFileType, table[i].extension, keys::kDefault);
    if (value == keys::kOn || value == keys::kDefault) {
      if (value == keys::kDefault) store_.writeString(keys::kRoot, keys::kFileType, table[i].extension, keys::kOn);
      list_.setChecked(row, true);
      setStateText(list_.window(), row, "사용");
    } else if (value == keys::kOff) {
      setStateText(list_.window(), row, "해제");
    }
  }
  settingRows_ = false;
  return TRUE;
}

void FileTypeDialog::setRow(int row, bool searched) {
  const auto table = junkExtensions();
  if (row < 0 || static_cast<size_t>(row) >= table.size()) return;
  store_.writeString(keys::kRoot, keys::kFileType, table[static_cast<size_t>(row)].extension,
                     searched ? keys::kOn : keys::kOff);
  setStateText(list_.window(), row, searched ? "사용" : "해제");
  if (list_.checked(row) != searched) {
    settingRows_ = true;
    list_.setChecked(row, searched);
    settingRows_ = false;
  }
}

INT_PTR FileTypeDialog::onListNotify(WPARAM, LPARAM lParam) {
  const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
  if (header.code == LVN_ITEMCHANGED && !settingRows_) {
    const auto& change = *reinterpret_cast<const NMLISTVIEW*>(lParam);
    const int row = checkChangedRow(change);
    // Inserting a row sets its first state image; that is not a user's change.
    if (row >= 0 && (change.uOldState & LVIS_STATEIMAGEMASK) != 0) {
      const bool on = checkedAfter(change);
      setRow(row, on);
      selectOnlyIfChecked(list_.window(), row, on);
    }
  } else if (const int row = rowClickedBesideBox(header); row >= 0) {
    setRow(row, !list_.checked(row));
  }
  return 0;
}

void FileTypeDialog::setAll(bool searched) {
  for (int row = 0; row < list_.rowCount(); ++row) setRow(row, searched);
}

INT_PTR FileTypeDialog::onSelectAll(WPARAM, LPARAM) {
  setAll(true);
  return 0;
}

INT_PTR FileTypeDialog::onClearAll(WPARAM, LPARAM) {
  setAll(false);
  return 0;
}

INT_PTR FileTypeDialog::onClose(WPARAM, LPARAM) {
  endDialog(IDOK);
  return 0;
}

}  // namespace tools
