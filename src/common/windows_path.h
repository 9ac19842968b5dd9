// Rules about Windows path texts that do not need the platform: joining a
// folder and a name, the extended-length form, comparing paths.
#pragma once

#include <string>
#include <string_view>

namespace winpath {

// folder + "\" + name, without doubling the backslash of a folder such as "C:\".
std::string join(std::string_view folder, std::string_view name);

// The "\\?\" form of an absolute drive or UNC path, so that the platform takes
// every name as it is (trailing dots and spaces kept, no 260-character limit).
// Paths it cannot safely rewrite (relative, with "/" or "." or ".." parts, or
// already in a device form) come back unchanged.
std::string extendedLength(std::string_view path);

// Paths compare equal regardless of letter case (ASCII letters; Korean has none).
bool equalIgnoringCase(std::string_view a, std::string_view b);

// True when `path` contains `part` exactly (letter case counts).
inline bool contains(std::string_view path, std::string_view part) {
  return path.find(part) != std::string_view::npos;
}

}  // namespace winpath
