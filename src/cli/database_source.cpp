#include "cli/database_source.h"

#include <array>

#include "common/text.h"

namespace cli {
namespace {

using scan::kind::kDesktop;
using scan::kind::kFile;
using scan::kind::kFolder;
using scan::kind::kProgramGroup;
using scan::kind::kSystem;
using scan::kind::kWindows;

bool isDecimal(std::string_view s) {
  if (s.empty()) return false;
  for (char c : s)
    if (c < '0' || c > '9') return false;
  return true;
}

bool isHexDigest(std::string_view s) {
  if (s.size() != 32) return false;
  for (char c : s)
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'))) return false;
  return true;
}

bool isLocationKind(std::string_view k) {
  for (const char* known : {kDesktop, kProgramGroup, kWindows, kSystem, kFile, kFolder})
    if (k == known) return true;
  return false;
}

// Empty when `value` can be stored and read back whole, else why not.
std::string storable(std::string_view what, std::string_view value) {
  bool lossless = true;
  const std::string bytes = text::utf8ToCp949(value, &lossless);
  if (!lossless) return std::string(what) + " has characters that CP949 cannot hold";
  if (bytes.size() > scan::kMaxRecordBytes)
    return std::string(what) + " is " + std::to_string(bytes.size()) + " bytes in CP949, at most " +
           std::to_string(scan::kMaxRecordBytes) + " fit";
  return {};
}

std::string fieldCountError(std::string_view what, size_t want, size_t got) {
  return std::string(what) + " needs " + std::to_string(want) + " fields separated by '#', found " +
         std::to_string(got);
}

class Parser {
 public:
  explicit Parser(scan::DatabaseContent* content) : content_(*content) {}

  // Empty on success, else the message for this line.
  std::string statement(std::string_view keyword, std::string_view value) {
    if (keyword == "version") return header(&content_.version, value);
    if (keyword == "info") return header(&content_.info, value);
    if (keyword == "definition") return startDefinition(value, false);
    if (keyword == "digest") return startDefinition(value, true);
    if (keyword == "file") return current_ == Current::Digest ? digestItem(value) : fileItem(value);
    if (keyword == "reg") return registryItem(value);
    return "unknown statement '" + std::string(keyword) + "'";
  }

 private:
  enum class Current { None, Definition, Digest };

  std::string header(std::string* field, std::string_view value) {
    bool lossless = true;
    text::utf8ToCp949(value, &lossless);
    if (!lossless) return "text has characters that CP949 cannot hold";
    *field = std::string(value);
    return {};
  }

  std::string startDefinition(std::string_view value, bool digest) {
    const size_t bar = value.find('|');
    if (bar == std::string_view::npos) return "expected 'NAME | TYPE'";
    const std::string name = text::trim(value.substr(0, bar));
    const std::string type = text::trim(value.substr(bar + 1));
    if (name.empty()) return "the name is empty";
    if (std::string e = storable("the name", name); !e.empty()) return e;
    if (std::string e = storable("the type", type); !e.empty()) return e;
    if (digest) {
      content_.digestDefinitions.push_back({name, type, {}, 0});
      current_ = Current::Digest;
    } else {
      content_.definitions.push_back({name, type, {}, {}, 0});
      current_ = Current::Definition;
    }
    return {};
  }

  std::string fileItem(std::string_view value) {
    if (current_ != Current::Definition) return "'file' before any 'definition' or 'digest'";
    const auto fields = text::split(value, '#');
    if (fields.size() != 3) return fieldCountError("a file item", 3, fields.size());
    if (fields[0].empty()) return "the path is empty";
    if (fields[1] != scan::kAnySize && !isDecimal(fields[1]))
      return "the size must be a decimal byte count or \"default\"";
    if (!isLocationKind(fields[2])) return "unknown location kind '" + fields[2] + "'";
    if (std::string e = storable("the record", value); !e.empty()) return e;
    content_.definitions.back().files.push_back({fields[0], fields[1], fields[2]});
    return {};
  }

