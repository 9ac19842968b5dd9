#include "platform/win32/win32_registry.h"

#include <windows.h>

#include <vector>

#include "common/text.h"

namespace win32 {
namespace {

HKEY rootHandle(platform::RootKey root) {
  switch (root) {
    case platform::RootKey::LocalMachine: return HKEY_LOCAL_MACHINE;
    case platform::RootKey::CurrentUser: return HKEY_CURRENT_USER;
    case platform::RootKey::ClassesRoot: return HKEY_CLASSES_ROOT;
    case platform::RootKey::Users: return HKEY_USERS;
  }
  return HKEY_LOCAL_MACHINE;
}

REGSAM samFor(platform::RegistryAccess access) {
  switch (access) {
    case platform::RegistryAccess::Read: return KEY_READ;
    case platform::RegistryAccess::Write: return KEY_WRITE;
    case platform::RegistryAccess::ReadWrite: return KEY_READ | KEY_WRITE;
    case platform::RegistryAccess::Full: return KEY_ALL_ACCESS;
  }
  return KEY_READ;
}

HKEY asHkey(platform::KeyHandle key) { return reinterpret_cast<HKEY>(key); }

}  // namespace

long Win32Registry::createKey(platform::RootKey root, std::string_view path,
                              platform::RegistryAccess access, platform::KeyHandle* key) {
  HKEY opened = nullptr;
  const LONG rc = RegCreateKeyExW(rootHandle(root), text::widen(path).c_str(), 0, nullptr, 0,
                                  samFor(access) | viewBits(), nullptr, &opened, nullptr);
  if (rc == ERROR_SUCCESS) *key = reinterpret_cast<platform::KeyHandle>(opened);
  return rc;
}

long Win32Registry::openKey(platform::RootKey root, std::string_view path,
                            platform::RegistryAccess access, platform::KeyHandle* key) {
  HKEY opened = nullptr;
  const LONG rc =
      RegOpenKeyExW(rootHandle(root), text::widen(path).c_str(), 0, samFor(access) | viewBits(), &opened);
  if (rc == ERROR_SUCCESS) *key = reinterpret_cast<platform::KeyHandle>(opened);
  return rc;
}

void Win32Registry::closeKey(platform::KeyHandle key) {
  if (key != platform::kNoKey) RegCloseKey(asHkey(key));
}

long Win32Registry::queryValue(platform::KeyHandle key, std::string_view name, size_t bufferSize,
                               uint32_t* type, std::string* data) {
  std::string buffer(bufferSize, '\0');
  DWORD size = static_cast<DWORD>(bufferSize);
  DWORD valueType = REG_NONE;
  const LONG rc = RegQueryValueExW(asHkey(key), text::widen(name).c_str(), nullptr, &valueType,
                                   reinterpret_cast<BYTE*>(buffer.data()), &size);
  if (rc != ERROR_SUCCESS) return rc;
  buffer.resize(size);
  if (type) *type = valueType;
  if (data) *data = std::move(buffer);
  return ERROR_SUCCESS;
}

long Win32Registry::setValue(platform::KeyHandle key, std::string_view name, uint32_t type,
                             std::string_view data) {
  return RegSetValueExW(asHkey(key), text::widen(name).c_str(), 0, type,
                        reinterpret_cast<const BYTE*>(data.data()), static_cast<DWORD>(data.size()));
}

long Win32Registry::deleteValue(platform::KeyHandle key, std::string_view name) {
  return RegDeleteValueW(asHkey(key), text::widen(name).c_str());
}

long Win32Registry::enumSubkey(platform::KeyHandle key, uint32_t index, std::string* name) {
  wchar_t buffer[256];  // the registry's limit for one key name is 255 characters
  DWORD length = 256;
  const LONG rc =
      RegEnumKeyExW(asHkey(key), index, buffer, &length, nullptr, nullptr, nullptr, nullptr);
  if (rc == ERROR_SUCCESS) *name = text::narrow(std::wstring_view(buffer, length));
  return rc;
}

long Win32Registry::enumValue(platform::KeyHandle key, uint32_t index, std::string* name) {
  std::vector<wchar_t> buffer(16384);  // the registry's limit for a value name
  DWORD length = static_cast<DWORD>(buffer.size());
  const LONG rc = RegEnumValueW(asHkey(key), index, buffer.data(), &length, nullptr, nullptr,
                                nullptr, nullptr);
  if (rc == ERROR_SUCCESS) *name = text::narrow(std::wstring_view(buffer.data(), length));
  return rc;
}

long Win32Registry::deleteKey(platform::RootKey root, std::string_view path) {
  if (view_ == RegistryView::Default) return RegDeleteKeyW(rootHandle(root), text::widen(path).c_str());
  return RegDeleteKeyExW(rootHandle(root), text::widen(path).c_str(), viewBits(), 0);
}

unsigned long Win32Registry::viewBits() const {
  switch (view_) {
    case RegistryView::Default: return 0;
    case RegistryView::Bits64: return KEY_WOW64_64KEY;
    case RegistryView::Bits32: return KEY_WOW64_32KEY;
  }
  return 0;
}

Win32Registry& systemRegistry() {
  static Win32Registry registry;
  return registry;
}

}  // namespace win32
