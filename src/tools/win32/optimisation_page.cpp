#include "tools/win32/optimisation_page.h"

#include "app/command_table.h"
#include "common/progress_throttle.h"
#include "platform/win32/win32_file_system.h"
#include "ui/shell.h"

namespace tools {
namespace {

namespace cmd = app::command;

constexpr int kResultList = 1032;
constexpr int kHeading = 1033;
constexpr int kItemCaption = 1034;
constexpr uint32_t kLabelIntervalMs = 50;

std::vector<std::string> columnsOf(const JunkRow& row) {
  return {row.location, row.name, row.other, row.kind};
}

}  // namespace

// The search's reports, made on its worker; what they post names the page.
class OptimisationPage::SearchReports final : public JunkObserver {
 public:
  explicit SearchReports(OptimisationPage& page)
      : page_(page), throttle_(kLabelIntervalMs, [this](int id, const std::string& text) {
          app::WindowContext& context = page_.context_;
          context.queue->post([&context, id, text] { context.setText(id, text); });
        }) {}

  void insertRow(const JunkRow& row) override {
    throttle_.flush();
    page_.context_.queue->post([page = &page_, row] { page->insertRow(row); });
  }
  void setLabel(JunkLabel label, const std::string& text) override {
    throttle_.update(static_cast<int>(label), text);
  }
  void finish() { throttle_.flush(); }

 private:
  OptimisationPage& page_;
  ProgressThrottle throttle_;
};

class OptimisationPage::DeleteReports final : public JunkDeleteObserver {
 public:
  explicit DeleteReports(OptimisationPage& page) : page_(page) {}
  void removeRow(size_t index) override {
    page_.context_.queue->post([page = &page_, index] { page->removeRow(index); });
  }

 private:
  OptimisationPage& page_;
};

OptimisationPage::~OptimisationPage() = default;

void OptimisationPage::onCommand(int id) {
  switch (id) {
    case cmd::kToolsTweak: showTweakPage(); break;
    case cmd::kSearch: startOptimisationSearch(); break;
    case cmd::kDelete: deleteOptimisationItems(); break;
    default: break;
  }
}

void OptimisationPage::showTweakPage() {
  if (!context_.showPage(app::Page::Optimisation)) return;
  // "검색위치 : 대기상태" as the heading and its value label read together:
  // the value label, where the search shows its path, sits inside the heading.
  context_.setText(kHeading, "검색위치 : ");
  context_.setText(static_cast<int>(JunkLabel::CurrentPath), "대기상태");
  context_.setText(kItemCaption, "검사항목 : ");
  if (!searchWorker_.running()) context_.setText(static_cast<int>(JunkLabel::CurrentName), "대기상태");
}

void OptimisationPage::startOptimisationSearch() {
  if (searchWorker_.running() || deleteWorker_.running()) return;
  FilterFile(context_.programFolder).load(filter_);
  context_.setText(static_cast<int>(JunkLabel::Count), countLabel(0));
  context_.flags.stopRequest = 0;
  rows_.clear();
  context_.list(kResultList).deleteAllRows();
  for (const JunkRow& row : usageTraceRows(context_.store->registry())) {
    insertRow(row);
    context_.setText(static_cast<int>(JunkLabel::Count), countLabel(rows_.size()));
  }
  JunkSearchSetup setup;
  setup.systemFolder = context_.systemFolder;
  setup.switches = readJunkSwitches(*context_.store);
  setup.filter = &filter_;
  setup.rowsBefore = rows_.size();
  // Busy from here on, so no page change slips in before the worker runs.
  context_.flags.busy = 1;
  if (!searchWorker_.start([this, setup] { runSearch(setup); })) {
    context_.flags.busy = 0;
    context_.closeProgram();
  }
}

void OptimisationPage::runSearch(JunkSearchSetup setup) {
  win32::Win32FileSystem files;
  JunkSearch search(files, context_.flags);
  SearchReports reports(*this);
  const size_t rows = search.run(setup, reports);
  reports.finish();
  context_.queue->flush();
  ui::messageBox(context_.window, searchDoneMessage(rows), ui::applicationCaption(),
                 MB_OK | (rows > 0 ? MB_ICONEXCLAMATION : MB_ICONINFORMATION));
}

void OptimisationPage::deleteOptimisationItems() {
  // The search still fills the list: deleting now would change it from two threads.
  if (searchWorker_.running() || deleteWorker_.running() || rows_.empty()) return;
  std::vector<JunkRow> rows = rows_;
  ui::CheckListView& list = context_.list(kResultList);
  for (size_t i = 0; i < rows.size(); ++i) rows[i].checked = list.checked(static_cast<int>(i));
  if (!deleteWorker_.start([this, rows = std::move(rows)]() mutable { runDelete(std::move(rows)); }))
    context_.closeProgram();
}

void OptimisationPage::runDelete(std::vector<JunkRow> rows) {
  win32::Win32FileSystem files;
  DeleteReports reports(*this);
  std::vector<std::string> failed;
  deleteCheckedRows(rows, {files, *context_.store}, reports, &failed);
  FilterFile(context_.programFolder).append(failed, filter_);
  app::WindowContext& context = context_;
  context.queue->post([&context, remaining = rows.size()] {
    context.setText(static_cast<int>(JunkLabel::Count), countLabel(remaining));
  });
  context_.queue->flush();
  ui::messageBox(context_.window, kDeleteDoneMessage, ui::applicationCaption(), MB_OK);
}

bool OptimisationPage::waitForWorkers(uint32_t ms) const {
  return searchWorker_.wait(ms) && deleteWorker_.wait(ms);
}

void OptimisationPage::insertRow(const JunkRow& row) {
  rows_.insert(rows_.begin(), row);
  context_.list(kResultList).insertRow(0, columnsOf(row), true);
}

void OptimisationPage::removeRow(size_t index) {
  if (index >= rows_.size()) return;
  rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(index));
  context_.list(kResultList).deleteRow(static_cast<int>(index));
}

}  // namespace tools
