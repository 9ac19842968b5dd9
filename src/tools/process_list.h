// The process page's rows: the running processes with their ids, and ending
// exactly the process a row names.
#pragma once

#include <string>
#include <vector>

#include "platform/processes.h"

namespace tools {

struct ProcessRow {
  uint32_t id = 0;
  std::string exeName;
  std::string imagePath;  // empty when the platform does not tell
};

// The running processes in snapshot order, "[System Process]" left out.
// False when no snapshot could be taken.
bool runningProcesses(platform::Processes& processes, std::vector<ProcessRow>* rows);

// Ends the process of the row if it still runs as the row saw it (same id,
// same executable name and, where known, the same image: an id the system
// has handed to a new process since is left alone). True when it was ended.
bool endProcess(platform::Processes& processes, const ProcessRow& row);

inline constexpr uint32_t kEndProcessWaitMs = 500;

std::string processStatusLine(size_t count);  // "현재 실행 중인 프로세스 : n"

}  // namespace tools
