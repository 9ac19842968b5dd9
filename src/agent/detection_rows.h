// The agent's detection table as the database gives it: every file item of
// every definition (list control 1011), newest first.
#pragma once

#include <string>
#include <vector>

#include "scan/definition_database.h"
#include "scan/item_path.h"

namespace agent {

struct DetectionRow {  // the agent's list control 1011
  std::string path;  // "DB"
  std::string size;  // "SIZE"
  std::string name;  // "INFO"
  bool operator==(const DetectionRow&) const = default;
};

// Every file item with its path expanded, "C:\DelUS.bat" left out.
std::vector<DetectionRow> loadDetectionRows(const scan::DefinitionDatabase& db,
                                            const scan::ItemPathContext& context);

}  // namespace agent
