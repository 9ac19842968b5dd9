#include "update/information_texts.h"

#include "scan/scan_texts.h"
#include "settings/key_layout.h"

namespace update {

std::string userNameLabel(std::string_view userName) {
  return "사용자 이름 : " + std::string(userName);
}

std::string memoryText(uint64_t totalPhysicalBytes) {
  return std::to_string(totalPhysicalBytes >> 20) + " MB";
}

std::string memoryLabel(std::string_view sizeText) { return "메모리 크기 : " + std::string(sizeText); }

std::string systemFolderLabel(std::string_view folder) {
  return "시스템 경로 : " + std::string(folder);
}

std::string versionLabel(std::string_view versionText) {
  return "DB버전 : " + std::string(versionText);
}

std::string lastUpdateText(std::string_view info) {
  const size_t colon = info.find(':');
  return std::string(colon == std::string_view::npos ? info : info.substr(colon + 1));
}

std::string lastUpdateLabel(std::string_view lastUpdate) {
  return "마지막 DB 업데이트 일자 :" + std::string(lastUpdate);
}

std::string lastScanLabel(std::string_view lastScanDate) {
  if (lastScanDate == keys::kDefault) return kNeverScanned;
  return "마지막 검사일자 : " + std::string(lastScanDate);
}

std::string definitionCountLabel(std::string_view countText) {
  return "000 / " + std::string(countText);
}

std::string homePageLabel(std::string_view serverUrl) {
  return "홈페이지 : " + std::string(serverUrl);
}

ScanTypeStart startScanType(settings::RegistryStore& store) {
  const std::string quick =
      store.readString(keys::kRoot, keys::kMain, keys::value::kQuickScan, keys::kDefault);
  const std::string full =
      store.readString(keys::kRoot, keys::kMain, keys::value::kFullScan, keys::kDefault);
  ScanTypeStart start;
  if (quick == keys::kDefault && full == keys::kDefault) {
    start.full = 1;
    store.writeString(keys::kRoot, keys::kMain, keys::value::kFullScan, keys::kOn);
    start.label = scan::texts::kScanTypeFull;
  }
  if (quick == keys::kOn) {
    start.quick = 1;
    start.label = scan::texts::kScanTypeQuick;
  }
  if (full == keys::kOn) {
    start.full = 1;
    start.label = scan::texts::kScanTypeFull;
  }
  return start;
}

}  // namespace update
