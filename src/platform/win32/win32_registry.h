// The Registry port on the W registry functions of advapi32. Stateless: each
// handle it gives out is a real HKEY, closed by closeKey.
#pragma once

#include "platform/registry.h"

namespace win32 {

// Which registry view the keys are opened in. On 64-bit Windows a 64-bit
// program sees the 64-bit view by default; Bits32 opens what 32-bit programs
// see (the WOW6432Node keys). On 32-bit Windows both are the one registry.
enum class RegistryView { Default, Bits64, Bits32 };

class Win32Registry final : public platform::Registry {
 public:
  explicit Win32Registry(RegistryView view = RegistryView::Default) : view_(view) {}

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

 private:
  unsigned long viewBits() const;  // the KEY_WOW64_* flag of the view
  RegistryView view_;
};

// The process-wide adapter (it has no state, so one instance serves all threads).
Win32Registry& systemRegistry();

}  // namespace win32
