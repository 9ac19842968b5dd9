// The start-up watcher's findings as texts: the snapshot of a Run key, what
// changed between two snapshots, the report text of each change, and how the
// agent reads a report back into its fields.
#pragma once

#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace agent {

// Value name -> value data, ordered byte-wise by name.
using StartupSnapshot = std::map<std::string, std::string>;

struct StartupChange {
  enum class Kind { Added, Changed, Removed };
  Kind kind;
  std::string name;
  std::string data;  // the new data; for a removal the data the value had
  bool operator==(const StartupChange&) const = default;
};

// Every value added, changed or removed from `before` to `after`, in name order.
std::vector<StartupChange> diffSnapshots(const StartupSnapshot& before, const StartupSnapshot& after);

// The key's last-write time as reports carry it: "15/03/2008  14:05:09".
std::string reportTimeText(int year, int month, int day, int hour, int minute, int second);

// "#HKEY_CURRENT_USER\" + keyPath; for a root without a name only keyPath.
std::string rootMarker(std::string_view rootName, std::string_view keyPath);

// One change as a complete report: its text followed by the root marker.
//   added:   time "@ADD@" name "@" data
//   changed: "\r\n " time "CHANGED: " name data
//   removed: "\r\n " time "Errased: " name " = " old data
std::string startupReport(const StartupChange& change, std::string_view time,
                          std::string_view marker);
// The report of a failed wait.
std::string waitFailedReport(std::string_view marker);

// A report split at "@": time, kind, value name, and the rest (the data with
// the root marker). Splitting stops at the first missing field.
struct StartupReportFields {
  std::string time;
  std::optional<std::string> kind;
  std::optional<std::string> name;
  std::optional<std::string> path;
  bool operator==(const StartupReportFields&) const = default;
};
StartupReportFields parseStartupReport(std::string_view report);

inline constexpr const char* kAddedKind = "ADD";

// Reports handed from the watcher threads to the agent window, in order; each
// report is taken exactly once.
class StartupReportQueue {
 public:
  void push(std::string report);
  std::vector<std::string> takeAll();

 private:
  std::mutex mutex_;
  std::deque<std::string> reports_;
};

}  // namespace agent
