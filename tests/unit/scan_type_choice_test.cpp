#include "scan/scan_type_choice.h"

#include <gtest/gtest.h>

#include "fakes/fake_registry.h"
#include "settings/key_layout.h"

namespace {

TEST(ScanTypeChoice, MenuCommandsSetFlagsLabelAndStoredOptions) {
  struct Case {
    const char* what;
    bool full;  // the command: full scan, else quick scan
    int quick, fullFlag;  // flags before
    int quickAfter, fullAfter;
    const char* label;  // nullptr: unchanged
    const char* storedQuick;
    const char* storedFull;
  };
  const Case cases[] = {
      {"full from quick", true, 1, 0, 0, 1, "검사종류 : 정밀검사", "0", "1"},
      {"full again", true, 0, 1, 0, 1, "검사종류 : 정밀검사", "0", "1"},
      {"full from neither", true, 0, 0, 0, 1, "검사종류 : 정밀검사", "0", "1"},
      {"full from both", true, 1, 1, 0, 0, nullptr, "1", "0"},
      {"quick from full", false, 0, 1, 1, 0, "검사종류 : 기본검사", "1", "0"},
      {"quick again", false, 1, 0, 1, 0, "Select scan options : quick scan", "1", "0"},
      {"quick from neither", false, 0, 0, 1, 0, "Select scan options : quick scan", "1", "0"},
      {"quick from both", false, 1, 1, 0, 0, nullptr, "0", "1"},
  };
  for (const Case& c : cases) {
    fakes::FakeRegistry registry;
    settings::RegistryStore store(registry);
    scan::ScanTypeChoice choice;
    choice.quick = c.quick;
    choice.full = c.fullFlag;
    const auto label = c.full ? choice.onChooseFullScan(store) : choice.onChooseQuickScan(store);
    EXPECT_EQ(choice.quick.load(), c.quickAfter) << c.what;
    EXPECT_EQ(choice.full.load(), c.fullAfter) << c.what;
    EXPECT_EQ(label.has_value(), c.label != nullptr) << c.what;
    if (label && c.label) {
      EXPECT_EQ(*label, c.label) << c.what;
    }
    using namespace keys;
    EXPECT_EQ(store.readString(kRoot, kMain, value::kQuickScan, kDefault), c.storedQuick) << c.what;
    EXPECT_EQ(store.readString(kRoot, kMain, value::kFullScan, kDefault), c.storedFull) << c.what;
  }
}

TEST(ScanTypeChoice, LastScanDate) {
  fakes::FakeRegistry registry;
  settings::RegistryStore store(registry);
  ASSERT_TRUE(scan::recordScanStart(store, {2008, 7, 10, 16, 10, 30}));
  EXPECT_EQ(store.readString(keys::kRoot, keys::kMain, keys::value::kLastScanDate, keys::kDefault),
            "2008.07.10, 16:10:30");
}

}  // namespace
