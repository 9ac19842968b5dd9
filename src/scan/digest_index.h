// The digest table indexed by file name and by size, built once per scan, so
// that a file costs two hash lookups however large the table is. It gives
// exactly the rows a walk over the table would: every row whose file name or
// size text equals the file's, each once, in table order.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "scan/definition_tables.h"

namespace scan {

class DigestIndex {
 public:
  explicit DigestIndex(const std::vector<DigestRow>& table);

  // Row indices for a file of this name and size text; *out is replaced.
  void matches(const std::string& name, int32_t sizeText, std::vector<uint32_t>* out) const;

 private:
  // Open addressing over the distinct names (and sizes); each slot holds the
  // first row of its key, and `next` links the later rows of the same key in
  // table order. No allocation per row.
  struct Slot {
    uint64_t hash = 0;
    uint32_t first = kNone;
  };
  static constexpr uint32_t kNone = 0xFFFFFFFFu;

  uint32_t firstByName(const std::string& name, uint64_t hash) const;
  uint32_t firstBySize(int32_t size) const;

  const std::vector<DigestRow>& table_;
  std::vector<Slot> nameSlots_;
  std::vector<Slot> sizeSlots_;  // hash holds the size
  std::vector<uint32_t> nextByName_;
  std::vector<uint32_t> nextBySize_;
};

// The file-status size as the scan writes it: the low 32 bits, signed.
int32_t sizeTextValue(uint64_t size);
std::string sizeText(uint64_t size);

}  // namespace scan
