// The optimisation search against a bare walk of the same tree, both over
// the file-system port in this one process, best of N runs each. The search
// runs with every extension switched on and a filter list of F paths, so the
// cost of the per-file filter lookup shows at any list size.
// usage: bench_junk DIR [RUNS [FILTER_PATHS]]
// Prints the files walked, the rows found, both best times and their ratio.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "common/text.h"
#include "common/windows_path.h"
#include "platform/win32/win32_file_system.h"
#include "tools/junk_search.h"

namespace {

struct NullObserver final : tools::JunkObserver {
  void insertRow(const tools::JunkRow&) override { ++rows; }
  void setLabel(tools::JunkLabel, const std::string&) override {}
  size_t rows = 0;
};

// The bare walk: every folder below DIR through the same port, links not entered.
size_t walk(platform::FileSystem& files, const std::string& top) {
  size_t count = 0;
  std::vector<std::string> folders{top};
  while (!folders.empty()) {
    const std::string folder = folders.back();
    folders.pop_back();
    for (const platform::FolderEntry& e : platform::folderEntries(files, folder)) {
      if (e.isFolder()) {
        if (!e.isLink()) folders.push_back(winpath::join(folder, e.name));
      } else {
        ++count;
      }
    }
  }
  return count;
}

template <class F>
double bestSeconds(int runs, F&& run) {
  double best = 1e30;
  for (int i = 0; i < runs; ++i) {
    const auto t0 = std::chrono::steady_clock::now();
    run();
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - t0;
    if (took.count() < best) best = took.count();
  }
  return best;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: bench_junk DIR [RUNS [FILTER_PATHS]]\n");
    return 2;
  }
  const std::string dir = text::narrow(argv[1]);
  const int runs = argc > 2 ? _wtoi(argv[2]) : 3;
  const int filterPaths = argc > 3 ? _wtoi(argv[3]) : 10000;
  if (GetFileAttributesW(argv[1]) == INVALID_FILE_ATTRIBUTES) {
    std::fprintf(stderr, "bench_junk: cannot open the folder\n");
    return 2;
  }
  win32::Win32FileSystem files;
  tools::FilterList filter;
  for (int i = 0; i < filterPaths; ++i) filter.add(dir + "\\no-such-folder\\undeletable" + std::to_string(i) + ".tmp");

  size_t walked = 0;
  const double walkSeconds = bestSeconds(runs, [&] { walked = walk(files, dir); });
  size_t found = 0;
  const double searchSeconds = bestSeconds(runs, [&] {
    WorkFlags flags;
    tools::JunkSearchSetup setup;
    setup.drive = dir;
    setup.switches.fill(true);
    setup.filter = &filter;
    NullObserver observer;
    tools::JunkSearch(files, flags).run(setup, observer);
    found = observer.rows;
  });
  const double ratio = searchSeconds / walkSeconds;
  std::printf("files %zu\nrows %zu\nfilter %d\nwalk %.3f s\nsearch %.3f s\nratio %.2f (goal <= 1.30: %s)\n",
              walked, found, filterPaths, walkSeconds, searchSeconds, ratio, ratio <= 1.30 ? "OK" : "MISS");
  return 0;
}
