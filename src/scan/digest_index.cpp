#include "scan/digest_index.h"

#include <algorithm>
#include <optional>

namespace scan {
namespace {

// The number a size text stands for, when it is written exactly as
// std::to_string(int32_t) would write it.
std::optional<int32_t> canonicalSize(const std::string& s) {
  if (s.empty() || s.size() > 11) return std::nullopt;
  size_t i = s[0] == '-' ? 1 : 0;
  if (i == s.size()) return std::nullopt;
  int64_t value = 0;
  for (size_t k = i; k < s.size(); ++k) {
    if (s[k] < '0' || s[k] > '9') return std::nullopt;
    value = value * 10 + (s[k] - '0');
  }
  if (i == 1) value = -value;
  if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
  if (std::to_string(value) != s) return std::nullopt;
  return static_cast<int32_t>(value);
}

}  // namespace

int32_t sizeTextValue(uint64_t size) { return static_cast<int32_t>(static_cast<uint32_t>(size)); }

std::string sizeText(uint64_t size) { return std::to_string(sizeTextValue(size)); }

DigestIndex::DigestIndex(const std::vector<DigestRow>& table) {
  for (uint32_t i = 0; i < table.size(); ++i) {
    byName_[table[i].fileName].push_back(i);
    if (const auto size = canonicalSize(table[i].size)) bySize_[*size].push_back(i);
  }
}

void DigestIndex::matches(const std::string& name, int32_t size, std::vector<uint32_t>* out) const {
  out->clear();
  const auto byName = byName_.find(name);
  const auto bySize = bySize_.find(size);
  const std::vector<uint32_t>* a = byName == byName_.end() ? nullptr : &byName->second;
  const std::vector<uint32_t>* b = bySize == bySize_.end() ? nullptr : &bySize->second;
  if (a && b) {
    // Both lists are in table order; a row in both counts once.
    std::set_union(a->begin(), a->end(), b->begin(), b->end(), std::back_inserter(*out));
  } else if (a || b) {
    *out = a ? *a : *b;
  }
}

}  // namespace scan
