// The process and start-up pages, which share list 1051: the running
// processes, ended by the process id each row keeps; the values of the Run
// keys, each deleted from the key it was read from.
#pragma once

#include <vector>

#include "app/win32/window_page.h"
#include "tools/process_list.h"
#include "tools/startup_list.h"

namespace tools {

class ProcessStartupPage final : public app::WindowPage {
 public:
  explicit ProcessStartupPage(app::WindowContext& context) : context_(context) {}

  void onCommand(int id) override;

  void showProcessPage();
  void fillProcessList();
  void endCheckedProcesses();
  void showStartupPage();
  void deleteStartupItems();

  const std::vector<ProcessRow>& processRows() const { return processes_; }
  const std::vector<RegistryValueRow>& startupRows() const { return startup_; }

 private:
  app::WindowContext& context_;
  std::vector<ProcessRow> processes_;      // as list 1051 shows them on the process page
  std::vector<RegistryValueRow> startup_;  // as it shows them on the start-up page
};

}  // namespace tools
