#include "cli/scan_arguments.h"

namespace cli {

const char kScanUsage[] =
    "tvscan - scans this computer for the malware of the definition database\n"
    "\n"
    "usage: tvscan [--quick | --full] [--path DIR] [--db FILE] [--remedy] [--quiet]\n"
    "  --quick      running processes and the database's files and registry entries (default)\n"
    "  --full       also every file below the top folder, by MD5\n"
    "  --path DIR   top folder of the full scan (default: the stored scan location when\n"
    "               \"ScanPath\" is on, else C:\\)\n"
    "  --db FILE    the definition database (default: torvane.ini beside tvscan.exe)\n"
    "  --remedy     remove what was found: end its programs, delete its files, folders\n"
    "               and registry entries (the \"AutoRemedy\" option is not used)\n"
    "  --quiet      no progress line\n"
    "\n"
    "Each finding is one line on standard output: name<TAB>location<TAB>type<TAB>kind (UTF-8).\n"
    "Progress and the summary go to standard error. Ctrl+C stops the scan; what was found\n"
    "so far is reported.\n"
    "exit codes: 0 nothing found, 1 something found, 2 bad arguments, database or folder\n";

std::optional<ScanArguments> parseScanArguments(const std::vector<std::string>& args,
                                                std::string* error) {
  ScanArguments out;
  bool quick = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](std::optional<std::string>* slot) {
      if (i + 1 >= args.size() || args[i + 1].empty()) {
        *error = a + " needs a value";
        return false;
      }
      if (*slot) {
        *error = a + " is given twice";
        return false;
      }
      *slot = args[++i];
      return true;
    };
    if (a == "--quick") {
      quick = true;
    } else if (a == "--full") {
      out.full = true;
    } else if (a == "--path") {
      if (!value(&out.path)) return std::nullopt;
    } else if (a == "--db") {
      if (!value(&out.database)) return std::nullopt;
    } else if (a == "--remedy") {
      out.remedy = true;
    } else if (a == "--quiet") {
      out.quiet = true;
    } else if (a == "--help" || a == "-h" || a == "/?") {
      out.help = true;
    } else {
      *error = "unknown argument '" + a + "'";
      return std::nullopt;
    }
  }
  if (quick && out.full) {
    *error = "--quick and --full exclude each other";
    return std::nullopt;
  }
  if (out.path && !out.full) {
    *error = "--path belongs to a full scan (--full)";
    return std::nullopt;
  }
  return out;
}

}  // namespace cli
