// The browser add-ons of the BHO page: the classes the browser has seen for
// this user and the toolbar extensions, read from both registry views, less
// those switched off; switching one off and switching all on again.
#pragma once

#include <string>
#include <vector>

#include "platform/registry.h"
#include "settings/registry_store.h"

namespace tools {

inline constexpr const char* kExtStats = "Software\\Microsoft\\Windows\\CurrentVersion\\Ext\\Stats";
inline constexpr const char* kExtSettings = "Software\\Microsoft\\Windows\\CurrentVersion\\Ext\\Settings";
inline constexpr const char* kIeExtensions = "SOFTWARE\\Microsoft\\Internet Explorer\\Extensions";

struct AddonRow {
  std::string name;
  std::string classId;
};

// `views`: the registry views to read classes and extensions from, the
// native one first. The per-user Ext keys are read through the first.
// Rows in the order they are found: the classes, then the extensions (each
// extension once, from the first view that has it).
std::vector<AddonRow> collectAddons(const std::vector<platform::Registry*>& views);

// Writes the browser's own per-user setting that switches the add-on off.
void switchOffAddon(settings::RegistryStore& store, const std::string& classId);
// Removes every per-user add-on setting: all add-ons are on again.
void recoverAddons(settings::RegistryStore& store);

std::string addonStatusLine(size_t count);  // "현재 설치된 IE 플러그인 : n"

inline constexpr const char* kRecoverQuestion = "IE 플러그인을 복구 하시겠습니까?";
inline constexpr const char* kRecoverDone = "IE 플러그인 복구가 완료되었습니다.";

}  // namespace tools
