#include "tools/startup_list.h"

namespace tools {

const std::vector<StartupKey>& startupKeys() {
  static const std::vector<StartupKey> keys = {
      {platform::RootKey::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run"},
      {platform::RootKey::CurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Run"},
      // What 32-bit programs register on 64-bit Windows.
      {platform::RootKey::LocalMachine, "SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Run"},
  };
  return keys;
}

std::vector<RegistryValueRow> startupRows(platform::Registry& registry) {
  std::vector<RegistryValueRow> rows;
  for (const StartupKey& key : startupKeys())
    for (RegistryValueRow& row : listRegistryValues(registry, key.root, key.path))
      rows.push_back(std::move(row));
  return rows;
}

bool deleteStartupRow(settings::RegistryStore& store, const RegistryValueRow& row) {
  std::string root, keyPath;
  if (!splitKeyText(row.keyText, &root, &keyPath)) return false;
  const auto key = settings::parseRootName(root);
  if (!key || (*key != platform::RootKey::LocalMachine && *key != platform::RootKey::CurrentUser))
    return false;
  store.deleteValue(*key, keyPath, row.name);
  return !store.valueExists(*key, keyPath, row.name);
}

std::string startupStatusLine(size_t count) {
  return "현재 등록된 시작 프로그램 : " + std::to_string(count);
}

}  // namespace tools
