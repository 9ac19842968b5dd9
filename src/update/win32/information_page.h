// The information page: the machine's facts, the database's version and
// dates, the last scan and the scan type, filled once at start-up.
#pragma once

#include "app/win32/window_page.h"
#include "update/windows_version.h"

namespace update {

// The facts the version queries of this machine give.
VersionFacts currentVersionFacts();

class InformationPage {
 public:
  explicit InformationPage(app::WindowContext& context) : context_(context) {}

  // Fills every label of the page (and labels 1017 and 1019 of the scan
  // page) and stores the facts the other pieces read on the context. The
  // database read here is kept for the start-up loaders.
  void fill();
  // The entry text: the last scan.
  void onEnter();

 private:
  void readDatabase();
  static void showDatabaseTexts(app::WindowContext& context, const scan::DefinitionDatabase& database);

  app::WindowContext& context_;
};

}  // namespace update
