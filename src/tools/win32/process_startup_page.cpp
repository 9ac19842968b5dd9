#include "tools/win32/process_startup_page.h"

#include "app/command_table.h"
#include "platform/win32/win32_processes.h"
#include "tools/junk_search.h"
#include "tools/win32/list_rows.h"
#include "ui/shell.h"

namespace tools {
namespace {

namespace cmd = app::command;

constexpr int kList = 1051;
constexpr int kHeading = 1033;
constexpr int kEndProcess = 1052;

}  // namespace

void ProcessStartupPage::onCommand(int id) {
  switch (id) {
    case cmd::kToolsProcess: showProcessPage(); break;
    case cmd::kToolsStartup: showStartupPage(); break;
    case kEndProcess:
      if (context_.currentPage() == app::Page::Process) endCheckedProcesses();
      break;
    case cmd::kDelete:
      if (context_.currentPage() == app::Page::Startup) deleteStartupItems();
      break;
    default: break;
  }
}

void ProcessStartupPage::showProcessPage() {
  if (!context_.showPage(app::Page::Process)) return;
  context_.setText(kHeading, processStatusLine(0));
  ui::CheckListView& list = context_.list(kList);
  list.deleteAllRows();
  setColumnWidths(list.window(), {500, 0, 100});
  fillProcessList();
}

void ProcessStartupPage::fillProcessList() {
  ui::CheckListView& list = context_.list(kList);
  list.deleteAllRows();
  processes_.clear();
  win32::Win32Processes processes;
  std::vector<ProcessRow> running;
  if (!runningProcesses(processes, &running)) return;
  for (ProcessRow& row : running) {
    list.insertRow(0, {row.exeName, "", "실행"}, false);
    processes_.insert(processes_.begin(), std::move(row));
  }
  context_.setText(kHeading, processStatusLine(processes_.size()));
}

void ProcessStartupPage::endCheckedProcesses() {
  ui::CheckListView& list = context_.list(kList);
  win32::Win32Processes processes;
  size_t handled = 0;
  for (size_t i = 0; i < processes_.size();) {
    if (!list.checked(static_cast<int>(i))) {
      ++i;
      continue;
    }
    endProcess(processes, processes_[i]);
    processes_.erase(processes_.begin() + static_cast<std::ptrdiff_t>(i));
    list.deleteRow(static_cast<int>(i));
    ++handled;
  }
  if (handled > 0) fillProcessList();
  ui::messageBox(context_.window, "선택한 프로세스를 종료하였습니다.", ui::applicationCaption(), MB_OK);
}

void ProcessStartupPage::showStartupPage() {
  if (!context_.showPage(app::Page::Startup)) return;
  ui::CheckListView& list = context_.list(kList);
  list.deleteAllRows();
  setColumnWidths(list.window(), {200, 400, 0});
  startup_.clear();
  for (RegistryValueRow& row : tools::startupRows(context_.store->registry())) {
    list.insertRow(0, {row.name, row.data, row.keyText}, false);
    startup_.insert(startup_.begin(), std::move(row));
  }
  context_.setText(kHeading, startupStatusLine(startup_.size()));
}

void ProcessStartupPage::deleteStartupItems() {
  ui::CheckListView& list = context_.list(kList);
  size_t handled = 0;
  for (size_t i = 0; i < startup_.size();) {
    if (!list.checked(static_cast<int>(i))) {
      ++i;
      continue;
    }
    deleteStartupRow(*context_.store, startup_[i]);
    startup_.erase(startup_.begin() + static_cast<std::ptrdiff_t>(i));
    list.deleteRow(static_cast<int>(i));
    ++handled;
  }
  context_.setText(kHeading, startupStatusLine(startup_.size()));
  ui::messageBox(context_.window, handled > 0 ? kDeleteDoneMessage : kSelectItemMessage,
                 ui::applicationCaption(), MB_OK);
}

}  // namespace tools
