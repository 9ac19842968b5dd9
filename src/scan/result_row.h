// One finding of a scan, as the result list shows it.
#pragma once

#include <string>

namespace scan {

struct ResultRow {
  std::string name;      // "진단명": the definition's name
  std::string location;  // "위치": a path, or root\key/value/data
  std::string type;      // "종류": the definition's type text
  std::string kind;      // "기타": a location kind, "레지값", "레지키" or "MD5"
  bool checked = true;
  bool operator==(const ResultRow&) const = default;
};

}  // namespace scan
