// The ActiveX block list of "torvane_killbit.ini" and the kill bits of its
// classes. A kill bit is written to every registry view the caller gives
// (the 64-bit and the 32-bit one, so both browsers honour it) and reads as
// set only when every view says so.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "settings/registry_store.h"

namespace tools {

inline constexpr const char* kKillbitFileName = "torvane_killbit.ini";
inline constexpr const char* kActiveXCompatibility =
    "SOFTWARE\\Microsoft\\Internet Explorer\\ActiveX Compatibility\\";
inline constexpr const char* kCompatibilityFlags = "Compatibility Flags";
inline constexpr uint32_t kKillBit = 1024;

struct KillbitEntry {
  std::string name;
  std::string classId;  // empty when the entry's value has no "#"
};

// The entries of the list's text, entry 1 first. A missing section gives an
// entry with empty texts.
std::vector<KillbitEntry> parseKillbitList(std::string_view iniText);
KillbitEntry parseKillbitValue(std::string_view value);

enum class KillbitState { Blocked, Released, Neither };
// 1024 blocked, 0 released (as a missing value reads), anything else neither.
KillbitState stateOfFlags(uint32_t flags);
const char* statusText(KillbitState state);  // "차단", "해제", ""

class KillBits {
 public:
  explicit KillBits(std::vector<settings::RegistryStore*> views) : views_(std::move(views)) {}

  // Blocked when every view is blocked, released when every view is released.
  // An entry without a class names no key: neither, and nothing is written.
  KillbitState read(const std::string& classId);
  void write(const std::string& classId, bool blocked);

 private:
  std::vector<settings::RegistryStore*> views_;
};

// "현재 N개 중 M개가 차단 상태입니다."
std::string killbitStatusLine(size_t total, size_t blocked);

}  // namespace tools
