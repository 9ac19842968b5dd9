#include "scan/ini_file.h"

#include "common/file_io.h"
#include "common/text.h"

#include <algorithm>
#include <cstring>

namespace scan {
namespace {

unsigned char lowerAscii(unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; }

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }

std::string_view trimBlanks(std::string_view s) {
  while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && (isBlank(s.back()) || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

uint64_t hashName(std::string_view name, uint64_t h = 1469598103934665603ull) {
  for (unsigned char c : name) h = (h ^ lowerAscii(c)) * 1099511628211ull;
  return h;
}

uint32_t keyHash(std::string_view key) { return static_cast<uint32_t>(hashName(key) >> 16); }

uint32_t bigSlotHash(uint32_t section, uint32_t key) {
  return (section * 0x9E3779B1u) ^ key;
}

}  // namespace

uint32_t IniFile::findSection(std::string_view name, uint64_t hash) const {
  if (sectionSlots_.empty()) return kEmpty;
  const size_t mask = sectionSlots_.size() - 1;
  for (size_t i = hash & mask;; i = (i + 1) & mask) {
    const SectionSlot& slot = sectionSlots_[i];
    if (slot.index == kEmpty) return kEmpty;
    if (slot.hash == hash && text::equalsIgnoreCaseAscii(sections_[slot.index].name, name))
      return slot.index;
  }
}

void IniFile::growSections() {
  std::vector<SectionSlot> old = std::move(sectionSlots_);
  sectionSlots_.assign(old.empty() ? 64 : old.size() * 2, SectionSlot{});
  const size_t mask = sectionSlots_.size() - 1;
  for (const SectionSlot& slot : old) {
    if (slot.index == kEmpty) continue;
    size_t i = slot.hash & mask;
    while (sectionSlots_[i].index != kEmpty) i = (i + 1) & mask;
    sectionSlots_[i] = slot;
  }
}

uint32_t IniFile::addSection(std::string_view name) {
  const uint64_t hash = hashName(name);
  if (const uint32_t found = findSection(name, hash); found != kEmpty) return found;
  if ((sections_.size() + 1) * 2 > sectionSlots_.size()) growSections();
  const uint32_t index = static_cast<uint32_t>(sections_.size());
  sections_.push_back(Section{name, 0, 0});
  const size_t mask = sectionSlots_.size() - 1;
  size_t i = hash & mask;
  while (sectionSlots_[i].index != kEmpty) i = (i + 1) & mask;
  sectionSlots_[i] = SectionSlot{hash, index};
  return index;
}

std::string_view IniFile::keyOf(const Entry& entry) const {
  return std::string_view(*text_).substr(entry.keyOffset, entry.keyLength);
}

// Orders the entries by section (a counting sort, so the file order within a
// section stays) and records each section's range.
void IniFile::groupEntries(std::vector<uint32_t>& sectionOfEntry) {
  for (Section& section : sections_) section.count = 0;
  for (uint32_t s : sectionOfEntry) ++sections_[s].count;
  uint32_t next = 0;
  for (Section& section : sections_) {
    section.first = next;
    next += section.count;
  }
  std::vector<Entry> grouped(entries_.size());
  std::vector<uint32_t> fill(sections_.size(), 0);
  for (size_t i = 0; i < entries_.size(); ++i) {
    const uint32_t s = sectionOfEntry[i];
    grouped[sections_[s].first + fill[s]++] = entries_[i];
  }
  entries_ = std::move(grouped);
}

// A hash table over the entries of the sections with many keys, so that no
// lookup walks a long section. Only the first of equal keys is entered.
void IniFile::indexBigSections() {
  size_t bigEntries = 0;
  for (const Section& section : sections_)
    if (section.count > kLinearKeys) bigEntries += section.count;
  if (bigEntries == 0) return;
  size_t slots = 64;
  while (slots < bigEntries * 2) slots *= 2;
  bigSlots_.assign(slots, BigEntrySlot{});
  const size_t mask = slots - 1;
  for (uint32_t s = 0; s < sections_.size(); ++s) {
    const Section& section = sections_[s];
    if (section.count <= kLinearKeys) continue;
    for (uint32_t e = section.first; e < section.first + section.count; ++e) {
      const uint32_t hash = bigSlotHash(s, entries_[e].keyHash);
      size_t i = hash & mask;
      bool duplicate = false;
      for (; bigSlots_[i].entry != kEmpty; i = (i + 1) & mask) {
        const BigEntrySlot& slot = bigSlots_[i];
        if (slot.hash == hash && slot.entry >= section.first &&
            slot.entry < section.first + section.count &&
            text::equalsIgnoreCaseAscii(keyOf(entries_[slot.entry]), keyOf(entries_[e]))) {
          duplicate = true;
          break;
        }
      }
      if (!duplicate) bigSlots_[i] = BigEntrySlot{hash, e};
    }
  }
}

IniFile::SectionId IniFile::section(std::string_view name) const {
  return findSection(name, hashName(name));
}

const IniFile::Entry* IniFile::findEntry(SectionId index, std::string_view key) const {
  if (index >= sections_.size()) return nullptr;
  const Section& section = sections_[index];
  const uint32_t hash = keyHash(key);
  if (section.count <= kLinearKeys) {
    // The first of equal keys in file order wins.
    for (uint32_t e = section.first; e < section.first + section.count; ++e) {
      const Entry& entry = entries_[e];
      if (entry.keyHash == hash && text::equalsIgnoreCaseAscii(keyOf(entry), key)) return &entry;
    }
    return nullptr;
  }
  const uint32_t slotHash = bigSlotHash(index, hash);
  const size_t mask = bigSlots_.size() - 1;
  for (size_t i = slotHash & mask;; i = (i + 1) & mask) {
    const BigEntrySlot& slot = bigSlots_[i];
    if (slot.entry == kEmpty) return nullptr;
    if (slot.hash == slotHash && slot.entry >= section.first &&
        slot.entry < section.first + section.count &&
        text::equalsIgnoreCaseAscii(keyOf(entries_[slot.entry]), key))
      return &entries_[slot.entry];
  }
}

IniFile::IniFile(std::string text)
    : text_(std::make_unique<const std::string>(std::move(text))) {
  parse();
}

IniFile IniFile::load(std::string_view path, bool* found) {
  std::string bytes;
  const bool ok = fileio::readWholeFile(path, &bytes);
  if (found) *found = ok;
  return IniFile(std::move(bytes));
}

void IniFile::parse() {
  std::string_view all = *text_;
  // Offsets are 32-bit; no real database comes near 4 GiB.
  if (all.size() > 0xFFFFFFFFu) return;
  if (all.substr(0, 3) == "\xEF\xBB\xBF") all.remove_prefix(3);
  const char* base = text_->data();
  // Every line may be an entry: size the arrays once.
  size_t lines = 1, headers = 1;
  for (const char* p = all.data(), *e = all.data() + all.size();
       (p = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(e - p)))); ++p) {
    ++lines;
    if (p + 1 < e && p[1] == '[') ++headers;
  }
  entries_.reserve(lines);
  // Lines that open with "[" need not be sections; a hostile file of them
  // gets no more than a large real database would.
  headers = std::min<size_t>(headers, 1 << 20);
  sections_.reserve(headers);
  size_t slots = 64;
  while (slots < headers * 2) slots *= 2;
  sectionSlots_.assign(slots, SectionSlot{});
  // Each section's entries usually stand together in the file; only when a
  // section comes back after another is the section of every entry kept, to
  // group them afterwards.
  std::vector<uint32_t> sectionOfEntry;
  bool grouped = true;
  uint32_t previous = kEmpty;
  uint32_t section = kEmpty;
  size_t pos = 0;
  while (pos < all.size()) {
    // Lines end in "\n" or "\r\n"; trimBlanks drops the "\r".
    const void* nl = std::memchr(all.data() + pos, '\n', all.size() - pos);
    const size_t end = nl ? static_cast<size_t>(static_cast<const char*>(nl) - all.data()) : all.size();
    const std::string_view line = trimBlanks(all.substr(pos, end - pos));
    pos = end + 1;
    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[') {
      const size_t close = line.find(']');
      if (close == std::string_view::npos) continue;
      section = addSection(trimBlanks(line.substr(1, close - 1)));
      continue;
    }
    if (section == kEmpty) continue;
    const size_t eq = line.find('=');
    const std::string_view key = trimBlanks(line.substr(0, eq));
    if (key.empty()) continue;
    std::string_view value =
        eq == std::string_view::npos ? line.substr(line.size()) : trimBlanks(line.substr(eq + 1));
    // The profile reader drops one pair of double quotes around a value.
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
      value = value.substr(1, value.size() - 2);
    if (section != previous) {
      if (grouped && sections_[section].count > 0) {
        grouped = false;
        sectionOfEntry.assign(entries_.size(), 0);
        for (uint32_t s = 0; s < sections_.size(); ++s)
          std::fill_n(sectionOfEntry.begin() + sections_[s].first, sections_[s].count, s);
      }
      previous = section;
    }
    if (grouped) {
      Section& current = sections_[section];
      if (current.count == 0) current.first = static_cast<uint32_t>(entries_.size());
      ++current.count;
    } else {
      sectionOfEntry.push_back(section);
    }
    entries_.push_back(Entry{keyHash(key), static_cast<uint32_t>(key.data() - base),
                             static_cast<uint32_t>(value.data() - base),
                             static_cast<uint32_t>(value.size()), static_cast<uint32_t>(key.size())});
  }
  if (!grouped) groupEntries(sectionOfEntry);
  indexBigSections();
}

