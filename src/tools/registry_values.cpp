#include "tools/registry_values.h"

#include "settings/registry_store.h"

namespace tools {
namespace {
// The largest data a value's text is read from (the registry's value limit
// for texts is far beyond what a command line or an MRU entry holds).
constexpr size_t kValueDataBytes = 64 * 1024;
}  // namespace

const char* rootName(platform::RootKey root) {
  switch (root) {
    case platform::RootKey::LocalMachine: return "HKEY_LOCAL_MACHINE";
    case platform::RootKey::CurrentUser: return "HKEY_CURRENT_USER";
    case platform::RootKey::ClassesRoot: return "HKEY_CLASSES_ROOT";
    case platform::RootKey::Users: return "HKEY_USERS";
  }
  return "";
}

std::vector<RegistryValueRow> listRegistryValues(platform::Registry& registry,
                                                 platform::RootKey root, std::string_view keyPath) {
  std::vector<RegistryValueRow> rows;
  platform::ScopedKey key(registry);
  if (key.open(root, keyPath, platform::RegistryAccess::Read) != platform::kErrorSuccess) return rows;
  const std::string keyText = std::string(rootName(root)) + "\\" + std::string(keyPath);
  std::string name;
  for (uint32_t index = 0; registry.enumValue(key.get(), index, &name) == platform::kErrorSuccess;
       ++index) {
    uint32_t type = platform::kRegNone;
    std::string data;
    if (registry.queryValue(key.get(), name, kValueDataBytes, &type, &data) != platform::kErrorSuccess)
      data.clear();
    rows.push_back({keyText, name, settings::registryText(type, data)});
  }
  return rows;
}

bool splitKeyText(std::string_view keyText, std::string* root, std::string* keyPath) {
  const size_t slash = keyText.find('\\');
  if (slash == std::string_view::npos) return false;
  *root = std::string(keyText.substr(0, slash));
  *keyPath = std::string(keyText.substr(slash + 1));
  return true;
}

}  // namespace tools
