#include "tools/killbits.h"

#include "common/text.h"
#include "scan/ini_file.h"
#include "settings/key_layout.h"

namespace tools {

KillbitEntry parseKillbitValue(std::string_view value) {
  const std::vector<std::string> fields = text::split(value, '#');
  KillbitEntry entry;
  entry.name = fields[0];
  if (fields.size() > 1) entry.classId = fields[1];
  return entry;
}

std::vector<KillbitEntry> parseKillbitList(std::string_view iniText) {
  const scan::IniFile ini{std::string(iniText)};
  const int count = ini.count("TotalCount", "Count");
  std::vector<KillbitEntry> entries;
  for (int i = 1; i <= count; ++i) {
    const std::string section = "Torvane" + std::to_string(i);
    entries.push_back(parseKillbitValue(text::cp949ToUtf8(ini.value(section, "CLSID"))));
  }
  return entries;
}

KillbitState stateOfFlags(uint32_t flags) {
  if (flags == kKillBit) return KillbitState::Blocked;
  if (flags == 0) return KillbitState::Released;
  return KillbitState::Neither;
}

const char* statusText(KillbitState state) {
  switch (state) {
    case KillbitState::Blocked: return "차단";
    case KillbitState::Released: return "해제";
    case KillbitState::Neither: return "";
  }
  return "";
}

KillbitState KillBits::read(const std::string& classId) {
  if (classId.empty() || views_.empty()) return KillbitState::Neither;
  const std::string key = kActiveXCompatibility + classId;
  bool allBlocked = true, allReleased = true;
  for (settings::RegistryStore* view : views_) {
    const KillbitState state = stateOfFlags(view->readDword(keys::kRoot, key, kCompatibilityFlags, 0));
    allBlocked = allBlocked && state == KillbitState::Blocked;
    allReleased = allReleased && state == KillbitState::Released;
  }
  if (allBlocked) return KillbitState::Blocked;
  return allReleased ? KillbitState::Released : KillbitState::Neither;
}

void KillBits::write(const std::string& classId, bool blocked) {
  if (classId.empty()) return;
  const std::string key = kActiveXCompatibility + classId;
  for (settings::RegistryStore* view : views_)
    view->writeDword(keys::kRoot, key, kCompatibilityFlags, blocked ? kKillBit : 0);
}

std::string killbitStatusLine(size_t total, size_t blocked) {
  return "현재 " + std::to_string(total) + "개 중 " + std::to_string(blocked) + "개가 차단 상태입니다.";
}

}  // namespace tools
