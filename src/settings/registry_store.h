// The eight registry operations every part of the system uses, with the
// conventions of its values: REG_SZ texts, reads into a 260-character buffer
// falling back to a default text, window handles as signed decimal text.
//
// No key stays open between calls: each operation opens what it needs and
// closes it before returning, on every path. Failures are reported by the
// result only; reads hand back the default.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/registry.h"

namespace settings {

// Characters a value may hold including its terminating NUL (MAX_PATH).
inline constexpr size_t kValueBufferChars = 260;

// "HKEY_LOCAL_MACHINE", "HKEY_CURRENT_USER", "HKEY_CLASSES_ROOT" (exact case);
// anything else has no root.
std::optional<platform::RootKey> parseRootName(std::string_view name);

// The text a value's data reads as: strings up to their first NUL; data of
// other types taken as ANSI (CP949) bytes up to the first zero, as an untyped
// read of them would show.
std::string registryText(uint32_t type, const std::string& data);
// REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ.
bool isStringType(uint32_t type);

class RegistryStore {
 public:
  explicit RegistryStore(platform::Registry& registry) : registry_(registry) {}

  bool createKey(platform::RootKey root, std::string_view path);

  uint32_t readDword(platform::RootKey root, std::string_view path, std::string_view name,
                     uint32_t defaultValue);

  // True when the value was read into *out; else *out = defaultText. A value
  // that does not fit `bufferChars` characters (NUL included) is not read.
  bool readString(platform::RootKey root, std::string_view path, std::string_view name,
                  std::string_view defaultText, std::string* out,
                  size_t bufferChars = kValueBufferChars);
  // The same read, giving the text.
  std::string readString(platform::RootKey root, std::string_view path, std::string_view name,
                         std::string_view defaultText);

  bool writeDword(platform::RootKey root, std::string_view path, std::string_view name,
                  uint32_t value);
  bool writeString(platform::RootKey root, std::string_view path, std::string_view name,
                   std::string_view text);
  bool deleteValue(platform::RootKey root, std::string_view path, std::string_view name);

  // 0 or the platform error code.
  long deleteSubkeys(platform::RootKey root, std::string_view path);
  long deleteKey(platform::RootKey root, std::string_view path, bool alsoDeleteKey);

  // Whether the key / the value exists (used to verify removals).
  bool keyExists(platform::RootKey root, std::string_view path);
  bool valueExists(platform::RootKey root, std::string_view path, std::string_view name);

  platform::Registry& registry() { return registry_; }

 private:
  platform::Registry& registry_;
};

// Window handles are stored as signed decimal text ("%d").
std::string handleText(intptr_t handle);
intptr_t parseHandleText(std::string_view text);

}  // namespace settings