  std::string registryItem(std::string_view value) {
    if (current_ != Current::Definition) return "'reg' outside a 'definition'";
    const auto f = text::split(value, '#');
    if (f.size() != 5) return fieldCountError("a registry item", 5, f.size());
    if (f[0] != "HKEY_LOCAL_MACHINE" && f[0] != "HKEY_CLASSES_ROOT" && f[0] != "HKEY_CURRENT_USER")
      return "unknown registry root '" + f[0] + "'";
    if (f[1].empty()) return "the key path is empty";
    if (f[4] != scan::kind::kRegistryValue && f[4] != scan::kind::kRegistryKey)
      return "the kind must be \"레지값\" or \"레지키\"";
    if (std::string e = storable("the record", value); !e.empty()) return e;
    content_.definitions.back().registryItems.push_back({f[0], f[1], f[2], f[3], f[4]});
    return {};
  }

  std::string digestItem(std::string_view value) {
    const auto f = text::split(value, '#');
    if (f.size() != 3) return fieldCountError("a digest item", 3, f.size());
    if (f[0].empty()) return "the file name is empty";
    if (!isDecimal(f[1])) return "the size must be a decimal byte count";
    if (!isHexDigest(f[2])) return "the digest must be 32 hexadecimal digits";
    if (std::string e = storable("the record", value); !e.empty()) return e;
    content_.digestDefinitions.back().items.push_back({f[0], f[1], f[2]});
    return {};
  }

  scan::DatabaseContent& content_;
  Current current_ = Current::None;
};

}  // namespace

bool parseDatabaseSource(std::string_view source, scan::DatabaseContent* content,
                         SourceError* error) {
  *content = {};
  Parser parser(content);
  int number = 0;
  size_t pos = 0;
  if (source.substr(0, 3) == "\xEF\xBB\xBF") pos = 3;
  while (pos < source.size()) {
    size_t end = source.find('\n', pos);
    if (end == std::string_view::npos) end = source.size();
    const std::string line = text::trim(source.substr(pos, end - pos));
    pos = end + 1;
    ++number;
    if (line.empty() || line[0] == ';') continue;
    const size_t eq = line.find('=');
    std::string message;
    if (eq == std::string::npos) {
      message = "expected 'keyword = value'";
    } else {
      message = parser.statement(text::trim(std::string_view(line).substr(0, eq)),
                                 text::trim(std::string_view(line).substr(eq + 1)));
    }
    if (!message.empty()) {
      *error = {number, message};
      return false;
    }
  }
  return true;
}

std::string formatDatabaseSource(const scan::DefinitionDatabase& db) {
  std::string out;
  out += "version = " + db.version() + "\n";
  out += "info = " + db.info() + "\n";
  for (int i : db.definitionNumbers()) {
    const scan::Definition d = db.definition(i);
    out += "\n; [" + std::string(scan::dbkey::kDefinitionPrefix) + std::to_string(i) + "]\n";
    out += "definition = " + d.name + " | " + d.info + "\n";
    for (const auto& item : d.files) out += "file = " + scan::fileItemRecord(item) + "\n";
    for (const auto& item : d.registryItems) out += "reg = " + scan::registryItemRecord(item) + "\n";
    if (d.shortRecords > 0)
      out += "; " + std::to_string(d.shortRecords) + " record(s) with too few fields skipped\n";
  }
  for (int i : db.digestDefinitionNumbers()) {
    const scan::DigestDefinition d = db.digestDefinition(i);
    out += "\n; [" + std::string(scan::dbkey::kDigestPrefix) + std::to_string(i) + "]\n";
    out += "digest = " + d.name + " | " + d.info + "\n";
    for (const auto& item : d.items) out += "file = " + scan::digestItemRecord(item) + "\n";
    if (d.shortRecords > 0)
      out += "; " + std::to_string(d.shortRecords) + " record(s) with too few fields skipped\n";
  }
  return out;
}

}  // namespace cli
