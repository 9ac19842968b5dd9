// The MD5 of a text or a file as hexadecimal text, in one of four formats:
// 1 plain lower case, 2 spaced lower case, 3 plain upper case, 4 spaced upper
// case ("spaced": one space after every pair of digits, the last included).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace scan {

class FileDigest {
 public:
  enum SourceKind { kText = 1, kFile = 2 };

  // Files are read through `files`.
  explicit FileDigest(platform::FileSystem& files) : files_(files) {}

  void setSourceText(std::string text) { sourceText_ = std::move(text); }
  void setSourceKind(int kind) { sourceKind_ = (kind == kText || kind == kFile) ? kind : kText; }
  void setPath(std::string path) { path_ = std::move(path); }
  void setFormat(int format) { format_ = (format >= 1 && format <= 4) ? format : 1; }
  void setEnabled(int enabled) { enabled_ = enabled; }

  // Empty when not enabled, or when the file cannot be opened or is empty.
  std::string digestText();

 private:
  platform::FileSystem& files_;
  std::string sourceText_;
  int enabled_ = 0;
  std::string path_;
  int format_ = 1;
  int sourceKind_ = kText;
  std::string spacedText_;
  std::vector<uint8_t> readBuffer_;  // reused from one file to the next
};

// The 16 digest bytes as 32 lower-case hexadecimal digits.
std::string hexDigest(const uint8_t digest[16]);

}  // namespace scan
