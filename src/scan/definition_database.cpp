#include "scan/definition_database.h"

#include <algorithm>

#include "common/text.h"
#include "scan/base64_decoder.h"

namespace scan {

std::optional<FileItem> parseFileItem(std::string_view record) {
  std::vector<std::string> f = text::split(record, '#');
  if (f.size() < 3) return std::nullopt;
  return FileItem{std::move(f[0]), std::move(f[1]), std::move(f[2])};
}

std::optional<RegistryItem> parseRegistryItem(std::string_view record) {
  std::vector<std::string> f = text::split(record, '#');
  if (f.size() < 5) return std::nullopt;
  return RegistryItem{std::move(f[0]), std::move(f[1]), std::move(f[2]), std::move(f[3]),
                      std::move(f[4])};
}

std::optional<DigestItem> parseDigestItem(std::string_view record) {
  std::vector<std::string> f = text::split(record, '#');
  if (f.size() < 3) return std::nullopt;
  return DigestItem{std::move(f[0]), std::move(f[1]), std::move(f[2])};
}

DefinitionDatabase DefinitionDatabase::load(platform::FileSystem& files, const std::string& path,
                                            bool* found) {
  return DefinitionDatabase(IniFile::load(files, path, found));
}

std::string DefinitionDatabase::version() const {
  return text::cp949ToUtf8(ini_.value(dbkey::kInfoSection, dbkey::kVersion));
}

std::string DefinitionDatabase::info() const {
  return text::cp949ToUtf8(ini_.value(dbkey::kInfoSection, dbkey::kInfo));
}

std::string DefinitionDatabase::countText() const {
  return text::cp949ToUtf8(ini_.value(dbkey::kTotalCount, dbkey::kCount));
}

int DefinitionDatabase::definitionCount() const {
  return std::min(ini_.count(dbkey::kTotalCount, dbkey::kCount),
                  ini_.highestSectionIndex(dbkey::kDefinitionPrefix));
}

int DefinitionDatabase::digestDefinitionCount() const {
  return std::min(ini_.count(dbkey::kTotalCountMd5, dbkey::kCount),
                  ini_.highestSectionIndex(dbkey::kDigestPrefix));
}

std::vector<int> DefinitionDatabase::definitionNumbers() const {
  return ini_.sectionNumbers(dbkey::kDefinitionPrefix, definitionCount());
}

std::vector<int> DefinitionDatabase::digestDefinitionNumbers() const {
  return ini_.sectionNumbers(dbkey::kDigestPrefix, digestDefinitionCount());
}

IniFile::SectionId DefinitionDatabase::numberedSection(std::string_view prefix, int i) const {
  lookups_->fetch_add(1, std::memory_order_relaxed);
  return ini_.section(std::string(prefix) + std::to_string(i));
}

std::string DefinitionDatabase::decodedValue(IniFile::SectionId section, std::string_view key) const {
  lookups_->fetch_add(1, std::memory_order_relaxed);
  std::string bytes = decodeBase64(ini_.value(section, key));
  return text::isAscii(bytes) ? bytes : text::cp949ToUtf8(bytes);
}

// Keys past the count are never read; keys absent below it hold no record.
std::vector<int> DefinitionDatabase::itemNumbers(IniFile::SectionId section, std::string_view countKey,
                                                 std::string_view prefix) const {
  return ini_.keyNumbers(section, prefix, ini_.count(section, countKey));
}

Definition DefinitionDatabase::definition(int i, bool withRegistry) const {
  const IniFile::SectionId section = numberedSection(dbkey::kDefinitionPrefix, i);
  Definition d;
  d.name = decodedValue(section, dbkey::kName);
  d.info = decodedValue(section, dbkey::kInfo);
  for (int j : itemNumbers(section, dbkey::kFileCount, dbkey::kFilePrefix)) {
    if (auto item = parseFileItem(decodedValue(section, dbkey::kFilePrefix + std::to_string(j))))
      d.files.push_back(std::move(*item));
    else
      ++d.shortRecords;
  }
  if (!withRegistry) return d;
  for (int j : itemNumbers(section, dbkey::kRegCount, dbkey::kRegPrefix)) {
    if (auto item = parseRegistryItem(decodedValue(section, dbkey::kRegPrefix + std::to_string(j))))
      d.registryItems.push_back(std::move(*item));
    else
      ++d.shortRecords;
  }
  return d;
}

DigestDefinition DefinitionDatabase::digestDefinition(int i) const {
  const IniFile::SectionId section = numberedSection(dbkey::kDigestPrefix, i);
  DigestDefinition d;
  d.name = decodedValue(section, dbkey::kName);
  d.info = decodedValue(section, dbkey::kInfo);
  for (int j : itemNumbers(section, dbkey::kFileCount, dbkey::kFilePrefix)) {
    if (auto item = parseDigestItem(decodedValue(section, dbkey::kFilePrefix + std::to_string(j))))
      d.items.push_back(std::move(*item));
    else
      ++d.shortRecords;
  }
  return d;
}

}  // namespace scan
