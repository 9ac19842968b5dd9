#include "fakes/fake_registry.h"

#include "common/text.h"

namespace fakes {

using platform::kErrorAccessDenied;
using platform::kErrorFileNotFound;
using platform::kErrorInvalidParameter;
using platform::kErrorMoreData;
using platform::kErrorNoMoreItems;

FakeRegistry::Key* FakeRegistry::find(platform::RootKey root, std::string_view path, bool create) {
  Key* key = &roots_[root];
  for (const std::string& part : text::split(path, '\\')) {
    if (part.empty()) continue;
    auto& slot = key->subkeys[text::toLowerAscii(part)];
    if (!slot) {
      if (!create) {
        key->subkeys.erase(text::toLowerAscii(part));
        return nullptr;
      }
      slot = std::make_unique<Key>();
      slot->name = part;
    }
    key = slot.get();
  }
  return key;
}

FakeRegistry::Key* FakeRegistry::keyOf(platform::KeyHandle handle) {
  const auto it = handles_.find(handle);
  return it == handles_.end() ? nullptr : it->second;
}

long FakeRegistry::createKey(platform::RootKey root, std::string_view path,
                             platform::RegistryAccess, platform::KeyHandle* key) {
  if (denyCreate_) return kErrorAccessDenied;
  Key* k = find(root, path, true);
  *key = next_++;
  handles_[*key] = k;
  return 0;
}

long FakeRegistry::openKey(platform::RootKey root, std::string_view path, platform::RegistryAccess,
                           platform::KeyHandle* key) {
  Key* k = find(root, path, false);
  if (!k) return kErrorFileNotFound;
  *key = next_++;
  handles_[*key] = k;
  return 0;
}

void FakeRegistry::closeKey(platform::KeyHandle key) { handles_.erase(key); }

long FakeRegistry::queryValue(platform::KeyHandle handle, std::string_view name, size_t bufferSize,
                              uint32_t* type, std::string* data) {
  Key* k = keyOf(handle);
  if (!k) return kErrorInvalidParameter;
  const auto it = k->values.find(text::toLowerAscii(name));
  if (it == k->values.end()) return kErrorFileNotFound;
  const Value& v = it->second.second;
  if (v.data.size() > bufferSize) return kErrorMoreData;
  if (type) *type = v.type;
  if (data) *data = v.data;
  return 0;
}

long FakeRegistry::setValue(platform::KeyHandle handle, std::string_view name, uint32_t type,
                            std::string_view data) {
  Key* k = keyOf(handle);
  if (!k) return kErrorInvalidParameter;
  k->values[text::toLowerAscii(name)] = {std::string(name), Value{type, std::string(data)}};
  return 0;
}

long FakeRegistry::deleteValue(platform::KeyHandle handle, std::string_view name) {
  Key* k = keyOf(handle);
  if (!k) return kErrorInvalidParameter;
  return k->values.erase(text::toLowerAscii(name)) ? 0 : kErrorFileNotFound;
}

long FakeRegistry::enumSubkey(platform::KeyHandle handle, uint32_t index, std::string* name) {
  Key* k = keyOf(handle);
  if (!k) return kErrorInvalidParameter;
  if (index >= k->subkeys.size()) return kErrorNoMoreItems;
  auto it = k->subkeys.begin();
  std::advance(it, index);
  *name = it->second->name;
  return 0;
}

long FakeRegistry::enumValue(platform::KeyHandle handle, uint32_t index, std::string* name) {
  Key* k = keyOf(handle);
  if (!k) return kErrorInvalidParameter;
  if (index >= k->values.size()) return kErrorNoMoreItems;
  auto it = k->values.begin();
  std::advance(it, index);
  *name = it->second.first;
  return 0;
}

long FakeRegistry::deleteKey(platform::RootKey root, std::string_view path) {
  const size_t cut = path.rfind('\\');
  Key* parent = cut == std::string_view::npos ? &roots_[root] : find(root, path.substr(0, cut), false);
  if (!parent) return kErrorFileNotFound;
  const std::string leaf =
      text::toLowerAscii(cut == std::string_view::npos ? path : path.substr(cut + 1));
  const auto it = parent->subkeys.find(leaf);
  if (it == parent->subkeys.end()) return kErrorFileNotFound;
  if (!it->second->subkeys.empty()) return kErrorAccessDenied;  // as RegDeleteKey
  for (auto& [h, k] : handles_)
    if (k == it->second.get()) k = &orphan_;  // an open handle outlives its deleted key
  parent->subkeys.erase(it);
  return 0;
}

}  // namespace fakes
