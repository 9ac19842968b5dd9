// The plain-text source of a definition database, as "tvdb build" reads it
// and "tvdb dump" prints it (UTF-8, one statement a line):
//
//   ; comment                      (blank lines too are ignored)
//   version = TEXT                 DBINFO "Version"
//   info = TEXT                    DBINFO "Info"
//   definition = NAME | TYPE       starts a definition
//   file = PATH#SIZE#KIND          a file item of the current definition
//   reg = ROOT#KEY#VALUE#DATA#KIND a registry item of the current definition
//   digest = NAME | TYPE           starts a digest definition
//   file = NAME#SIZE#MD5           a digest item of the current digest definition
#pragma once

#include <string>
#include <string_view>

#include "scan/database_writer.h"

namespace cli {

struct SourceError {
  int line = 0;  // 1-based; 0 when not tied to a line
  std::string message;
};

// False and *error filled on the first malformed line.
bool parseDatabaseSource(std::string_view text, scan::DatabaseContent* content, SourceError* error);

// The source text of a database (what "tvdb dump" prints).
std::string formatDatabaseSource(const scan::DefinitionDatabase& db);

}  // namespace cli
