#include "scan/result_row.h"

namespace scan {

ResultRow pathRow(std::string name, std::string path, std::string type, std::string kind) {
  ResultRow row{std::move(name), path, std::move(type), std::move(kind)};
  row.filePath = std::move(path);
  return row;
}

ResultRow registryRow(std::string name, std::string type, std::string kind, std::string root,
                      std::string keyPath, std::string valueName, std::string data) {
  ResultRow row{std::move(name), root + "\\" + keyPath + "/" + valueName + "/" + data,
                std::move(type), std::move(kind)};
  row.root = std::move(root);
  row.keyPath = std::move(keyPath);
  row.valueName = std::move(valueName);
  row.data = std::move(data);
  return row;
}

}  // namespace scan
