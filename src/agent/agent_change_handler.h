// The agent's receiver of directory changes: every added file or folder is
// logged and handed to the detection; lost changes and the end of a watch
// are logged. Runs on the agent's window thread.
#pragma once

#include <functional>
#include <string>

#include "agent/change_handler.h"
#include "agent/detection.h"

namespace agent {

class AgentChangeHandler final : public ChangeHandler {
 public:
  using Clock = std::function<std::string()>;  // the current local time as the file values carry it

  // `afterAdded` runs after each added path (the window uses it to keep its
  // timed work going while a burst of changes keeps its queue full).
  AgentChangeHandler(AgentDetection& detection, AgentLog& log, Clock now,
                     std::function<void()> afterAdded = {})
      : detection_(detection), log_(log), now_(std::move(now)), afterAdded_(std::move(afterAdded)) {}

  void onFileAdded(const std::string& path) override {
    log_.logLine(path);
    detection_.onFileAdded(path, now_());
    if (afterAdded_) afterAdded_();
  }
  void onReadError(long error, const std::string& directory) override {
    log_.logLine(error == kChangesLost
                     ? "Changes lost (buffer overflow), still watching: " + directory
                     : "Watch error " + std::to_string(error) + ": " + directory);
  }
  void onWatchStopped(const std::string& directory) override {
    log_.logLine("Stopped watching directory: " + directory);
  }

  static constexpr long kChangesLost = 1022;  // ERROR_NOTIFY_ENUM_DIR

 private:
  AgentDetection& detection_;
  AgentLog& log_;
  Clock now_;
  std::function<void()> afterAdded_;
};

}  // namespace agent
