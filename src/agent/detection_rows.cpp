#include "agent/detection_rows.h"

#include <algorithm>

namespace agent {

std::vector<DetectionRow> loadDetectionRows(const scan::DefinitionDatabase& db,
                                            const scan::ItemPathContext& context) {
  std::vector<DetectionRow> rows;
  for (int i : db.definitionNumbers()) {
    const scan::Definition d = db.definition(i, /*withRegistry=*/false);
    for (const scan::FileItem& item : d.files) {
      std::string path =
          scan::expandItemPath(item.path, item.kind, context, scan::Expansion::DesktopAndWindows);
      if (path == "C:\\DelUS.bat") continue;
      rows.push_back(DetectionRow{std::move(path), item.size, d.name});
    }
  }
  std::reverse(rows.begin(), rows.end());
  return rows;
}

}  // namespace agent
