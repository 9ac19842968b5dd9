#include "agent/startup_report.h"

#include <cstdio>

namespace agent {

std::vector<StartupChange> diffSnapshots(const StartupSnapshot& before, const StartupSnapshot& after) {
  std::vector<StartupChange> changes;
  auto b = before.begin();
  auto a = after.begin();
  while (b != before.end() || a != after.end()) {
    if (a == after.end() || (b != before.end() && b->first < a->first)) {
      changes.push_back({StartupChange::Kind::Removed, b->first, b->second});
      ++b;
    } else if (b == before.end() || a->first < b->first) {
      changes.push_back({StartupChange::Kind::Added, a->first, a->second});
      ++a;
    } else {
      if (a->second != b->second) changes.push_back({StartupChange::Kind::Changed, a->first, a->second});
      ++a;
      ++b;
    }
  }
  return changes;
}

std::string reportTimeText(int year, int month, int day, int hour, int minute, int second) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%02d/%02d/%d  %02d:%02d:%02d", day, month, year, hour,
                minute, second);
  return buffer;
}

std::string rootMarker(std::string_view rootName, std::string_view keyPath) {
  std::string marker;
  if (!rootName.empty()) marker.append("#").append(rootName).append("\\");
  return marker.append(keyPath);
}

std::string startupReport(const StartupChange& change, std::string_view time,
                          std::string_view marker) {
  std::string report;
  switch (change.kind) {
    case StartupChange::Kind::Added:
      report.append(time).append("@").append(kAddedKind).append("@").append(change.name)
          .append("@").append(change.data);
      break;
    case StartupChange::Kind::Changed:
      report.append("\r\n ").append(time).append("CHANGED: ").append(change.name).append(change.data);
      break;
    case StartupChange::Kind::Removed:
      report.append("\r\n ").append(time).append("Errased: ").append(change.name).append(" = ")
          .append(change.data);
      break;
  }
  return report.append(marker);
}

std::string waitFailedReport(std::string_view marker) {
  return std::string("ERROR IN WAIT FOR SINGLE OBJECT") + "error in wait for single object" +
         std::string(marker);
}

StartupReportFields parseStartupReport(std::string_view report) {
  StartupReportFields fields;
  auto next = [&](std::optional<std::string>* field) {
    const size_t at = report.find('@');
    if (at == std::string_view::npos) return false;
    report.remove_prefix(at + 1);
    const size_t end = report.find('@');
    *field = std::string(report.substr(0, end));
    return true;
  };
  fields.time = std::string(report.substr(0, report.find('@')));
  if (!next(&fields.kind) || !next(&fields.name)) return fields;
  // The last field is the rest: value data may itself hold "@", and the root
  // marker behind it must survive.
  const size_t at = report.find('@');
  if (at != std::string_view::npos) fields.path = std::string(report.substr(at + 1));
  return fields;
}

void StartupReportQueue::push(std::string report) {
  std::lock_guard lock(mutex_);
  reports_.push_back(std::move(report));
}

std::vector<std::string> StartupReportQueue::takeAll() {
  std::lock_guard lock(mutex_);
  std::vector<std::string> out(std::make_move_iterator(reports_.begin()),
                               std::make_move_iterator(reports_.end()));
  reports_.clear();
  return out;
}

}  // namespace agent
