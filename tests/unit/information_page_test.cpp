// The information page's texts from the values it reads, the scan type at
// start, and the Windows version probe as a table.
#include <gtest/gtest.h>

#include "fakes/fake_registry.h"
#include "settings/key_layout.h"
#include "update/information_texts.h"
#include "update/windows_version.h"

namespace {

using update::VersionFacts;

VersionFacts nt(uint32_t major, uint32_t minor, uint32_t build = 0, uint8_t productType = 1,
                std::string registryType = "default") {
  VersionFacts f;
  f.extendedQueryOk = f.basicQueryOk = true;
  f.platformId = 2;
  f.major = major;
  f.minor = minor;
  f.build = build;
  f.productType = productType;
  f.registryProductType = std::move(registryType);
  return f;
}

VersionFacts win9x(uint32_t minor) {
  VersionFacts f = nt(4, minor);
  f.platformId = 1;
  return f;
}

TEST(WindowsVersion, EveryCodeAndText) {
  VersionFacts none;
  VersionFacts basicOnly = nt(6, 1);
  basicOnly.extendedQueryOk = false;
  VersionFacts win32s = nt(3, 1);
  win32s.platformId = 0;
  struct Case {
    const char* what;
    VersionFacts facts;
    int code;
    std::string text;
  };
  const std::string p = "윈도우 버전 : ";
  const Case cases[] = {
      {"no query", none, -1, "-1"},
      {"95", win9x(0), 1, p + "Windows 95"},
      {"98", win9x(10), 2, p + "Windows 98"},
      {"ME", win9x(90), 3, p + "Windows ME"},
      {"9x other", win9x(5), 0, "알수없는 운영체제"},
      {"win32s", win32s, 0, "알수없는 운영체제"},
      {"NT 4", nt(4, 0), 4, p + "Windows NT"},
      {"2000", nt(5, 0), 5, p + "Windows 2000"},
      {"XP", nt(5, 1, 2600, 1, "WinNT"), 6, p + "Windows XP"},
      {"2003", nt(5, 2, 3790, 3, "ServerNT"), 6, p + "Windows Server 2003"},
      {"5.2 LanmanNT", nt(5, 2, 3790, 2, "LanmanNT"), 6, "알수없는 운영체제"},
      {"later NT without the extended query", basicOnly, 0, "알수없는 운영체제"},
      {"Vista", nt(6, 0, 6002), 6, p + "Windows Vista"},
      {"Server 2008", nt(6, 0, 6002, 3), 6, p + "Windows Server 2008"},
      {"7", nt(6, 1, 7601), 6, p + "Windows 7"},
      {"2008 R2", nt(6, 1, 7601, 2), 6, p + "Windows Server 2008 R2"},
      {"8", nt(6, 2, 9200), 6, p + "Windows 8"},
      {"8.1", nt(6, 3, 9600), 6, p + "Windows 8.1"},
      {"2012 R2", nt(6, 3, 9600, 3), 6, p + "Windows Server 2012 R2"},
      {"10", nt(10, 0, 19045), 6, p + "Windows 10"},
      {"11", nt(10, 0, 22631), 6, p + "Windows 11"},
      {"Server 2016", nt(10, 0, 14393, 3), 6, p + "Windows Server 2016"},
      {"Server 2019", nt(10, 0, 17763, 3), 6, p + "Windows Server 2019"},
      {"Server 2022", nt(10, 0, 20348, 3), 6, p + "Windows Server 2022"},
      {"Server 2025", nt(10, 0, 26100, 3), 6, p + "Windows Server 2025"},
      {"6.4 unknown", nt(6, 4), 6, "알수없는 운영체제"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(update::probeWindowsVersion(c.facts), c.code) << c.what;
    EXPECT_EQ(update::windowsVersionText(c.facts), c.text) << c.what;
  }
}

TEST(InformationTexts, LabelsFromTheValuesRead) {
  EXPECT_EQ(update::memoryLabel(update::memoryText(2ull << 30)), "메모리 크기 : 2048 MB");
  EXPECT_EQ(update::memoryText((1ull << 20) - 1), "0 MB");
  EXPECT_EQ(update::lastUpdateText("업데이트:2026-12-10"), "2026-12-10");
  EXPECT_EQ(update::lastUpdateText("a:b:c"), "b:c");
  EXPECT_EQ(update::lastUpdateText("no colon"), "no colon");
  EXPECT_EQ(update::lastUpdateLabel("x"), "마지막 DB 업데이트 일자 :x");
  EXPECT_EQ(update::lastScanLabel("default"), "검사가 한번도 실행되지 않았습니다.");
  EXPECT_EQ(update::lastScanLabel("2008.07.10, 16:10:30"), "마지막 검사일자 : 2008.07.10, 16:10:30");
  EXPECT_EQ(update::definitionCountLabel("12"), "000 / 12");
  EXPECT_EQ(update::definitionCountLabel(""), "000 / ");
  EXPECT_EQ(update::versionLabel(""), "DB버전 : ");
}

TEST(InformationTexts, ScanTypeAtStart) {
  struct Case {
    const char* quick;  // nullptr: never written
    const char* full;
    int quickFlag, fullFlag;
    const char* label;  // nullptr: unchanged
    std::string fullAfter;
  };
  const Case cases[] = {
      {nullptr, nullptr, 0, 1, "검사종류 : 정밀검사", "1"},
      {"1", "0", 1, 0, "검사종류 : 기본검사", "0"},
      {"0", "1", 0, 1, "검사종류 : 정밀검사", "1"},
      {"1", "1", 1, 1, "검사종류 : 정밀검사", "1"},
      {"0", "0", 0, 0, nullptr, "0"},
      {"1", nullptr, 1, 0, "검사종류 : 기본검사", "default"},
  };
  for (const Case& c : cases) {
    fakes::FakeRegistry registry;
    settings::RegistryStore store(registry);
    if (c.quick) store.writeString(keys::kRoot, keys::kMain, keys::value::kQuickScan, c.quick);
    if (c.full) store.writeString(keys::kRoot, keys::kMain, keys::value::kFullScan, c.full);
    const update::ScanTypeStart start = update::startScanType(store);
    SCOPED_TRACE(std::string(c.quick ? c.quick : "-") + "/" + (c.full ? c.full : "-"));
    EXPECT_EQ(start.quick, c.quickFlag);
    EXPECT_EQ(start.full, c.fullFlag);
    EXPECT_EQ(start.label.has_value(), c.label != nullptr);
    if (c.label && start.label) EXPECT_EQ(*start.label, c.label);
    EXPECT_EQ(store.readString(keys::kRoot, keys::kMain, keys::value::kFullScan, keys::kDefault), c.fullAfter);
  }
}

}  // namespace
