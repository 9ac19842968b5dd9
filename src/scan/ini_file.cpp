#include "scan/ini_file.h"

#include "common/file_io.h"
#include "common/text.h"

#include <algorithm>

namespace scan {
namespace {

unsigned char lowerAscii(unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; }

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }

std::string_view trimBlanks(std::string_view s) {
  while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && (isBlank(s.back()) || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

}  // namespace

size_t IniFile::NameHash::operator()(const Name& n) const {
  // FNV-1a over both names, lower-cased, with a separator between them.
  uint64_t h = 1469598103934665603ull;
  for (unsigned char c : n.section) h = (h ^ lowerAscii(c)) * 1099511628211ull;
  h = (h ^ 0xFF) * 1099511628211ull;
  for (unsigned char c : n.key) h = (h ^ lowerAscii(c)) * 1099511628211ull;
  return static_cast<size_t>(h);
}

bool IniFile::NameEqual::operator()(const Name& a, const Name& b) const {
  return text::equalsIgnoreCaseAscii(a.section, b.section) &&
         text::equalsIgnoreCaseAscii(a.key, b.key);
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
  entries_.reserve(all.size() / 24);
  std::string_view section;
  SectionKeys* sectionKeys = nullptr;
  bool inSection = false;
  size_t pos = 0;
  while (pos < all.size()) {
    size_t end = all.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = all.size();
    const std::string_view line = trimBlanks(all.substr(pos, end - pos));
    pos = end + 1;
    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[') {
      const size_t close = line.find(']');
      if (close == std::string_view::npos) continue;
      section = trimBlanks(line.substr(1, close - 1));
      sectionKeys = &sections_[text::toLowerAscii(section)];
      if (sectionKeys->name.empty()) sectionKeys->name = section;
      inSection = true;
      continue;
    }
    if (!inSection) continue;
    const size_t eq = line.find('=');
    const std::string_view key = trimBlanks(line.substr(0, eq));
    if (key.empty()) continue;
    std::string_view value =
        eq == std::string_view::npos ? std::string_view() : trimBlanks(line.substr(eq + 1));
    // The profile reader drops one pair of double quotes around a value.
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
      value = value.substr(1, value.size() - 2);
    if (entries_.emplace(Name{section, key}, value).second)  // the first occurrence wins
      sectionKeys->keys.push_back(key);
  }
}

std::string_view IniFile::value(std::string_view section, std::string_view key) const {
  const auto it = entries_.find(Name{section, key});
  if (it == entries_.end()) return {};
  return it->second.substr(0, kMaxValueBytes);
}

int IniFile::count(std::string_view section, std::string_view key) const {
  return text::atoiLike(value(section, key));
}

bool IniFile::has(std::string_view section, std::string_view key) const {
  return entries_.count(Name{section, key}) != 0;
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
  int highest = 0;
  for (const auto& [lower, section] : sections_)
    highest = std::max(highest, indexAfter(section.name, prefix));
  return highest;
}

int IniFile::highestKeyIndex(std::string_view section, std::string_view prefix) const {
  const auto it = sections_.find(text::toLowerAscii(section));
  if (it == sections_.end()) return 0;
  int highest = 0;
  for (std::string_view key : it->second.keys) highest = std::max(highest, indexAfter(key, prefix));
  return highest;
}

}  // namespace scan
