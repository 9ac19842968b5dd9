// What the information page shows, from the values it reads: the machine's
// facts, the database's version and dates, the last scan and the scan type.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "settings/registry_store.h"

namespace update {

inline constexpr const char* kNeverScanned = "검사가 한번도 실행되지 않았습니다.";

std::string userNameLabel(std::string_view userName);        // 1000
std::string memoryText(uint64_t totalPhysicalBytes);         // "2048 MB"
std::string memoryLabel(std::string_view sizeText);          // 1001
std::string systemFolderLabel(std::string_view folder);      // 1003, folder without the backslash
std::string versionLabel(std::string_view versionText);      // 1004
// The last-update text: the "Info" value after its first ":" (the whole
// value when it has none).
std::string lastUpdateText(std::string_view info);
std::string lastUpdateLabel(std::string_view lastUpdate);    // 1005
// 1006 from "LastScanDate" as read ("default" when it was never written).
std::string lastScanLabel(std::string_view lastScanDate);
// 1019 on the scan page: "000 / " + the definition count.
std::string definitionCountLabel(std::string_view countText);

// The credits of labels 1007 to 1009. The home page's address part, which
// the link rectangle covers, follows "홈페이지 : ".
inline constexpr const char* kDeveloperLabel = "개발 : Torvane 개발팀";
inline constexpr const char* kContactLabel = "문의 : support@torvane.example";
std::string homePageLabel(std::string_view serverUrl);

// The scan type at start: the flags and label 1017 from the stored
// "QuickScan" and "FullScan", writing "FullScan" = "1" on the first start.
struct ScanTypeStart {
  int quick = 0;
  int full = 0;
  std::optional<std::string> label;  // nullopt: label 1017 keeps its text
};
ScanTypeStart startScanType(settings::RegistryStore& store);

}  // namespace update
