// The scan page of the main window: Scan, Stop, Remedy and the scan-type
// menu. The scan and the remedy run their engines on workers of their own;
// what they report reaches the page's controls on the window's thread.
#pragma once

#include <optional>
#include <vector>

#include "app/win32/window_page.h"
#include "scan/result_row.h"

namespace scan {

class ScanPage final : public app::WindowPage {
 public:
  explicit ScanPage(app::WindowContext& context) : context_(context) {}
  ~ScanPage() override;

  void onCommand(int id) override;
  std::optional<bool> commandChecked(int id) const override;

  // The entry texts of the page, and the automatic scan of "AutoMenu".
  void onEnter();

  void onScan();
  void onStop();
  void onRemedy();
  void onScanOptionMenu();

  bool scanRunning() const { return scanWorker_.running(); }
  bool remedyRunning() const { return remedyWorker_.running(); }
  // Bounded wait for both workers when the window closes.
  bool waitForWorkers(uint32_t ms) const;

  // The rows of list 1025 as the page keeps them, newest first.
  const std::vector<ResultRow>& rows() const { return rows_; }

  // The list changes, on the window's thread.
  void clearRows();
  void insertRow(const ResultRow& row);
  void removeRow(size_t index);
  void uncheckRow(size_t index);

 private:
  class ScanReports;
  class RemedyReports;

  void runScan(bool scanPathChecked);
  bool startRemedy(bool afterScan);

  app::WindowContext& context_;
  std::vector<ResultRow> rows_;
  ui::Worker scanWorker_;
  ui::Worker remedyWorker_;
};

}  // namespace scan
