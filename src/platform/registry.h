// The raw registry port: the handful of Win32 registry calls the system uses,
// with UTF-8 names. RegistryStore builds its conventions on top of it.
//
// Contract:
// - Every call returns 0 or a Win32 error code (2 = not found, 5 = access
//   denied, 234 = more data, 259 = no more items).
// - Key handles come from createKey/openKey and must be given back with
//   closeKey; ScopedKey does that. Out-parameters are left unchanged on failure.
// - Value data is the raw bytes the registry holds: strings are UTF-16LE with
//   their terminating NUL, as the W functions store them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

enum class RootKey { LocalMachine, CurrentUser, ClassesRoot, Users };

// Full is every right on the key (KEY_ALL_ACCESS): what a limited user lacks
// under HKEY_LOCAL_MACHINE.
enum class RegistryAccess { Read, Write, ReadWrite, Full };

// REG_* type numbers as Windows defines them.
enum RegistryValueType : uint32_t {
  kRegNone = 0,
  kRegSz = 1,
  kRegExpandSz = 2,
  kRegBinary = 3,
  kRegDword = 4,
  kRegMultiSz = 7,
};

inline constexpr long kErrorSuccess = 0;
inline constexpr long kErrorFileNotFound = 2;
inline constexpr long kErrorAccessDenied = 5;
inline constexpr long kErrorInvalidParameter = 87;
inline constexpr long kErrorMoreData = 234;
inline constexpr long kErrorNoMoreItems = 259;

using KeyHandle = uintptr_t;
inline constexpr KeyHandle kNoKey = 0;

class Registry {
 public:
  virtual ~Registry() = default;

  // Opens the key, creating it and any missing parents.
  virtual long createKey(RootKey root, std::string_view path, RegistryAccess access,
                         KeyHandle* key) = 0;
  // Opens an existing key.
  virtual long openKey(RootKey root, std::string_view path, RegistryAccess access,
                       KeyHandle* key) = 0;
  virtual void closeKey(KeyHandle key) = 0;

  // Reads at most `bufferSize` bytes of the value's data. When the data is
  // larger the result is kErrorMoreData and *data is untouched.
  virtual long queryValue(KeyHandle key, std::string_view name, size_t bufferSize,
                          uint32_t* type, std::string* data) = 0;
  virtual long setValue(KeyHandle key, std::string_view name, uint32_t type,
                        std::string_view data) = 0;
  virtual long deleteValue(KeyHandle key, std::string_view name) = 0;

  // Name of the subkey / value at `index`; kErrorNoMoreItems past the end.
  virtual long enumSubkey(KeyHandle key, uint32_t index, std::string* name) = 0;
  virtual long enumValue(KeyHandle key, uint32_t index, std::string* name) = 0;

  // Deletes a key that has no subkeys.
  virtual long deleteKey(RootKey root, std::string_view path) = 0;
};

// Owns one open key of a Registry and closes it on every path.
class ScopedKey {
 public:
  explicit ScopedKey(Registry& registry) : registry_(registry) {}
  ScopedKey(const ScopedKey&) = delete;
  ScopedKey& operator=(const ScopedKey&) = delete;
  ~ScopedKey() {
    if (key_ != kNoKey) registry_.closeKey(key_);
  }

  [[nodiscard]] long create(RootKey root, std::string_view path, RegistryAccess access) {
    return registry_.createKey(root, path, access, &key_);
  }
  [[nodiscard]] long open(RootKey root, std::string_view path, RegistryAccess access) {
    return registry_.openKey(root, path, access, &key_);
  }
  KeyHandle get() const { return key_; }

 private:
  Registry& registry_;
  KeyHandle key_ = kNoKey;
};

}  // namespace platform
