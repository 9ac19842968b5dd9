// The agent's decisions: which new files and which new start-up entries become
// alerts, and the hand-over of each finding to the main program, one at a
// time. Platform-free; the agent window feeds it and supplies the few
// platform services through the small interfaces below. Everything here runs
// on the agent's window thread.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <variant>
#include <vector>

#include "agent/agent_channel.h"
#include "agent/startup_report.h"
#include "agent/detection_rows.h"

namespace agent {

// The Run value names of the product itself; they never raise an alert.
const std::array<std::string_view, 7>& ownRunNames();
bool isOwnRunName(std::string_view name);  // exact, case matters

// A row's size text matches the file's: equal, or the row says "default".
bool sizeMatches(std::string_view rowSize, std::string_view fileSize);

// The database's file items, row 0 first (the last entry read), indexed by
// path. A path listed several times keeps all its rows, in table order.
class DetectionTable {
 public:
  DetectionTable() = default;
  explicit DetectionTable(std::vector<DetectionRow> rows);

  const std::vector<DetectionRow>& rows() const { return rows_; }
  bool lists(std::string_view path) const;
  // Rows listing exactly `path` (case matters), in table order.
  std::vector<const DetectionRow*> rowsFor(std::string_view path) const;

 private:
  std::vector<DetectionRow> rows_;
  std::unordered_map<std::string, std::vector<size_t>> byPath_;
};

// Platform services the detection needs.
class AlertPoster {
 public:
  virtual ~AlertPoster() = default;
  virtual void post(intptr_t window, unsigned message) = 0;  // PostMessage(window, message, 0, 0)
};
class FileSizes {
 public:
  virtual ~FileSizes() = default;
  virtual std::optional<uint64_t> sizeOf(const std::string& path) = 0;  // nullopt: cannot tell
};
class AgentLog {
 public:
  virtual ~AgentLog() = default;
  virtual void logLine(const std::string& line) = 0;
};

// One new file as the check sees it: its path, when it was seen, and its
// current size in decimal ("" when its status cannot be read).
struct FileCheckRequest {
  std::string path;
  std::string time;
  std::string size;
};

struct DetectionCounters {
  uint64_t filesSeen = 0;      // new paths queued
  uint64_t filesChecked = 0;   // queued paths looked up in the table
  uint64_t alertsRaised = 0;   // WM_AGENT_ALERT posted
  uint64_t findingsDropped = 0;
};

class AgentDetection {
 public:
  static constexpr size_t kMaxQueuedFindings = 10000;

  AgentDetection(DetectionTable table, AgentChannel& channel, TrustedZone& trust,
                 AlertPoster& poster, FileSizes& sizes, AgentLog& log,
                 size_t maxQueuedFindings = kMaxQueuedFindings);

  const DetectionTable& table() const { return table_; }

  // A file or folder appeared: the channel learns of it and the path waits,
  // in arrival order, for the next check.
  void onFileAdded(const std::string& path, const std::string& time);
  // Timer 2: checks every waiting path, in arrival order.
  void checkPendingFiles();
  // One request against the table: one finding per matching, untrusted row.
  void checkPendingFile(const FileCheckRequest& request);
  // One report of a start-up watcher.
  void onStartupReport(const std::string& report);
  // Raises the next queued finding when the main program has answered the
  // last one. Returns true when something is still queued.
  bool deliverNextFinding();

  void resetTrustVerdict() { trusted_ = false; }  // WM_AGENT_TRUST_RESET
  bool trustVerdict() const { return trusted_; }

  size_t queuedFiles() const { return files_.size(); }
  size_t queuedFindings() const { return findings_.size(); }
  const DetectionCounters& counters() const { return counters_; }

 private:
  struct PendingFile {
    std::string path;
    std::string time;
  };
  struct StartupFinding {
    StartupAlert alert;
    std::string runName;
  };
  using Finding = std::variant<FileAlert, StartupFinding>;

  void enqueue(Finding finding, std::string_view what);
  bool stillTrusted(const Finding& finding);
  void raise(const Finding& finding);

  DetectionTable table_;
  AgentChannel& channel_;
  TrustedZone& trust_;
  AlertPoster& poster_;
  FileSizes& sizes_;
  AgentLog& log_;
  size_t maxQueuedFindings_;

  std::deque<PendingFile> files_;
  std::deque<Finding> findings_;
  std::string startupCandidate_;  // Run value name of the last report that named one
  bool trusted_ = false;          // the last trust verdict
  DetectionCounters counters_;
};

}  // namespace agent
