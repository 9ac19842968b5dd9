// A fresh folder for one test, removed with everything in it afterwards.
#pragma once

#include <string>

namespace testing_support {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // The folder, with the platform's separator at the end.
  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + name; }

 private:
  std::string path_;
};

// Writes bytes to a file (UTF-8 path); fails the test on error.
void writeFile(const std::string& path, const std::string& bytes);

}  // namespace testing_support
