// Synthetic databases for tests and benchmarks: deterministic for a seed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "scan/database_writer.h"

namespace cli {

struct GeneratorOptions {
  int definitions = 0;
  int digests = 0;
  uint64_t seed = 1;
  // Sizes of the generated digest items are drawn from [minSize, maxSize].
  uint64_t minSize = 1;
  uint64_t maxSize = 1 << 20;
  // Real digest items (NAME#SIZE#MD5) put first, so that a scan finds them.
  std::vector<scan::DigestItem> realItems;
};

scan::DatabaseContent generateDatabase(const GeneratorOptions& options);

}  // namespace cli
