#include "platform/win32/win32_file_system.h"

#include <windows.h>

#include "common/text.h"
#include "common/windows_path.h"
#include "platform/win32/unique_handle.h"

namespace win32 {
namespace {

std::wstring nativePath(const std::string& path) {
  return text::widen(winpath::extendedLength(path));
}

// Junctions, symbolic links and mount points are name surrogates; only they
// count as links.
uint32_t portAttributes(DWORD attributes, DWORD reparseTag) {
  if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) && !IsReparseTagNameSurrogate(reparseTag))
    attributes &= ~static_cast<DWORD>(FILE_ATTRIBUTE_REPARSE_POINT);
  return attributes;
}

}  // namespace

bool Win32FileSystem::listFolder(const std::string& folder,
                                 const std::function<bool(const platform::FolderEntry&)>& visit) {
  WIN32_FIND_DATAW data;
  unique_hfind find(FindFirstFileExW(nativePath(winpath::join(folder, "*")).c_str(),
                                     FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                                     FIND_FIRST_EX_LARGE_FETCH));
  if (!find) return false;
  platform::FolderEntry entry;
  do {
    entry.name = text::narrow(data.cFileName);
    entry.attributes = portAttributes(data.dwFileAttributes, data.dwReserved0);
    entry.size = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                     ? 0
                     : (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    if (!visit(entry)) break;
  } while (FindNextFileW(find.get(), &data));
  return true;
}

bool Win32FileSystem::exists(const std::string& path) {
  return GetFileAttributesW(nativePath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::optional<uint32_t> Win32FileSystem::attributes(const std::string& path) {
  const std::wstring native = nativePath(path);
  const DWORD attributes = GetFileAttributesW(native.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return std::nullopt;
  if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return attributes;
  // The reparse tag tells a link from other reparse points.
  WIN32_FIND_DATAW data;
  unique_hfind find(FindFirstFileExW(native.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                     nullptr, 0));
  return portAttributes(attributes, find ? data.dwReserved0 : IO_REPARSE_TAG_MOUNT_POINT);
}

std::optional<uint64_t> Win32FileSystem::fileSize(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(nativePath(path).c_str(), GetFileExInfoStandard, &data))
    return std::nullopt;
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return 0;
  return (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool Win32FileSystem::deleteFile(const std::string& path) {
  return DeleteFileW(nativePath(path).c_str()) != 0;
}

bool Win32FileSystem::removeFolder(const std::string& path) {
  return RemoveDirectoryW(nativePath(path).c_str()) != 0;
}

namespace {

class Win32FileReader final : public platform::FileReader {
 public:
  explicit Win32FileReader(unique_file file) : file_(std::move(file)) {}
  size_t read(void* buffer, size_t size) override {
    DWORD got = 0;
    const DWORD want = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
    if (!ReadFile(file_.get(), buffer, want, &got, nullptr)) return 0;
    return got;
  }

 private:
  unique_file file_;
};

}  // namespace

std::unique_ptr<platform::FileReader> Win32FileSystem::openForReading(const std::string& path) {
  unique_file file(CreateFileW(nativePath(path).c_str(), GENERIC_READ,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file) return nullptr;
  return std::make_unique<Win32FileReader>(std::move(file));
}

}  // namespace win32
