#include "scan/digest_index.h"

#include <optional>

namespace scan {
namespace {

// The number a size text stands for, when it is written exactly as
// std::to_string(int32_t) would write it; only such texts can equal a
// file's size text.
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

uint64_t hashText(const std::string& s) {
  uint64_t h = 1469598103934665603ull;
  for (unsigned char c : s) h = (h ^ c) * 1099511628211ull;
  return h;
}

uint64_t hashSize(int32_t size) {
  return (static_cast<uint64_t>(static_cast<uint32_t>(size)) + 1) * 0x9E3779B97F4A7C15ull;
}

size_t slotCountFor(size_t rows) {
  size_t slots = 16;
  while (slots < rows * 2) slots *= 2;
  return slots;
}

}  // namespace

int32_t sizeTextValue(uint64_t size) { return static_cast<int32_t>(static_cast<uint32_t>(size)); }

std::string sizeText(uint64_t size) { return std::to_string(sizeTextValue(size)); }

DigestIndex::DigestIndex(const std::vector<DigestRow>& table)
    : table_(table),
      nameSlots_(slotCountFor(table.size())),
      sizeSlots_(slotCountFor(table.size())),
      nextByName_(table.size(), kNone),
      nextBySize_(table.size(), kNone) {
  // From the last row to the first, each row goes in front of its key's
  // chain, so every chain ends up in table order.
  const size_t nameMask = nameSlots_.size() - 1, sizeMask = sizeSlots_.size() - 1;
  for (uint32_t row = static_cast<uint32_t>(table.size()); row-- > 0;) {
    const uint64_t h = hashText(table[row].fileName);
    size_t i = h & nameMask;
    while (nameSlots_[i].first != kNone &&
           !(nameSlots_[i].hash == h && table[nameSlots_[i].first].fileName == table[row].fileName))
      i = (i + 1) & nameMask;
    nextByName_[row] = nameSlots_[i].first;
    nameSlots_[i] = Slot{h, row};

    const auto size = canonicalSize(table[row].size);
    if (!size) continue;
    const uint64_t key = static_cast<uint32_t>(*size);
    size_t k = hashSize(*size) & sizeMask;
    while (sizeSlots_[k].first != kNone && sizeSlots_[k].hash != key) k = (k + 1) & sizeMask;
    nextBySize_[row] = sizeSlots_[k].first;
    sizeSlots_[k] = Slot{key, row};
  }
}

uint32_t DigestIndex::firstByName(const std::string& name, uint64_t hash) const {
  const size_t mask = nameSlots_.size() - 1;
  for (size_t i = hash & mask;; i = (i + 1) & mask) {
    const Slot& slot = nameSlots_[i];
    if (slot.first == kNone) return kNone;
    if (slot.hash == hash && table_[slot.first].fileName == name) return slot.first;
  }
}

uint32_t DigestIndex::firstBySize(int32_t size) const {
  const uint64_t key = static_cast<uint32_t>(size);
  const size_t mask = sizeSlots_.size() - 1;
  for (size_t i = hashSize(size) & mask;; i = (i + 1) & mask) {
    const Slot& slot = sizeSlots_[i];
    if (slot.first == kNone) return kNone;
    if (slot.hash == key) return slot.first;
  }
}

void DigestIndex::matches(const std::string& name, int32_t size, std::vector<uint32_t>* out) const {
  out->clear();
  uint32_t a = firstByName(name, hashText(name));
  uint32_t b = firstBySize(size);
  // Both chains run in table order; a row on both counts once.
  while (a != kNone || b != kNone) {
    if (b == kNone || (a != kNone && a < b)) {
      out->push_back(a);
      a = nextByName_[a];
    } else if (a == kNone || b < a) {
      out->push_back(b);
      b = nextBySize_[b];
    } else {
      out->push_back(a);
      a = nextByName_[a];
      b = nextBySize_[b];
    }
  }
}

}  // namespace scan
