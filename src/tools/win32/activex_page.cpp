#include "tools/win32/activex_page.h"

#include <algorithm>

#include "app/command_table.h"
#include "common/file_io.h"
#include "common/text.h"
#include "tools/win32/list_rows.h"
#include "ui/shell.h"

namespace tools {
namespace {

namespace cmd = app::command;

constexpr int kList = 1048;
constexpr int kHeading = 1033;
constexpr int kBlock = 1049;
constexpr int kUnblock = 1050;
constexpr int kStatusColumn = 2;

}  // namespace

void ActiveXPage::onCommand(int id) {
  switch (id) {
    case cmd::kToolsActiveX: showActiveXPage(); break;
    case kBlock: blockAllActiveX(); break;
    case kUnblock: unblockAllActiveX(); break;
    default: break;
  }
}

size_t ActiveXPage::blocked() const {
  return static_cast<size_t>(std::count_if(rows_.begin(), rows_.end(),
                                           [](const Row& r) { return r.state == KillbitState::Blocked; }));
}

void ActiveXPage::loadKillbitList() {
  std::string text;
  fileio::readWholeFile(context_.programFolder + kKillbitFileName, &text);
  ui::CheckListView& list = context_.list(kList);
  settingRows_ = true;
  rows_.clear();
  list.deleteAllRows();
  for (KillbitEntry& entry : parseKillbitList(text)) {
    const KillbitState state = killBits_.read(entry.classId);
    list.insertRow(0, {entry.name, entry.classId, statusText(state)}, state == KillbitState::Blocked);
    rows_.insert(rows_.begin(), {std::move(entry), state});
  }
  settingRows_ = false;
}

void ActiveXPage::showActiveXPage() {
  if (!context_.showPage(app::Page::ActiveX)) return;
  showStatusLine();
}

void ActiveXPage::showStatusLine() const { context_.setText(kHeading, killbitStatusLine(total(), blocked())); }

void ActiveXPage::setRow(size_t index, bool block) {
  Row& row = rows_[index];
  killBits_.write(row.entry.classId, block);
  // An entry without a class names no key: it stays as it was read.
  row.state = row.entry.classId.empty() ? KillbitState::Neither
                                        : (block ? KillbitState::Blocked : KillbitState::Released);
  ui::CheckListView& list = context_.list(kList);
  const int r = static_cast<int>(index);
  std::wstring status = text::widen(statusText(row.state));
  ListView_SetItemText(list.window(), r, kStatusColumn, status.data());
  const bool checked = row.state == KillbitState::Blocked;
  if (list.checked(r) != checked) {
    settingRows_ = true;
    list.setChecked(r, checked);
    settingRows_ = false;
  }
}

INT_PTR ActiveXPage::onNotify(const NMHDR& header) {
  if (header.code == LVN_ITEMCHANGED) {
    if (settingRows_) return 0;
    const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
    const int row = checkChangedRow(change);
    if (row < 0 || static_cast<size_t>(row) >= rows_.size() || (change.uOldState & LVIS_STATEIMAGEMASK) == 0)
      return 0;
    const bool block = checkedAfter(change);
    setRow(static_cast<size_t>(row), block);
    selectOnlyIfChecked(header.hwndFrom, row, block && rows_[static_cast<size_t>(row)].state == KillbitState::Blocked);
    showStatusLine();
  } else if (const int row = rowClickedBesideBox(header); row >= 0 && static_cast<size_t>(row) < rows_.size()) {
    setRow(static_cast<size_t>(row), rows_[static_cast<size_t>(row)].state != KillbitState::Blocked);
    showStatusLine();
  }
  return 0;
}

void ActiveXPage::blockAllActiveX() {
  for (size_t i = 0; i < rows_.size(); ++i) setRow(i, true);
  showStatusLine();
  ui::messageBox(context_.window, "ActiveX 차단을 완료 하였습니다.", ui::applicationCaption(), MB_OK);
}

void ActiveXPage::unblockAllActiveX() {
  for (size_t i = 0; i < rows_.size(); ++i) setRow(i, false);
  showStatusLine();
  ui::messageBox(context_.window, "ActiveX 해제를 완료 하였습니다.", ui::applicationCaption(), MB_OK);
}

}  // namespace tools
