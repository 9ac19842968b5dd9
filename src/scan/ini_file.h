// An INI text read once and answered many times, the way the profile-string
// reader of Windows answers: section and key names match without regard to
// ASCII case, a value is its raw text cut to 259 bytes, anything missing reads
// as the empty text. Values are the file's own bytes (CP949 for our files).
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace scan {

class IniFile {
 public:
  // Bytes of a value that a 260-byte profile-string buffer can hold.
  static constexpr size_t kMaxValueBytes = 259;

  IniFile() = default;
  explicit IniFile(std::string text);
  IniFile(const IniFile&) = delete;
  IniFile& operator=(const IniFile&) = delete;
  IniFile(IniFile&&) = default;
  IniFile& operator=(IniFile&&) = default;

  // A missing or unreadable file gives an empty IniFile; *found says which.
  static IniFile load(std::string_view path, bool* found = nullptr);

  // The raw value, cut to kMaxValueBytes; empty when absent.
  std::string_view value(std::string_view section, std::string_view key) const;
  // The value read as a count, like C atoi (0 when it is not a number).
  int count(std::string_view section, std::string_view key) const;
  bool has(std::string_view section, std::string_view key) const;

  // The highest n for which a section named prefix + n exists (n decimal,
  // without leading zeros, as the database numbers its sections); 0 if none.
  int highestSectionIndex(std::string_view prefix) const;
  // The same for the keys prefix + n of one section.
  int highestKeyIndex(std::string_view section, std::string_view prefix) const;

 private:
  struct Name {
    std::string_view section;
    std::string_view key;
  };
  struct NameHash {
    size_t operator()(const Name& n) const;
  };
  struct NameEqual {
    bool operator()(const Name& a, const Name& b) const;
  };

  void parse();
  static int indexAfter(std::string_view name, std::string_view prefix);

  struct SectionKeys {
    std::string_view name;
    std::vector<std::string_view> keys;
  };

  // Held on the heap so that the entries' views survive a move.
  std::unique_ptr<const std::string> text_;
  std::unordered_map<Name, std::string_view, NameHash, NameEqual> entries_;
  std::unordered_map<std::string, SectionKeys> sections_;  // by lower-case name
};

}  // namespace scan
