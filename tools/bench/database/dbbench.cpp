// Times reading a definition database the ways the programs read it: the
// parse, the three start-up tables, and a walk of every definition.
#include <chrono>
#include <cstdio>
#include <string>

#include "agent/detection_rows.h"
#include "common/file_io.h"
#include "scan/definition_tables.h"
#ifdef _WIN32
#include "platform/win32/win32_file_system.h"
#endif

namespace {

template <typename F>
double seconds(F&& f) {
  const auto start = std::chrono::steady_clock::now();
  f();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: dbbench torvane.ini\n");
    return 2;
  }
  scan::DefinitionDatabase db;
  // Reading the file counts as part of the parse, as the programs read it.
  const double parse = seconds([&] {
#ifdef _WIN32
    win32::Win32FileSystem files;
    db = scan::DefinitionDatabase::load(files, argv[1]);
#else
    std::string text;
    fileio::readWholeFile(argv[1], &text);
    db = scan::DefinitionDatabase(scan::IniFile(std::move(text)));
#endif
  });
  scan::ItemPathContext context;
  context.userName = "user";
  context.windowsFolder = "C:\\WINDOWS\\";
  size_t processRows = 0, digestRows = 0, detectionRows = 0, items = 0;
  const double process = seconds([&] { processRows = scan::loadProcessDefinitions(db, context, nullptr).size(); });
  const double digest = seconds([&] { digestRows = scan::loadDigestDefinitions(db, nullptr).size(); });
  const double detection = seconds([&] { detectionRows = agent::loadDetectionRows(db, context).size(); });
  const double walk = seconds([&] {
    for (int i = 1, n = db.definitionCount(); i <= n; ++i) {
      const scan::Definition d = db.definition(i);
      items += d.files.size() + d.registryItems.size();
    }
  });
  std::printf("definitions %d, digest definitions %d\n", db.definitionCount(), db.digestDefinitionCount());
  std::printf("parse                    %.3f s\n", parse);
  std::printf("process table            %.3f s  (%zu rows)\n", process, processRows);
  std::printf("digest table             %.3f s  (%zu rows)\n", digest, digestRows);
  std::printf("detection table          %.3f s  (%zu rows)\n", detection, detectionRows);
  std::printf("walk of every definition %.3f s  (%zu items)\n", walk, items);
  return 0;
}
