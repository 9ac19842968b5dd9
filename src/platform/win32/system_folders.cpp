#include "platform/win32/system_folders.h"

#include <windows.h>
#include <shlobj.h>

#include "common/text.h"

namespace win32 {
namespace {

std::string withBackslash(std::string s) {
  if (!s.empty() && s.back() != '\\') s += '\\';
  return s;
}

}  // namespace

std::string userName() {
  wchar_t buffer[257];
  DWORD size = 257;
  if (!GetUserNameW(buffer, &size)) return {};
  return text::narrow(buffer);
}

std::string windowsFolder() {
  wchar_t buffer[MAX_PATH];
  const UINT n = GetWindowsDirectoryW(buffer, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return {};
  return withBackslash(text::narrow(std::wstring_view(buffer, n)));
}

std::string systemFolder() {
  wchar_t buffer[MAX_PATH];
  const UINT n = GetSystemDirectoryW(buffer, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return {};
  return withBackslash(text::narrow(std::wstring_view(buffer, n)));
}

std::string specialFolder(int csidl) {
  wchar_t buffer[MAX_PATH];
  if (!SHGetSpecialFolderPathW(nullptr, buffer, csidl, FALSE)) return {};
  return text::narrow(buffer);
}

std::string programFolder() {
  std::wstring buffer(MAX_PATH, L'\0');
  while (true) {
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return {};
    if (n < buffer.size()) {
      buffer.resize(n);
      break;
    }
    buffer.resize(buffer.size() * 2);
  }
  const std::string path = text::narrow(buffer);
  return path.substr(0, path.rfind('\\') + 1);
}

bool pathExists(const std::string& path) {
  return GetFileAttributesW(text::widen(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace win32
