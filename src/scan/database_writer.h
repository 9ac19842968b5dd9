// Writes a definition database: the inverse of DefinitionDatabase, for the
// database tool and for tests that need a database of their own.
#pragma once

#include <string>
#include <vector>

#include "scan/definition_database.h"

namespace scan {

struct DatabaseContent {
  std::string version;
  std::string info;
  std::vector<Definition> definitions;
  std::vector<DigestDefinition> digestDefinitions;
};

std::string fileItemRecord(const FileItem& item);
std::string registryItemRecord(const RegistryItem& item);
std::string digestItemRecord(const DigestItem& item);

// The INI text (CP949, records Base64) of `content`, definitions numbered
// from 1 in the order given.
std::string writeDatabase(const DatabaseContent& content);

// The longest record (in CP949 bytes) a reader gets back whole: a value is
// read into 260 bytes, and 259 Base64 characters carry 192 bytes.
inline constexpr size_t kMaxRecordBytes = 192;

}  // namespace scan
