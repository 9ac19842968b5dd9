// The values of one registry key as rows of text: the usage-trace rows of
// the optimisation page and the rows of the start-up page.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"

namespace tools {

struct RegistryValueRow {
  std::string keyText;  // root name + "\" + key path
  std::string name;
  std::string data;     // the value's data as text
};

// "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE" and the other roots by name.
const char* rootName(platform::RootKey root);

// Every value of the key in enumeration order; nothing when it cannot be opened.
std::vector<RegistryValueRow> listRegistryValues(platform::Registry& registry,
                                                 platform::RootKey root, std::string_view keyPath);

// keyText split at its first "\"; false for a text without one.
bool splitKeyText(std::string_view keyText, std::string* root, std::string* keyPath);

}  // namespace tools
