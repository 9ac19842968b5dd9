// The command line of tvscan.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace cli {

struct ScanArguments {
  bool full = false;
  std::optional<std::string> path;      // top folder of the full scan
  std::optional<std::string> database;  // another torvane.ini
  bool remedy = false;
  bool quiet = false;
  bool help = false;
};

// The arguments, or nullopt with *error saying what is wrong.
std::optional<ScanArguments> parseScanArguments(const std::vector<std::string>& args,
                                                std::string* error);

extern const char kScanUsage[];

}  // namespace cli
