// Baseline for the scan benchmark: a bare recursive walk of a folder, the
// least any full scan has to do. Prints the number of files and their total
// size, so the benchmark can check the walk saw the whole corpus.
// usage: bench_walk DIR
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>

namespace {

struct Totals {
  uint64_t files = 0;
  uint64_t bytes = 0;
};

bool isDotEntry(const wchar_t* name) {
  return name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0));
}

void walk(const std::wstring& dir, Totals* totals) {
  WIN32_FIND_DATAW data;
  const std::wstring pattern = dir + L"\\*";
  HANDLE find = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                 nullptr, FIND_FIRST_EX_LARGE_FETCH);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    if (isDotEntry(data.cFileName)) continue;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      walk(dir + L"\\" + data.cFileName, totals);
    } else {
      ++totals->files;
      totals->bytes += (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    }
  } while (FindNextFileW(find, &data));
  FindClose(find);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: bench_walk DIR\n");
    return 2;
  }
  std::wstring dir = argv[1];
  while (dir.size() > 3 && (dir.back() == L'\\' || dir.back() == L'/')) dir.pop_back();
  if (GetFileAttributesW(dir.c_str()) == INVALID_FILE_ATTRIBUTES) {
    std::fprintf(stderr, "bench_walk: cannot open the folder\n");
    return 2;
  }
  Totals totals;
  walk(dir, &totals);
  std::printf("files %llu\nbytes %llu\n", static_cast<unsigned long long>(totals.files),
              static_cast<unsigned long long>(totals.bytes));
  return 0;
}
