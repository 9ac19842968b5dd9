// Digests files the way the scan does (FileDigest, format 1) and prints each
// digest as md5sum would, so the benchmark can check the results agree. The
// time spent digesting goes to standard error, without the process start-up
// (which under Wine is seconds).
#include <chrono>
#include <cstdio>
#include <string>

#include "cli/console.h"
#include "scan/file_digest.h"

int main(int argc, char** argv) {
  const auto paths = cli::programArguments(argc, argv);
  if (paths.empty()) {
    std::fprintf(stderr, "usage: md5bench FILE...\n");
    return 2;
  }
  cli::useUtf8Console();
  scan::FileDigest digest;
  digest.setSourceKind(scan::FileDigest::kFile);
  digest.setFormat(1);
  digest.setEnabled(1);
  int failed = 0;
  const auto start = std::chrono::steady_clock::now();
  for (const std::string& path : paths) {
    digest.setPath(path);
    const std::string text = digest.digestText();
    if (text.empty()) ++failed;
    std::printf("%s  %s\n", text.c_str(), path.c_str());
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::fprintf(stderr, "seconds %.6f\n", seconds);
  return failed ? 1 : 0;
}
