// The definition database "torvane.ini": header facts, numbered definitions
// (files and registry entries of a malicious program) and numbered digest
// definitions (files known by their MD5). Records are Base64 of CP949 text;
// everything handed out here is UTF-8.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "scan/ini_file.h"

namespace scan {

// The location kinds of a file item, and the other kinds a finding can have.
namespace kind {
inline constexpr const char* kDesktop = "바탕화면";
inline constexpr const char* kProgramGroup = "프로그램그룹";
inline constexpr const char* kWindows = "윈도우";
inline constexpr const char* kSystem = "시스템";
inline constexpr const char* kFile = "파일";
inline constexpr const char* kFolder = "폴더";
inline constexpr const char* kMd5 = "MD5";
inline constexpr const char* kRegistryValue = "레지값";
inline constexpr const char* kRegistryKey = "레지키";
}  // namespace kind

// The size (or registry data) that matches anything.
inline constexpr const char* kAnySize = "default";
// The token of a desktop path that stands for the user's name.
inline constexpr const char* kUserNameToken = "사용자이름";

// Section and key names of the file.
namespace dbkey {
inline constexpr const char* kInfoSection = "DBINFO";
inline constexpr const char* kVersion = "Version";
inline constexpr const char* kInfo = "Info";
inline constexpr const char* kTotalCount = "TotalCount";
inline constexpr const char* kTotalCountMd5 = "TotalCountMD5";
inline constexpr const char* kCount = "Count";
inline constexpr const char* kDefinitionPrefix = "Torvane";
inline constexpr const char* kDigestPrefix = "TorvaneMD5";
inline constexpr const char* kName = "Name";
inline constexpr const char* kFileCount = "FileCount";
inline constexpr const char* kRegCount = "RegCount";
inline constexpr const char* kFilePrefix = "File";
inline constexpr const char* kRegPrefix = "Reg";
}  // namespace dbkey

inline constexpr const char* kDatabaseFileName = "torvane.ini";

struct FileItem {
  std::string path;
  std::string size;  // decimal bytes or "default"
  std::string kind;  // one of kind::*
  bool operator==(const FileItem&) const = default;
};

struct RegistryItem {
  std::string root;  // "HKEY_LOCAL_MACHINE", "HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER"
  std::string keyPath;
  std::string valueName;
  std::string data;  // or "default"
  std::string kind;  // "레지값" or "레지키"
  bool operator==(const RegistryItem&) const = default;
};

struct DigestItem {
  std::string fileName;
  std::string size;
  std::string digest;  // 32 hexadecimal digits, either case
  bool operator==(const DigestItem&) const = default;
};

// A record with fewer fields than its kind needs has no item (nullopt);
// fields past the needed ones are ignored.
std::optional<FileItem> parseFileItem(std::string_view record);
std::optional<RegistryItem> parseRegistryItem(std::string_view record);
std::optional<DigestItem> parseDigestItem(std::string_view record);

struct Definition {
  std::string name;
  std::string info;
  std::vector<FileItem> files;
  std::vector<RegistryItem> registryItems;
  int shortRecords = 0;  // records skipped for having too few fields
};

struct DigestDefinition {
  std::string name;
  std::string info;
  std::vector<DigestItem> items;
  int shortRecords = 0;
};

class DefinitionDatabase {
 public:
  DefinitionDatabase() = default;
  explicit DefinitionDatabase(IniFile ini) : ini_(std::move(ini)) {}
  // The file read through `files`; a missing file gives an empty database
  // (every count 0).
  static DefinitionDatabase load(platform::FileSystem& files, const std::string& path,
                                 bool* found = nullptr);

  std::string version() const;    // DBINFO "Version"
  std::string info() const;       // DBINFO "Info"
  std::string countText() const;  // TotalCount "Count" as stored

  // The number of definitions to walk: the stored count, but no further than
  // the last definition section the file holds (a hostile count of two
  // billion must not walk two billion empty sections).
  int definitionCount() const;
  int digestDefinitionCount() const;
  // The definitions to read: the numbers up to the count whose sections the
  // file holds, ascending. An absent section holds nothing, so walks take
  // these instead of every number up to the count.
  std::vector<int> definitionNumbers() const;
  std::vector<int> digestDefinitionNumbers() const;

  // Definition i (1-based), read and decoded. `withRegistry` false skips the
  // registry items (only the scan reads them).
  Definition definition(int i, bool withRegistry = true) const;
  DigestDefinition digestDefinition(int i) const;

  const IniFile& ini() const { return ini_; }
  // Sections and keys looked up so far by the readers: lets a test bound the
  // work a file costs.
  uint64_t lookups() const { return lookups_->load(std::memory_order_relaxed); }

 private:
  std::string decodedValue(IniFile::SectionId section, std::string_view key) const;
  IniFile::SectionId numberedSection(std::string_view prefix, int i) const;
  std::vector<int> itemNumbers(IniFile::SectionId section, std::string_view countKey,
                               std::string_view prefix) const;

  IniFile ini_;
  std::shared_ptr<std::atomic<uint64_t>> lookups_ = std::make_shared<std::atomic<uint64_t>>(0);
};

}  // namespace scan
