// The digest table indexed by file name and by size, built once per scan, so
// that a file costs two hash lookups however large the table is. It gives
// exactly the rows a walk over the table would: every row whose file name or
// size text equals the file's, each once, in table order.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "scan/definition_tables.h"

namespace scan {

class DigestIndex {
 public:
  explicit DigestIndex(const std::vector<DigestRow>& table);

  // Row indices for a file of this name and size text; *out is replaced.
  void matches(const std::string& name, int32_t sizeText, std::vector<uint32_t>* out) const;

 private:
  std::unordered_map<std::string, std::vector<uint32_t>> byName_;
  // Only sizes written as a file's size text is written (signed decimal, no
  // sign for 0 and up, no leading zeros) can equal one; other rows never match.
  std::unordered_map<int32_t, std::vector<uint32_t>> bySize_;
};

// The file-status size as the scan writes it: the low 32 bits, signed.
int32_t sizeTextValue(uint64_t size);
std::string sizeText(uint64_t size);

}  // namespace scan
