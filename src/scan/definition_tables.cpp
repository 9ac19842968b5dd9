#include "scan/definition_tables.h"

#include <algorithm>

#include "common/text.h"

namespace scan {
namespace {

bool stopRequested(WorkFlags* flags) {
  if (!flags || flags->stopRequest.load() == 0) return false;
  flags->busy.store(0);
  return true;
}

template <typename Row>
void emit(std::vector<Row>& rows, Row row, const std::function<void(const Row&)>& onRow) {
  if (onRow) onRow(row);
  rows.push_back(std::move(row));
}

}  // namespace

std::string fileNameOf(std::string_view path) { return std::string(text::afterLastBackslash(path)); }

bool isProcessFileName(std::string_view fileName) {
  const size_t dot = fileName.rfind('.');
  const std::string_view ext = dot == std::string_view::npos ? fileName : fileName.substr(dot + 1);
  return ext == "exe" || ext == "EXE";
}

std::vector<ProcessDefinitionRow> loadProcessDefinitions(
    const DefinitionDatabase& db, const ItemPathContext& context, WorkFlags* flags,
    const std::function<void(const ProcessDefinitionRow&)>& onRow) {
  std::vector<ProcessDefinitionRow> rows;
  for (int i : db.definitionNumbers()) {
    if (stopRequested(flags)) break;
    const Definition d = db.definition(i, /*withRegistry=*/false);
    for (const FileItem& item : d.files) {
      std::string path = expandItemPath(item.path, item.kind, context, Expansion::DesktopAndWindows);
      std::string fileName = fileNameOf(path);
      if (!isProcessFileName(fileName)) continue;
      emit(rows, ProcessDefinitionRow{std::move(fileName), d.name, std::move(path), d.info, item.kind},
           onRow);
    }
  }
  std::reverse(rows.begin(), rows.end());
  return rows;
}

std::vector<DigestRow> loadDigestDefinitions(const DefinitionDatabase& db, WorkFlags* flags,
                                             const std::function<void(const DigestRow&)>& onRow) {
  std::vector<DigestRow> rows;
  const std::vector<int> numbers = db.digestDefinitionNumbers();
  // Most digest definitions hold one item.
  rows.reserve(numbers.size());
  for (int i : numbers) {
    if (stopRequested(flags)) break;
    DigestDefinition d = db.digestDefinition(i);
    for (DigestItem& item : d.items)
      emit(rows,
           DigestRow{std::move(item.fileName), d.name, d.info, std::move(item.digest),
                     std::move(item.size)},
           onRow);
  }
  std::reverse(rows.begin(), rows.end());
  return rows;
}

}  // namespace scan
