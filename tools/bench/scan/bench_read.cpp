// Baseline for the scan benchmark: opens, reads to the end and closes every
// file of a list, with one 256 KiB buffer and no digest: the I/O a digest scan
// of the same files cannot avoid. Prints the number of files and bytes read.
// usage: bench_read LISTFILE   (UTF-8, one Windows path a line)
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

std::wstring widen(const std::string& s) {
  if (s.empty()) return {};
  const int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), out.data(), n);
  return out;
}

bool readList(const wchar_t* path, std::vector<std::wstring>* out) {
  HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  std::string text;
  char buffer[65536];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) text.append(buffer, got);
  CloseHandle(file);
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    size_t stop = end;
    if (stop > start && text[stop - 1] == '\r') --stop;
    if (stop > start) out->push_back(widen(text.substr(start, stop - start)));
    start = end + 1;
  }
  return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: bench_read LISTFILE\n");
    return 2;
  }
  std::vector<std::wstring> paths;
  if (!readList(argv[1], &paths)) {
    std::fprintf(stderr, "bench_read: cannot read the list\n");
    return 2;
  }
  std::vector<char> buffer(256 * 1024);
  uint64_t files = 0, bytes = 0, failed = 0;
  for (const std::wstring& path : paths) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      ++failed;
      continue;
    }
    DWORD got = 0;
    while (ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr) && got > 0)
      bytes += got;
    CloseHandle(file);
    ++files;
  }
  std::printf("files %llu\nbytes %llu\n", static_cast<unsigned long long>(files),
              static_cast<unsigned long long>(bytes));
  if (failed) {
    std::fprintf(stderr, "bench_read: %llu files could not be opened\n",
                 static_cast<unsigned long long>(failed));
    return 1;
  }
  return 0;
}
