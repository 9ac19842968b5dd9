#include "scan/ini_file.h"

#include "common/text.h"

#include <algorithm>
#include <cstring>

namespace scan {
namespace {

unsigned char lowerAscii(unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; }

// The profile reader's blanks: white space and the DOS end-of-file mark.
bool isBlank(char c) {
  return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r' || c == '\n' || c == 0x1A;
}

std::string_view trimStart(std::string_view s) {
  while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
  return s;
}

std::string_view trimEnd(std::string_view s) {
  while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
  return s;
}

std::string_view trimBlanks(std::string_view s) { return trimEnd(trimStart(s)); }

uint64_t hashName(std::string_view name, uint64_t h = 1469598103934665603ull) {
  for (unsigned char c : name) h = (h ^ lowerAscii(c)) * 1099511628211ull;
  return h;
}

uint32_t keyHash(std::string_view key) { return static_cast<uint32_t>(hashName(key) >> 16); }

uint32_t bigSlotHash(uint32_t section, uint32_t key) {
  return (section * 0x9E3779B1u) ^ key;
}

// Names and values end at a NUL, as the C strings the reader compares.
std::string_view untilNul(std::string_view s) {
  const size_t nul = s.find('\0');
  return nul == std::string_view::npos ? s : s.substr(0, nul);
}

// Byte length of the first `chars` characters of CP949 text (a lead byte
// takes the byte after it), and the number of characters it holds.
struct Cp949Prefix {
  size_t bytes = 0;
  size_t chars = 0;
  size_t lastCharBytes = 0;
};
Cp949Prefix cp949Prefix(std::string_view s, size_t chars) {
  Cp949Prefix p;
  while (p.bytes < s.size() && p.chars < chars) {
    const unsigned char c = static_cast<unsigned char>(s[p.bytes]);
    p.lastCharBytes = c >= 0x81 && c <= 0xFE && p.bytes + 1 < s.size() ? 2 : 1;
    p.bytes += p.lastCharBytes;
    ++p.chars;
  }
  return p;
}

// What a profile-string read with a buffer of kMaxValueBytes + 1 returns for
// a stored value: a matching pair of quotes (single or double) is dropped,
// the text is cut to what the buffer holds (in characters, then in bytes for
// the ANSI form) and, when the closing quote would not have fitted, the
// reader still drops the last character it kept.
std::string_view profileText(std::string_view v, size_t maxBytes) {
  bool quoted = false;
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
    quoted = true;
    v.remove_prefix(1);
  }
  if (v.size() <= maxBytes) return quoted ? v.substr(0, v.size() - 1) : v;
  // The buffer holds maxBytes characters and the NUL.
  const size_t bufferChars = maxBytes + 1;
  const Cp949Prefix all = cp949Prefix(v, bufferChars + 1);
  Cp949Prefix kept = cp949Prefix(v, maxBytes);
  if (quoted && all.chars <= bufferChars) kept.bytes -= kept.lastCharBytes;
  const std::string_view wide = v.substr(0, kept.bytes);
  if (wide.size() <= maxBytes) return wide;
  // The ANSI form: at most maxBytes bytes, no half character.
  size_t bytes = 0;
  while (bytes < wide.size()) {
    const size_t next = bytes + cp949Prefix(wide.substr(bytes), 1).bytes;
    if (next > maxBytes) break;
    bytes = next;
  }
  return wide.substr(0, bytes);
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
  name = trimBlanks(name);
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

IniFile IniFile::load(platform::FileSystem& files, const std::string& path, bool* found) {
  std::string bytes;
  const bool ok = platform::readWholeFile(files, path, &bytes);
  if (found) *found = ok;
  return IniFile(std::move(bytes));
}

// Reads as the platform's profile reader does: lines end at any run of CR and
// LF; a header is "[" up to the line's last "]" (a line with no "]" after its
// "[" is an entry); names and values are trimmed of blanks and end at a NUL;
// entries before the first header belong to the section named ""; a section
// that appears again is not read again (lookups find its first occurrence).
void IniFile::parse() {
  std::string_view all = *text_;
  // Offsets are 32-bit; no real database comes near 4 GiB.
  if (all.size() > 0xFFFFFFFFu) return;
  if (all.substr(0, 3) == "\xEF\xBB\xBF") {
    // A UTF-8 file: its text is read as UTF-8 and answered in CP949.
    text_ = std::make_unique<const std::string>(text::utf8ToCp949(all.substr(3)));
    all = *text_;
  }
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
  uint32_t section = addSection({});
  bool reading = true;  // false in a section that appeared before
  size_t pos = 0;
  while (pos < all.size()) {
    const char* start = all.data() + pos;
    const size_t rest = all.size() - pos;
    const void* nl = std::memchr(start, '\n', rest);
    size_t length = nl ? static_cast<size_t>(static_cast<const char*>(nl) - start) : rest;
    if (const void* cr = std::memchr(start, '\r', length))
      length = static_cast<size_t>(static_cast<const char*>(cr) - start);
    pos += length + 1;
    const std::string_view line = trimBlanks(std::string_view(start, length));
    if (line.empty()) continue;
    if (line.front() == '[') {
      const size_t close = line.rfind(']');
      if (close != std::string_view::npos && close > 0) {
        const std::string_view name = untilNul(trimBlanks(line.substr(1, close - 1)));
        const size_t before = sections_.size();
        section = addSection(name);
        reading = sections_.size() > before;
        continue;
      }
    }
    if (!reading) continue;
    const size_t eq = line.find('=');
    const std::string_view key = untilNul(trimEnd(line.substr(0, eq)));
    const std::string_view value =
        eq == std::string_view::npos ? line.substr(line.size()) : trimStart(line.substr(eq + 1));
    Section& current = sections_[section];
    if (current.count == 0) current.first = static_cast<uint32_t>(entries_.size());
    ++current.count;
    entries_.push_back(Entry{keyHash(key), static_cast<uint32_t>(key.data() - base),
                             static_cast<uint32_t>(value.data() - base),
                             static_cast<uint32_t>(value.size()), static_cast<uint32_t>(key.size())});
  }
  indexBigSections();
}

std::string_view IniFile::value(std::string_view sectionName, std::string_view key) const {
  return value(section(sectionName), key);
}

std::string_view IniFile::value(SectionId section, std::string_view key) const {
  const Entry* entry = findEntry(section, trimBlanks(key));
  if (!entry) return {};
  const std::string_view stored =
      untilNul(std::string_view(*text_).substr(entry->valueOffset, entry->valueLength));
  return profileText(stored, kMaxValueBytes);
}

int IniFile::count(std::string_view sectionName, std::string_view key) const {
  return text::atoiLike(value(sectionName, key));
}

int IniFile::count(SectionId section, std::string_view key) const {
  return text::atoiLike(value(section, key));
}

bool IniFile::has(std::string_view sectionName, std::string_view key) const {
  return findEntry(section(sectionName), trimBlanks(key)) != nullptr;
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
