// One finding of a scan: what the result list shows, and what was found, field
// by field, for the remedy to act on. The shown location is for display only:
// names may hold any character, so it cannot be taken apart again.
#pragma once

#include <string>

namespace scan {

struct ResultRow {
  std::string name;      // "진단명": the definition's name
  std::string location;  // "위치": a path, or root\key/value/data (display only)
  std::string type;      // "종류": the definition's type text
  std::string kind;      // "기타": a location kind, "레지값", "레지키" or "MD5"
  bool checked = true;

  std::string filePath;   // file and folder rows: the path found
  std::string root;       // registry rows: the root's name, as the database gives it
  std::string keyPath;    // registry rows
  std::string valueName;  // "레지값" rows
  std::string data;       // registry rows: the data found ("레지값") or listed ("레지키")
  bool operator==(const ResultRow&) const = default;
};

// A file or folder found at `path`.
ResultRow pathRow(std::string name, std::string path, std::string type, std::string kind);
// A registry value or key; the location joins the fields for display.
ResultRow registryRow(std::string name, std::string type, std::string kind, std::string root,
                      std::string keyPath, std::string valueName, std::string data);

}  // namespace scan
