// Digests files the way the scan does (FileDigest, format 1) and prints each
// digest as md5sum would, so the benchmark can check the results agree. The
// time spent digesting goes to standard error, without the process start-up
// (which under Wine is seconds).
#include <chrono>
#include <cstdio>
#include <string>

#include "cli/console.h"
#include "scan/file_digest.h"

#ifdef _WIN32
#include "platform/win32/win32_file_system.h"
using HostFiles = win32::Win32FileSystem;
#else
#include <memory>

#include "common/file_io.h"

// Reading is all the digest asks of the file system.
class HostFiles final : public platform::FileSystem {
 public:
  bool listFolder(const std::string&, const std::function<bool(const platform::FolderEntry&)>&) override {
    return false;
  }
  bool exists(const std::string&) override { return false; }
  std::optional<uint32_t> attributes(const std::string&) override { return std::nullopt; }
  std::optional<uint64_t> fileSize(const std::string&) override { return std::nullopt; }
  bool deleteFile(const std::string&) override { return false; }
  bool removeFolder(const std::string&) override { return false; }
  std::unique_ptr<platform::FileReader> openForReading(const std::string& path) override {
    auto reader = std::make_unique<Reader>();
    if (!reader->file.open(path)) return nullptr;
    return reader;
  }

 private:
  struct Reader final : platform::FileReader {
    size_t read(void* buffer, size_t size) override { return file.read(buffer, size); }
    fileio::InputFile file;
  };
};
#endif

int main(int argc, char** argv) {
  const auto paths = cli::programArguments(argc, argv);
  if (paths.empty()) {
    std::fprintf(stderr, "usage: md5bench FILE...\n");
    return 2;
  }
  cli::useUtf8Console();
  HostFiles files;
  scan::FileDigest digest(files);
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
