// An INI text read once and answered many times, exactly as the profile-string
// reader of Windows (GetPrivateProfileStringA, 260-byte buffer) answers: see
// parse() for how lines are read. Section and key names match without regard
// to ASCII case; a value loses a matching pair of quotes and is cut to 259
// bytes; anything missing reads as the empty text. Values are the file's own
// bytes (CP949 for our files).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"

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

  // The file read through `files`. A missing or unreadable file gives an
  // empty IniFile; *found says which.
  static IniFile load(platform::FileSystem& files, const std::string& path, bool* found = nullptr);

  // A section found once, for several lookups in it.
  using SectionId = uint32_t;
  static constexpr SectionId kNoSection = 0xFFFFFFFFu;
  SectionId section(std::string_view name) const;

  // The raw value, cut to kMaxValueBytes; empty when absent.
  std::string_view value(std::string_view section, std::string_view key) const;
  std::string_view value(SectionId section, std::string_view key) const;
  int count(SectionId section, std::string_view key) const;
  int highestKeyIndex(SectionId section, std::string_view prefix) const;
  // The value read as a count, like C atoi (0 when it is not a number).
  int count(std::string_view section, std::string_view key) const;
  bool has(std::string_view section, std::string_view key) const;

  size_t sectionCount() const { return sections_.size(); }

  // The highest n for which a section named prefix + n exists (n decimal,
  // without leading zeros, as the database numbers its sections); 0 if none.
  int highestSectionIndex(std::string_view prefix) const;
  // The same for the keys prefix + n of one section.
  int highestKeyIndex(std::string_view section, std::string_view prefix) const;

  // Every n from 1 to `limit` for which a section prefix + n exists, in
  // ascending order, each once; the same for the keys of one section. Walks
  // over these cost what the file holds, whatever its counts say.
  std::vector<int> sectionNumbers(std::string_view prefix, int limit) const;
  std::vector<int> keyNumbers(SectionId section, std::string_view prefix, int limit) const;

 private:
  // Entries are kept in one array grouped by section (a section is read only
  // where it first appears, so its entries stand together), in file order, so
  // a lookup reads a few neighbouring records; the few sections with many
  // keys get a hash table of their own entries.
  struct Section {
    std::string_view name;
    uint32_t first = 0;  // into entries_
    uint32_t count = 0;
  };
  struct Entry {  // offsets into text_ rather than views: 20 bytes
    uint32_t keyHash = 0;
    uint32_t keyOffset = 0;
    uint32_t valueOffset = 0;
    uint32_t valueLength = 0;
    uint32_t keyLength = 0;
  };
  struct SectionSlot {
    uint64_t hash = 0;
    uint32_t index = kEmpty;  // into sections_
  };
  struct BigEntrySlot {
    uint32_t hash = 0;
    uint32_t entry = kEmpty;  // into entries_
  };
  static constexpr uint32_t kEmpty = 0xFFFFFFFFu;
  // Sections with more keys than this are looked up through bigSlots_.
  static constexpr uint32_t kLinearKeys = 16;

  void parse();
  uint32_t findSection(std::string_view name, uint64_t hash) const;
  uint32_t addSection(std::string_view name);
  void growSections();
  void indexBigSections();
  const Entry* findEntry(SectionId section, std::string_view key) const;
  std::string_view keyOf(const Entry& entry) const;
  static int indexAfter(std::string_view name, std::string_view prefix);

  // Held on the heap so that the views survive a move.
  std::unique_ptr<const std::string> text_;
  std::vector<Section> sections_;
  std::vector<SectionSlot> sectionSlots_;
  std::vector<Entry> entries_;
  std::vector<BigEntrySlot> bigSlots_;
};

}  // namespace scan
