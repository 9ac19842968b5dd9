#include "tools/win32/plugin_page.h"

#include "app/command_table.h"
#include "app/window_texts.h"
#include "tools/junk_search.h"
#include "tools/startup_list.h"
#include "tools/win32/list_rows.h"
#include "ui/shell.h"

namespace tools {
namespace {

namespace cmd = app::command;

constexpr int kList = 1051;
constexpr int kHeading = 1033;
constexpr int kRecover = 1054;

}  // namespace

void PluginPage::onCommand(int id) {
  switch (id) {
    case cmd::kToolsPlugins: showPluginPage(); break;
    case cmd::kDelete:
      if (context_.currentPage() == app::Page::Plugins) deletePlugins();
      break;
    case kRecover:
      if (context_.currentPage() == app::Page::Plugins) recoverPlugins();
      break;
    default: break;
  }
}

void PluginPage::showPluginPage() {
  if (!context_.showPage(app::Page::Plugins)) return;
  ui::CheckListView& list = context_.list(kList);
  list.deleteAllRows();
  setColumnWidths(list.window(), {600, 0, 0});
  rows_.clear();
  for (AddonRow& row : collectAddons({&native_, &view32_})) {
    list.insertRow(0, {row.name, row.classId, ""}, false);
    rows_.insert(rows_.begin(), std::move(row));
  }
  context_.setText(kHeading, addonStatusLine(rows_.size()));
}

void PluginPage::deletePlugins() {
  ui::CheckListView& list = context_.list(kList);
  size_t handled = 0;
  for (size_t i = 0; i < rows_.size();) {
    if (!list.checked(static_cast<int>(i))) {
      ++i;
      continue;
    }
    switchOffAddon(*context_.store, rows_[i].classId);
    rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(i));
    list.deleteRow(static_cast<int>(i));
    ++handled;
  }
  context_.setText(kHeading, addonStatusLine(rows_.size()));
  ui::messageBox(context_.window, handled > 0 ? kDeleteDoneMessage : kSelectItemMessage,
                 ui::applicationCaption(), MB_OK);
}

void PluginPage::recoverPlugins() {
  if (ui::messageBox(context_.window, kRecoverQuestion, app::kProductCaption,
                     MB_YESNO | MB_ICONQUESTION) != IDYES)
    return;
  recoverAddons(*context_.store);
  showPluginPage();
  ui::messageBox(context_.window, kRecoverDone, app::kProductCaption, MB_OK | MB_ICONINFORMATION);
}

}  // namespace tools
