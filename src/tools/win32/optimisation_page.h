// The Windows optimisation page: the junk search on a worker, the usage-trace
// rows, and the delete of the checked rows on a worker of its own. Delete is
// refused while the search runs, and the search while a delete runs, so only
// one thread ever changes the result list.
#pragma once

#include <vector>

#include "app/win32/window_page.h"
#include "tools/filter_list.h"
#include "tools/junk_search.h"
#include "ui/worker.h"

namespace tools {

class OptimisationPage final : public app::WindowPage {
 public:
  explicit OptimisationPage(app::WindowContext& context) : context_(context) {}
  ~OptimisationPage() override;

  void onCommand(int id) override;

  void showTweakPage();
  void startOptimisationSearch();
  void deleteOptimisationItems();

  bool searchRunning() const { return searchWorker_.running(); }
  bool deleteRunning() const { return deleteWorker_.running(); }
  bool waitForWorkers(uint32_t ms) const;
  const std::vector<JunkRow>& rows() const { return rows_; }

  // The list changes, on the window's thread.
  void insertRow(const JunkRow& row);
  void removeRow(size_t index);

 private:
  class SearchReports;
  class DeleteReports;

  void runSearch(JunkSearchSetup setup);
  void runDelete(std::vector<JunkRow> rows);

  app::WindowContext& context_;
  std::vector<JunkRow> rows_;  // as list 1032 shows them, newest first
  FilterList filter_;          // only the one running worker touches it
  ui::Worker searchWorker_;
  ui::Worker deleteWorker_;
};

}  // namespace tools
