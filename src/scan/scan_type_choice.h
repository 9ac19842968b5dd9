// The choice between the quick and the full scan, kept in two flags and in
// the options "QuickScan" and "FullScan", and the start mark "LastScanDate".
#pragma once

#include <atomic>
#include <optional>
#include <string>

#include "settings/registry_store.h"

namespace scan {

class ScanTypeChoice {
 public:
  std::atomic<int> quick{0};
  std::atomic<int> full{0};

  // The menu commands. Each returns the new text of the scan-type label, or
  // nullopt when the label stays as it is.
  std::optional<std::string> onChooseFullScan(settings::RegistryStore& store);
  std::optional<std::string> onChooseQuickScan(settings::RegistryStore& store);
};

struct LocalTime {
  int year, month, day, hour, minute, second;
};

// Writes "LastScanDate" for a scan starting at `now`.
bool recordScanStart(settings::RegistryStore& store, const LocalTime& now);

}  // namespace scan
