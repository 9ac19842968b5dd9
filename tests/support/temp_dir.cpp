#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <random>

#include "common/file_io.h"
#include "common/text.h"

namespace testing_support {
namespace fs = std::filesystem;

namespace {
fs::path toPath(const std::string& utf8) {
  return fs::path(std::u8string(utf8.begin(), utf8.end()));
}
}  // namespace

TempDir::TempDir() {
  static std::atomic<int> counter{0};
  std::random_device rd;
  const fs::path base = fs::temp_directory_path() /
                        ("torvane-test-" + std::to_string(rd()) + "-" + std::to_string(counter++));
  fs::create_directories(base);
  const std::u8string u8 = base.u8string();
  path_.assign(u8.begin(), u8.end());
  path_ += static_cast<char>(fs::path::preferred_separator);
}

TempDir::~TempDir() {
  std::error_code ec;
  fs::remove_all(toPath(path_), ec);
}

void writeFile(const std::string& path, const std::string& bytes) {
  ASSERT_TRUE(fileio::writeWholeFile(path, bytes)) << path;
}

}  // namespace testing_support