std::string_view IniFile::value(std::string_view sectionName, std::string_view key) const {
  return value(section(sectionName), key);
}

std::string_view IniFile::value(SectionId section, std::string_view key) const {
  const Entry* entry = findEntry(section, key);
  if (!entry) return {};
  return std::string_view(*text_).substr(entry->valueOffset,
                                         std::min<size_t>(entry->valueLength, kMaxValueBytes));
}

int IniFile::count(std::string_view sectionName, std::string_view key) const {
  return text::atoiLike(value(sectionName, key));
}

int IniFile::count(SectionId section, std::string_view key) const {
  return text::atoiLike(value(section, key));
}

bool IniFile::has(std::string_view sectionName, std::string_view key) const {
  return findEntry(section(sectionName), key) != nullptr;
}

int IniFile::indexAfter(std::string_view name, std::string_view prefix) {
  if (name.size() <= prefix.size() || name.size() > prefix.size() + 9) return 0;
  if (!text::equalsIgnoreCaseAscii(name.substr(0, prefix.size()), prefix)) return 0;
  const std::string_view digits = name.substr(prefix.size());
  if (digits.front() == '0') return 0;
  int n = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return 0;
    n = n * 10 + (c - '0');
  }
  return n;
}

namespace {

std::vector<int> ascendingDistinct(std::vector<int> numbers) {
  std::sort(numbers.begin(), numbers.end());
  numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
  return numbers;
}

}  // namespace

