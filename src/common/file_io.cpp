#include "common/file_io.h"

#include <cerrno>
#include <cstdio>

#include "common/text.h"
#include "common/windows_path.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace fileio {

#ifdef _WIN32

bool InputFile::open(std::string_view path) {
  close();
  HANDLE h = CreateFileW(text::widen(winpath::extendedLength(path)).c_str(), GENERIC_READ,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  handle_ = h;
  return true;
}

size_t InputFile::read(void* buffer, size_t size) {
  if (!handle_) return 0;
  DWORD got = 0;
  const DWORD want = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
  if (!ReadFile(static_cast<HANDLE>(handle_), buffer, want, &got, nullptr)) return 0;
  return got;
}

void InputFile::close() {
  if (handle_) CloseHandle(static_cast<HANDLE>(handle_));
  handle_ = nullptr;
}

namespace {
bool replaceFile(const std::string& from, std::string_view to) {
  return MoveFileExW(text::widen(from).c_str(), text::widen(to).c_str(),
                     MOVEFILE_REPLACE_EXISTING) != 0;
}
FILE* openForWrite(const std::string& path) { return _wfopen(text::widen(path).c_str(), L"wb"); }
void removeFile(const std::string& path) { DeleteFileW(text::widen(path).c_str()); }
}  // namespace

#else

bool InputFile::open(std::string_view path) {
  close();
  fd_ = ::open(std::string(path).c_str(), O_RDONLY | O_CLOEXEC);
  return fd_ >= 0;
}

size_t InputFile::read(void* buffer, size_t size) {
  if (fd_ < 0) return 0;
  while (true) {
    const ssize_t got = ::read(fd_, buffer, size);
    if (got >= 0) return static_cast<size_t>(got);
    if (errno != EINTR) return 0;
  }
}

void InputFile::close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

namespace {
bool replaceFile(const std::string& from, std::string_view to) {
  return std::rename(from.c_str(), std::string(to).c_str()) == 0;
}
FILE* openForWrite(const std::string& path) { return std::fopen(path.c_str(), "wb"); }
void removeFile(const std::string& path) { std::remove(path.c_str()); }
}  // namespace

#endif

bool readWholeFile(std::string_view path, std::string* out) {
  out->clear();
  InputFile file;
  if (!file.open(path)) return false;
  char buffer[1 << 16];
  while (true) {
    const size_t got = file.read(buffer, sizeof buffer);
    if (got == 0) break;
    out->append(buffer, got);
  }
  return true;
}

bool writeWholeFile(std::string_view path, std::string_view bytes) {
  const std::string temp = std::string(path) + ".tmp";
  FILE* f = openForWrite(temp);
  if (!f) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  const bool closed = std::fclose(f) == 0;
  if (!written || !closed || !replaceFile(temp, path)) {
    removeFile(temp);
    return false;
  }
  return true;
}

}  // namespace fileio
