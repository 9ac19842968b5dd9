#include "scan/database_writer.h"

#include "common/text.h"
#include "scan/base64_encoder.h"

namespace scan {
namespace {

void appendLine(std::string& out, std::string_view key, std::string_view value) {
  out.append(key).append("=").append(value).append("\r\n");
}

void appendEncoded(std::string& out, std::string_view key, std::string_view utf8) {
  appendLine(out, key, encodeBase64(text::utf8ToCp949(utf8)));
}

}  // namespace

std::string fileItemRecord(const FileItem& item) {
  return item.path + "#" + item.size + "#" + item.kind;
}

std::string registryItemRecord(const RegistryItem& item) {
  return item.root + "#" + item.keyPath + "#" + item.valueName + "#" + item.data + "#" + item.kind;
}

std::string digestItemRecord(const DigestItem& item) {
  return item.fileName + "#" + item.size + "#" + item.digest;
}

std::string writeDatabase(const DatabaseContent& content) {
  std::string out;
  out.reserve(64 + content.definitions.size() * 200 + content.digestDefinitions.size() * 160);
  out += "[DBINFO]\r\n";
  appendLine(out, dbkey::kVersion, text::utf8ToCp949(content.version));
  appendLine(out, dbkey::kInfo, text::utf8ToCp949(content.info));
  out += "\r\n[TotalCount]\r\n";
  appendLine(out, dbkey::kCount, std::to_string(content.definitions.size()));
  out += "\r\n[TotalCountMD5]\r\n";
  appendLine(out, dbkey::kCount, std::to_string(content.digestDefinitions.size()));

  for (size_t i = 0; i < content.definitions.size(); ++i) {
    const Definition& d = content.definitions[i];
    out.append("\r\n[").append(dbkey::kDefinitionPrefix).append(std::to_string(i + 1)).append("]\r\n");
    appendEncoded(out, dbkey::kName, d.name);
    appendEncoded(out, dbkey::kInfo, d.info);
    appendLine(out, dbkey::kFileCount, std::to_string(d.files.size()));
    appendLine(out, dbkey::kRegCount, std::to_string(d.registryItems.size()));
    for (size_t j = 0; j < d.files.size(); ++j)
      appendEncoded(out, dbkey::kFilePrefix + std::to_string(j + 1), fileItemRecord(d.files[j]));
    for (size_t j = 0; j < d.registryItems.size(); ++j)
      appendEncoded(out, dbkey::kRegPrefix + std::to_string(j + 1),
                    registryItemRecord(d.registryItems[j]));
  }
  for (size_t i = 0; i < content.digestDefinitions.size(); ++i) {
    const DigestDefinition& d = content.digestDefinitions[i];
    out.append("\r\n[").append(dbkey::kDigestPrefix).append(std::to_string(i + 1)).append("]\r\n");
    appendEncoded(out, dbkey::kName, d.name);
    appendEncoded(out, dbkey::kInfo, d.info);
    appendLine(out, dbkey::kFileCount, std::to_string(d.items.size()));
    for (size_t j = 0; j < d.items.size(); ++j)
      appendEncoded(out, dbkey::kFilePrefix + std::to_string(j + 1), digestItemRecord(d.items[j]));
  }
  return out;
}

}  // namespace scan
