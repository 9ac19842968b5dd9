// The start-up page's rows: the values of the Run keys of HKEY_LOCAL_MACHINE
// (both registry views) and HKEY_CURRENT_USER; each row is deleted from the
// key it was read from.
#pragma once

#include <string>
#include <vector>

#include "platform/registry.h"
#include "settings/registry_store.h"
#include "tools/registry_values.h"

namespace tools {

struct StartupKey {
  platform::RootKey root;
  const char* path;
};
// In the order they are read.
const std::vector<StartupKey>& startupKeys();

// Every value of the start-up keys, in the order read (key by key).
std::vector<RegistryValueRow> startupRows(platform::Registry& registry);

// Deletes the row's value from the key its text names, when that is a key
// of HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER. True when it is gone.
bool deleteStartupRow(settings::RegistryStore& store, const RegistryValueRow& row);

std::string startupStatusLine(size_t count);  // "현재 등록된 시작 프로그램 : n"

inline constexpr const char* kSelectItemMessage = "항목을 선택해주세요.";

}  // namespace tools
