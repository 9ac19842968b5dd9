// The INI reader and the three table loaders on arbitrary file bytes.
#include <cstddef>
#include <cstdint>
#include <string>

#include "agent/detection_rows.h"
#include "scan/definition_tables.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  scan::DefinitionDatabase db{scan::IniFile(std::string(reinterpret_cast<const char*>(data), size))};
  scan::ItemPathContext context;
  context.userName = "user";
  context.windowsFolder = "C:\\WINDOWS\\";
  context.commonStartMenu = "C:\\a\\b\\c\\d";
  context.exists = [](const std::string& p) { return p.size() % 2 == 0; };
  WorkFlags flags;
  (void)scan::loadProcessDefinitions(db, context, &flags);
  (void)scan::loadDigestDefinitions(db, &flags);
  (void)agent::loadDetectionRows(db, context);
  for (int i : db.definitionNumbers())
    for (const auto& item : db.definition(i).files)
      (void)scan::expandItemPath(item.path, item.kind, context, scan::Expansion::All);
  (void)db.version();
  (void)db.info();
  return 0;
}
