// In-memory Registry for native unit tests: a tree of keys per root, names
// matched without regard to ASCII case as Windows does, and a count of open
// handles so tests can prove every key is closed.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "platform/registry.h"

namespace fakes {

class FakeRegistry final : public platform::Registry {
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

  int openHandles() const { return static_cast<int>(handles_.size()); }
  // Makes createKey fail with access denied (a user without rights).
  void denyCreate(bool deny) { denyCreate_ = deny; }

 private:
  struct Value {
    uint32_t type;
    std::string data;
  };
  struct Key {
    std::string name;  // as created
    std::map<std::string, std::unique_ptr<Key>> subkeys;  // by lower-case name
    std::map<std::string, std::pair<std::string, Value>> values;  // lower-case -> (name, value)
  };

  Key* find(platform::RootKey root, std::string_view path, bool create);
  Key* keyOf(platform::KeyHandle handle);

  std::map<platform::RootKey, Key> roots_;
  std::map<platform::KeyHandle, Key*> handles_;
  platform::KeyHandle next_ = 1;
  bool denyCreate_ = false;
  Key orphan_;
};

}  // namespace fakes
