#include "settings/registry_store.h"

#include <cstring>

#include "common/text.h"

namespace settings {

using platform::RegistryAccess;
using platform::RootKey;
using platform::ScopedKey;

namespace {

std::string toRegSz(std::string_view utf8) {
  std::u16string wide = text::utf8ToUtf16(utf8);
  wide.push_back(u'\0');
  return std::string(reinterpret_cast<const char*>(wide.data()), wide.size() * 2);
}

}  // namespace

bool isStringType(uint32_t type) {
  return type == platform::kRegSz || type == platform::kRegExpandSz ||
         type == platform::kRegMultiSz;
}

std::string registryText(uint32_t type, const std::string& data) {
  if (isStringType(type)) {
    std::u16string wide(data.size() / 2, u'\0');
    std::memcpy(wide.data(), data.data(), wide.size() * 2);
    const size_t nul = wide.find(u'\0');
    if (nul != std::u16string::npos) wide.resize(nul);
    return text::utf16ToUtf8(wide);
  }
  const size_t nul = data.find('\0');
  return text::cp949ToUtf8(std::string_view(data).substr(0, nul));
}

std::optional<RootKey> parseRootName(std::string_view name) {
  if (name == "HKEY_LOCAL_MACHINE") return RootKey::LocalMachine;
  if (name == "HKEY_CURRENT_USER") return RootKey::CurrentUser;
  if (name == "HKEY_CLASSES_ROOT") return RootKey::ClassesRoot;
  return std::nullopt;
}

bool RegistryStore::createKey(RootKey root, std::string_view path) {
  ScopedKey key(registry_);
  return key.create(root, path, RegistryAccess::Read) == 0;
}

uint32_t RegistryStore::readDword(RootKey root, std::string_view path, std::string_view name,
                                  uint32_t defaultValue) {
  ScopedKey key(registry_);
  if (key.create(root, path, RegistryAccess::Read) != 0) return 0;
  // Strings are measured as the ANSI bytes a 4-byte read would receive, so a
  // text of up to three characters gives its bytes, as it always has.
  uint32_t type = 0;
  std::string data;
  if (registry_.queryValue(key.get(), name, 4 * kValueBufferChars, &type, &data) != 0)
    return defaultValue;
  if (isStringType(type)) data = text::utf8ToCp949(registryText(type, data)) + '\0';
  if (data.size() > 4) return defaultValue;
  uint32_t value = 0;
  std::memcpy(&value, data.data(), data.size());
  return value;
}

bool RegistryStore::readString(RootKey root, std::string_view path, std::string_view name,
                               std::string_view defaultText, std::string* out,
                               size_t bufferChars) {
  ScopedKey key(registry_);
  uint32_t type = 0;
  std::string data;
  if (key.create(root, path, RegistryAccess::Read) != 0 ||
      registry_.queryValue(key.get(), name, bufferChars * sizeof(char16_t), &type, &data) != 0) {
    *out = std::string(defaultText);
    return false;
  }
  *out = registryText(type, data);
  return true;
}

std::string RegistryStore::readString(RootKey root, std::string_view path, std::string_view name,
                                      std::string_view defaultText) {
  std::string out;
  readString(root, path, name, defaultText, &out);
  return out;
}

bool RegistryStore::writeDword(RootKey root, std::string_view path, std::string_view name,
                               uint32_t value) {
  ScopedKey key(registry_);
  if (key.create(root, path, RegistryAccess::Write) != 0) return false;
  char bytes[4];
  std::memcpy(bytes, &value, 4);
  return registry_.setValue(key.get(), name, platform::kRegDword, std::string_view(bytes, 4)) == 0;
}

bool RegistryStore::writeString(RootKey root, std::string_view path, std::string_view name,
                                std::string_view textValue) {
  ScopedKey key(registry_);
  if (key.create(root, path, RegistryAccess::Write) != 0) return false;
  return registry_.setValue(key.get(), name, platform::kRegSz, toRegSz(textValue)) == 0;
}

bool RegistryStore::deleteValue(RootKey root, std::string_view path, std::string_view name) {
  ScopedKey key(registry_);
  if (key.open(root, path, RegistryAccess::ReadWrite) != 0) return false;
  return registry_.deleteValue(key.get(), name) == 0;
}

long RegistryStore::deleteSubkeys(RootKey root, std::string_view path) {
  ScopedKey key(registry_);
  if (const long rc = key.open(root, path, RegistryAccess::Read); rc != 0) return rc;
  while (true) {
    // Index 0 every time: each deletion shifts the remaining subkeys down.
    std::string child;
    const long rc = registry_.enumSubkey(key.get(), 0, &child);
    if (rc == platform::kErrorNoMoreItems) return 0;
    if (rc != 0) return rc;
    // The child path grows as a std::string, so no depth or name length can
    // overrun it.
    const std::string childPath = std::string(path) + "\\" + child;
    if (const long sub = deleteSubkeys(root, childPath); sub != 0) return sub;
    if (const long del = registry_.deleteKey(root, childPath); del != 0) return del;
  }
}

long RegistryStore::deleteKey(RootKey root, std::string_view path, bool alsoDeleteKey) {
  if (const long rc = deleteSubkeys(root, path); rc != 0) return rc;
  return alsoDeleteKey ? registry_.deleteKey(root, path) : 0;
}

bool RegistryStore::keyExists(RootKey root, std::string_view path) {
  ScopedKey key(registry_);
  return key.open(root, path, RegistryAccess::Read) == 0;
}

bool RegistryStore::valueExists(RootKey root, std::string_view path, std::string_view name) {
  ScopedKey key(registry_);
  if (key.open(root, path, RegistryAccess::Read) != 0) return false;
  uint32_t type = 0;
  std::string data;
  const long rc = registry_.queryValue(key.get(), name, 0, &type, &data);
  return rc == 0 || rc == platform::kErrorMoreData;
}

std::string handleText(intptr_t handle) {
  // Handles are 32-bit significant on 64-bit Windows; "%d" of the low word.
  return std::to_string(static_cast<int32_t>(handle));
}

intptr_t parseHandleText(std::string_view text) { return text::atoiLike(text); }

}  // namespace settings
