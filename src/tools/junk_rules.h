// What the optimisation search counts as junk: the eleven extensions with the
// names never listed for them, the folders whose every file is junk, and the
// browser's cache folders. Platform-free rules on path texts.
#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tools {

struct JunkExtension {
  const char* extension;    // in capitals, as the switch value is named
  const char* description;  // as the file-type dialog shows it
  std::vector<const char*> exceptions;  // file names never listed (exact case)
};

inline constexpr size_t kJunkExtensionCount = 11;

// In the order the file-type dialog lists them.
std::span<const JunkExtension> junkExtensions();
// Index into junkExtensions(), or -1.
int junkExtensionIndex(std::string_view upperExtension);

// The text of the path after its last "." in capitals; the whole path in
// capitals when it has no ".".
std::string extensionOf(std::string_view path);
// The name of the folder that holds the file at `path`.
std::string_view containingFolderName(std::string_view path);

// "Cookies", "Temp", "Temporary Internet Files", "Recent" (exact case).
bool isSpecialFolderName(std::string_view name);
// A folder inside the browser's temporary internet files that is a cache
// folder: neither "Temporary Internet Files" itself nor "Content.IE5".
bool isCacheFolder(std::string_view path, std::string_view name);

// Whether each extension is searched, by junkExtensions() index: its switch
// reads "1" or is unset ("default").
using JunkSwitches = std::array<bool, kJunkExtensionCount>;
bool switchSearched(std::string_view switchText);

// Whether the file at `path` named `name` is listed as junk.
bool isJunkFile(std::string_view path, std::string_view name, const JunkSwitches& switches);

}  // namespace tools
