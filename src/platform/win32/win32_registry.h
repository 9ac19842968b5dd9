// The Registry port on the W registry functions of advapi32. Stateless: each
// handle it gives out is a real HKEY, closed by closeKey.
#pragma once

#include "platform/registry.h"

namespace win32 {

class Win32Registry final : public platform::Registry {
 public:
  long createKey(platform::RootKey root, std::string_view path, platform::RegistryAccess access,
                 platform::KeyHandle* key) override;
  long openKey(platform::RootKey root, std::string_view path, platform::RegistryAccess access,
               platform::KeyHandle* key) override;
  void closeKey(platform::KeyHandle key) override;
  long queryValue(platform::KeyHandle key, std::string_view name, size_t bufferSize,
                  uint32_t* type, std::string* data) override;
  long setValue(platform::KeyHandle key, std::string_view name, uint32_t type,
                std::string_view data) override;
  long deleteValue(platform::KeyHandle key, std::string_view name) override;
  long enumSubkey(platform::KeyHandle key, uint32_t index, std::string* name) override;
  long enumValue(platform::KeyHandle key, uint32_t index, std::string* name) override;
  long deleteKey(platform::RootKey root, std::string_view path) override;
};

// The process-wide adapter (it has no state, so one instance serves all threads).
Win32Registry& systemRegistry();

}  // namespace win32
