// The in-memory tables built from the database at start-up: the process
// table and the digest table of the main program. Each table holds its newest row first (rows are inserted at the top).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "common/work_flags.h"
#include "scan/definition_database.h"
#include "scan/item_path.h"

namespace scan {

struct ProcessDefinitionRow {  // list control 1026
  std::string fileName;  // "파일이름"
  std::string name;      // "이름"
  std::string path;      // "항목": the expanded path
  std::string type;      // "종류"
  std::string kind;      // "기타": the location kind
  bool operator==(const ProcessDefinitionRow&) const = default;
};

struct DigestRow {  // list control 1028
  std::string fileName;  // "파일이름"
  std::string name;      // "이름"
  std::string type;      // "종류"
  std::string digest;    // "MD5"
  std::string size;      // "크기"
  bool operator==(const DigestRow&) const = default;
};

// Every loader calls onRow (if given) in reading order, as each row is made,
// and returns the whole table newest first. When flags->stopRequest is set
// before a definition, the loader clears flags->busy and ends early.
std::vector<ProcessDefinitionRow> loadProcessDefinitions(
    const DefinitionDatabase& db, const ItemPathContext& context, WorkFlags* flags,
    const std::function<void(const ProcessDefinitionRow&)>& onRow = {});

std::vector<DigestRow> loadDigestDefinitions(const DefinitionDatabase& db, WorkFlags* flags,
                                             const std::function<void(const DigestRow&)>& onRow = {});

// The file name of a path: the text after its last backslash.
std::string fileNameOf(std::string_view path);
// True for a file name whose extension is exactly "exe" or "EXE".
bool isProcessFileName(std::string_view fileName);

}  // namespace scan
