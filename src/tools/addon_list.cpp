#include "tools/addon_list.h"

#include <algorithm>

namespace tools {
namespace {

using platform::RegistryAccess;
using platform::RootKey;

std::vector<std::string> subkeyNames(platform::Registry& registry, RootKey root, const std::string& path) {
  std::vector<std::string> names;
  platform::ScopedKey key(registry);
  if (key.open(root, path, RegistryAccess::Read) != platform::kErrorSuccess) return names;
  std::string name;
  for (uint32_t i = 0; registry.enumSubkey(key.get(), i, &name) == platform::kErrorSuccess; ++i)
    names.push_back(name);
  return names;
}

bool keyOpens(platform::Registry& registry, RootKey root, const std::string& path) {
  platform::ScopedKey key(registry);
  return key.open(root, path, RegistryAccess::Read) == platform::kErrorSuccess;
}

bool switchedOff(platform::Registry& registry, const std::string& classId) {
  return keyOpens(registry, RootKey::CurrentUser, std::string(kExtSettings) + "\\" + classId);
}

// The text of a value read in a 256-character buffer; empty when unreadable.
std::string readText(platform::Registry& registry, RootKey root, const std::string& path,
                     const char* name) {
  settings::RegistryStore store(registry);
  std::string text;
  if (!store.readString(root, path, name, "", &text, 256)) return {};
  return text;
}

void addClassAddons(const std::vector<platform::Registry*>& views, std::vector<AddonRow>* rows) {
  platform::Registry& user = *views.front();
  for (const std::string& id : subkeyNames(user, RootKey::CurrentUser, kExtStats)) {
    if (!keyOpens(user, RootKey::CurrentUser, std::string(kExtStats) + "\\" + id)) continue;
    if (switchedOff(user, id)) continue;
    for (platform::Registry* view : views) {
      if (!keyOpens(*view, RootKey::ClassesRoot, "CLSID\\" + id + "\\ProgID")) continue;
      const std::string name = readText(*view, RootKey::ClassesRoot, "CLSID\\" + id, "");
      if (!name.empty()) rows->push_back({name, id});
      break;
    }
  }
}

void addExtensionAddons(const std::vector<platform::Registry*>& views, std::vector<AddonRow>* rows) {
  std::vector<std::string> seen;
  for (platform::Registry* view : views) {
    for (const std::string& id : subkeyNames(*view, RootKey::LocalMachine, kIeExtensions)) {
      if (std::find(seen.begin(), seen.end(), id) != seen.end()) continue;
      const std::string key = std::string(kIeExtensions) + "\\" + id;
      if (!keyOpens(*view, RootKey::LocalMachine, key)) continue;
      seen.push_back(id);
      if (switchedOff(*views.front(), id)) continue;
      const std::string text = readText(*view, RootKey::LocalMachine, key, "ButtonText");
      if (!text.empty()) rows->push_back({text, id});
    }
  }
}

}  // namespace

std::vector<AddonRow> collectAddons(const std::vector<platform::Registry*>& views) {
  std::vector<AddonRow> rows;
  if (views.empty()) return rows;
  addClassAddons(views, &rows);
  addExtensionAddons(views, &rows);
  return rows;
}

void switchOffAddon(settings::RegistryStore& store, const std::string& classId) {
  if (classId.empty()) return;  // would name the settings key itself
  const std::string key = std::string(kExtSettings) + "\\" + classId;
  store.createKey(RootKey::CurrentUser, key);
  store.writeDword(RootKey::CurrentUser, key, "Flags", 1);
  store.writeString(RootKey::CurrentUser, key, "Version", "*");
}

void recoverAddons(settings::RegistryStore& store) { store.deleteSubkeys(RootKey::CurrentUser, kExtSettings); }

std::string addonStatusLine(size_t count) { return "현재 설치된 IE 플러그인 : " + std::to_string(count); }

}  // namespace tools
