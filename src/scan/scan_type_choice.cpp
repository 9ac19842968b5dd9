#include "scan/scan_type_choice.h"

#include "scan/scan_texts.h"
#include "settings/key_layout.h"

namespace scan {
namespace {

void store(settings::RegistryStore& registry, const char* quick, const char* full,
           bool quickFirst) {
  using namespace keys;
  if (quickFirst) {
    registry.writeString(kRoot, kMain, value::kQuickScan, quick);
    registry.writeString(kRoot, kMain, value::kFullScan, full);
  } else {
    registry.writeString(kRoot, kMain, value::kFullScan, full);
    registry.writeString(kRoot, kMain, value::kQuickScan, quick);
  }
}

}  // namespace

std::optional<std::string> ScanTypeChoice::onChooseFullScan(settings::RegistryStore& registry) {
  if (full == 1 && quick == 1) {
    full = 0;
    quick = 0;
    store(registry, keys::kOn, keys::kOff, /*quickFirst=*/false);
    return std::nullopt;
  }
  if (full == 0 && quick == 1) quick = 0;
  full = 1;
  store(registry, keys::kOff, keys::kOn, /*quickFirst=*/false);
  return std::string(texts::kScanTypeFull);
}

std::optional<std::string> ScanTypeChoice::onChooseQuickScan(settings::RegistryStore& registry) {
  if (quick == 1 && full == 1) {
    quick = 0;
    full = 0;
    store(registry, keys::kOff, keys::kOn, /*quickFirst=*/true);
    return std::nullopt;
  }
  if (quick == 0 && full == 1) {
    quick = 1;
    full = 0;
    store(registry, keys::kOn, keys::kOff, /*quickFirst=*/true);
    return std::string(texts::kScanTypeQuick);
  }
  quick = 1;
  store(registry, keys::kOn, keys::kOff, /*quickFirst=*/true);
  return std::string(texts::kScanTypeQuickAgain);
}

bool recordScanStart(settings::RegistryStore& registry, const LocalTime& t) {
  return registry.writeString(keys::kRoot, keys::kMain, keys::value::kLastScanDate,
                              texts::scanDate(t.year, t.month, t.day, t.hour, t.minute, t.second));
}

}  // namespace scan
