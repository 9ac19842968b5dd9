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

uint64_t entryHash(uint64_t sectionHash, std::string_view key) {
  return hashName(key, (sectionHash ^ 0xFF) * 1099511628211ull);
}

}  // namespace

// Records every way the name reads as stem + number: "TorvaneMD51" is both
// "TorvaneMD5" 1 and "TorvaneMD" 51. Numbers have no leading zeros.
void IniFile::noteSectionNumber(std::string_view name) {
  size_t digits = 0;
  while (digits < name.size() && digits < 9 && name[name.size() - 1 - digits] >= '0' &&
         name[name.size() - 1 - digits] <= '9')
    ++digits;
  for (size_t k = 1; k <= digits; ++k) {
    const std::string_view number = name.substr(name.size() - k);
    if (number.front() == '0') continue;
    int n = 0;
    for (char c : number) n = n * 10 + (c - '0');
    int& highest = highestByStem_[text::toLowerAscii(name.substr(0, name.size() - k))];
    highest = std::max(highest, n);
  }
}

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
  sections_.push_back(Section{name, {}});
  sectionHashes_.push_back(hash);
  const size_t mask = sectionSlots_.size() - 1;
  size_t i = hash & mask;
  while (sectionSlots_[i].index != kEmpty) i = (i + 1) & mask;
  sectionSlots_[i] = SectionSlot{hash, index};
  noteSectionNumber(name);
  return index;
}

std::string_view IniFile::keyOf(const EntrySlot& slot) const {
  return std::string_view(*text_).substr(slot.keyOffset, slot.keyLength);
}

void IniFile::growEntries(size_t slots) {
  std::vector<EntrySlot> old = std::move(entrySlots_);
  entrySlots_.assign(slots, EntrySlot{});
  const size_t mask = entrySlots_.size() - 1;
  for (const EntrySlot& slot : old) {
    if (slot.section == kEmpty) continue;
    size_t i = slot.hash & mask;
    while (entrySlots_[i].section != kEmpty) i = (i + 1) & mask;
    entrySlots_[i] = slot;
  }
}

void IniFile::addEntry(uint32_t section, std::string_view key, std::string_view value) {
  if (key.size() > 0xFFFF || text_->size() > 0xFFFFFFFFu) return;  // no real file has these
  if ((entryCount_ + 1) * 2 > entrySlots_.size())
    growEntries(entrySlots_.empty() ? 256 : entrySlots_.size() * 2);
  const uint32_t hash = static_cast<uint32_t>(entryHash(sectionHashes_[section], key));
  const size_t mask = entrySlots_.size() - 1;
  size_t i = hash & mask;
  for (; entrySlots_[i].section != kEmpty; i = (i + 1) & mask) {
    const EntrySlot& slot = entrySlots_[i];
    if (slot.hash == hash && slot.section == section && text::equalsIgnoreCaseAscii(keyOf(slot), key))
      return;  // the first occurrence wins
  }
  const char* base = text_->data();
  entrySlots_[i] = EntrySlot{hash, section, static_cast<uint32_t>(key.data() - base),
                             static_cast<uint32_t>(value.data() - base),
                             static_cast<uint32_t>(value.size()), static_cast<uint16_t>(key.size())};
  ++entryCount_;
  sections_[section].keys.push_back(key);
}

const IniFile::EntrySlot* IniFile::findEntry(std::string_view section, std::string_view key) const {
  if (entrySlots_.empty()) return nullptr;
  const uint64_t sectionHash = hashName(section);
  const uint32_t index = findSection(section, sectionHash);
  if (index == kEmpty) return nullptr;
  const uint32_t hash = static_cast<uint32_t>(entryHash(sectionHash, key));
  const size_t mask = entrySlots_.size() - 1;
  for (size_t i = hash & mask;; i = (i + 1) & mask) {
    const EntrySlot& slot = entrySlots_[i];
    if (slot.section == kEmpty) return nullptr;
    if (slot.hash == hash && slot.section == index && text::equalsIgnoreCaseAscii(keyOf(slot), key))
      return &slot;
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
  if (all.substr(0, 3) == "\xEF\xBB\xBF") all.remove_prefix(3);
  // Size the entry table for the file once: every line may be an entry.
  size_t lines = 1;
  for (const char* p = all.data(), *e = all.data() + all.size();
       (p = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(e - p)))); ++p)
    ++lines;
  size_t slots = 256;
  while (slots < lines * 2) slots *= 2;
  growEntries(slots);
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
    addEntry(section, key, value);
  }
}

std::string_view IniFile::value(std::string_view section, std::string_view key) const {
  const EntrySlot* entry = findEntry(section, key);
  if (!entry) return {};
  return std::string_view(*text_).substr(entry->valueOffset,
                                         std::min<size_t>(entry->valueLength, kMaxValueBytes));
}

int IniFile::count(std::string_view section, std::string_view key) const {
  return text::atoiLike(value(section, key));
}

bool IniFile::has(std::string_view section, std::string_view key) const {
  return findEntry(section, key) != nullptr;
}

}  // namespace scan

namespace scan {

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

int IniFile::highestSectionIndex(std::string_view prefix) const {
  const auto it = highestByStem_.find(text::toLowerAscii(prefix));
  return it == highestByStem_.end() ? 0 : it->second;
}

int IniFile::highestKeyIndex(std::string_view section, std::string_view prefix) const {
  const uint32_t index = findSection(section, hashName(section));
  if (index == kEmpty) return 0;
  int highest = 0;
  for (std::string_view key : sections_[index].keys) highest = std::max(highest, indexAfter(key, prefix));
  return highest;
}

}  // namespace scan