std::vector<int> IniFile::sectionNumbers(std::string_view prefix, int limit) const {
  std::vector<int> numbers;
  for (const Section& section : sections_)
    if (const int n = indexAfter(section.name, prefix); n > 0 && n <= limit) numbers.push_back(n);
  return ascendingDistinct(std::move(numbers));
}

std::vector<int> IniFile::keyNumbers(SectionId index, std::string_view prefix, int limit) const {
  std::vector<int> numbers;
  if (index >= sections_.size()) return numbers;
  const Section& section = sections_[index];
  for (uint32_t e = section.first; e < section.first + section.count; ++e)
    if (const int n = indexAfter(keyOf(entries_[e]), prefix); n > 0 && n <= limit) numbers.push_back(n);
  return ascendingDistinct(std::move(numbers));
}

int IniFile::highestSectionIndex(std::string_view prefix) const {
  int highest = 0;
  for (const Section& section : sections_) highest = std::max(highest, indexAfter(section.name, prefix));
  return highest;
}

int IniFile::highestKeyIndex(std::string_view sectionName, std::string_view prefix) const {
  return highestKeyIndex(section(sectionName), prefix);
}

int IniFile::highestKeyIndex(SectionId index, std::string_view prefix) const {
  if (index >= sections_.size()) return 0;
  const Section& section = sections_[index];
  int highest = 0;
  for (uint32_t e = section.first; e < section.first + section.count; ++e)
    highest = std::max(highest, indexAfter(keyOf(entries_[e]), prefix));
  return highest;
}

}  // namespace scan
