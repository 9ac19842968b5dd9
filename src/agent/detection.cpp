#include "agent/detection.h"

#include <array>

#include "scan/definition_database.h"
#include "settings/key_layout.h"

namespace agent {

const std::array<std::string_view, 7>& ownRunNames() {
  static constexpr std::array<std::string_view, 7> kOwn = {
      "Torvane",     "TorvaneUpdate",     "SkyvernUpdate",    "Torvane_ENG",
      "Torvane_KOR", "TorvaneUpdate_ENG", "TorvaneUpdate_KOR"};
  return kOwn;
}

bool isOwnRunName(std::string_view name) {
  for (std::string_view own : ownRunNames())
    if (name == own) return true;
  return false;
}

bool sizeMatches(std::string_view rowSize, std::string_view fileSize) {
  return rowSize == fileSize || rowSize == scan::kAnySize;
}

// --- DetectionTable ---

DetectionTable::DetectionTable(std::vector<DetectionRow> rows) : rows_(std::move(rows)) {
  for (size_t i = 0; i < rows_.size(); ++i) byPath_[rows_[i].path].push_back(i);
}

bool DetectionTable::lists(std::string_view path) const {
  return byPath_.find(std::string(path)) != byPath_.end();
}

std::vector<const DetectionRow*> DetectionTable::rowsFor(std::string_view path) const {
  std::vector<const DetectionRow*> out;
  const auto it = byPath_.find(std::string(path));
  if (it == byPath_.end()) return out;
  for (size_t i : it->second) out.push_back(&rows_[i]);
  return out;
}

// --- AgentDetection ---

AgentDetection::AgentDetection(DetectionTable table, AgentChannel& channel, TrustedZone& trust,
                               AlertPoster& poster, FileSizes& sizes, AgentLog& log,
                               size_t maxQueuedFindings)
    : table_(std::move(table)),
      channel_(channel),
      trust_(trust),
      poster_(poster),
      sizes_(sizes),
      log_(log),
      maxQueuedFindings_(maxQueuedFindings) {}

void AgentDetection::onFileAdded(const std::string& path, const std::string& time) {
  channel_.noteNewFile(path, time);
  files_.push_back(PendingFile{path, time});
  ++counters_.filesSeen;
}

void AgentDetection::checkPendingFiles() {
  while (!files_.empty()) {
    PendingFile file = std::move(files_.front());
    files_.pop_front();
    ++counters_.filesChecked;
    // Only a listed path needs its size; a file that is gone has the size ""
    // and matches only rows that accept any size.
    if (!table_.lists(file.path)) continue;
    const std::optional<uint64_t> size = sizes_.sizeOf(file.path);
    checkPendingFile(FileCheckRequest{std::move(file.path), std::move(file.time),
                                      size ? std::to_string(*size) : std::string()});
  }
  deliverNextFinding();
}

void AgentDetection::checkPendingFile(const FileCheckRequest& request) {
  for (const DetectionRow* row : table_.rowsFor(request.path)) {
    if (!sizeMatches(row->size, request.size)) continue;
    trusted_ = trust_.isFileTrusted(request.path, request.size);
    if (trusted_) {
      // Clearing the flag must not cancel an alert the main program has not read yet.
      if (findings_.empty() && !channel_.alertPending()) channel_.clearFileFlag();
      continue;
    }
    enqueue(FileAlert{request.time, row->name, request.path, row->size}, request.path);
  }
}

void AgentDetection::onStartupReport(const std::string& report) {
  const StartupReportFields fields = parseStartupReport(report);
  if (fields.name) startupCandidate_ = *fields.name;
  trusted_ = trust_.isStartupTrusted(startupCandidate_);
  const StartupAlert alert{fields.time, fields.name, fields.path};
  if (!trusted_ && fields.kind == kAddedKind && !isOwnRunName(startupCandidate_)) {
    enqueue(StartupFinding{alert, startupCandidate_}, startupCandidate_);
    deliverNextFinding();
    return;
  }
  // Reports that raise nothing still show in the start-up values, unless that
  // would overwrite the payload of an alert waiting for its answer.
  if (findings_.empty() && !channel_.alertPending()) channel_.writeStartupFields(alert);
}

void AgentDetection::enqueue(Finding finding, std::string_view what) {
  if (findings_.size() >= maxQueuedFindings_) {
    ++counters_.findingsDropped;
    log_.logLine("Alert queue full, finding dropped: " + std::string(what));
    return;
  }
  findings_.push_back(std::move(finding));
}

bool AgentDetection::stillTrusted(const Finding& finding) {
  // The user may have trusted the item from an earlier alert while this one waited.
  if (const FileAlert* file = std::get_if<FileAlert>(&finding))
    return trust_.isFileTrusted(file->path, file->size);
  return trust_.isStartupTrusted(std::get<StartupFinding>(finding).runName);
}

bool AgentDetection::deliverNextFinding() {
  while (!findings_.empty()) {
    if (channel_.alertPending()) return true;
    const Finding finding = std::move(findings_.front());
    findings_.pop_front();
    if (stillTrusted(finding)) continue;
    raise(finding);
    break;
  }
  return !findings_.empty();
}

void AgentDetection::raise(const Finding& finding) {
  if (const FileAlert* file = std::get_if<FileAlert>(&finding)) {
    channel_.raiseFileAlert(*file);
  } else {
    channel_.writeStartupFields(std::get<StartupFinding>(finding).alert);
    channel_.raiseStartupFlag();
  }
  poster_.post(channel_.mainWindow(), kWmAgentAlert);
  ++counters_.alertsRaised;
}

}  // namespace agent
