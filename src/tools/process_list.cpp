#include "tools/process_list.h"

#include "common/windows_path.h"

namespace tools {

bool runningProcesses(platform::Processes& processes, std::vector<ProcessRow>* rows) {
  std::vector<platform::ProcessInfo> snapshot;
  if (!processes.snapshot(/*withImagePaths=*/true, &snapshot)) return false;
  rows->clear();
  for (platform::ProcessInfo& p : snapshot)
    if (p.exeName != "[System Process]")
      rows->push_back({p.id, std::move(p.exeName), std::move(p.imagePath)});
  return true;
}

bool endProcess(platform::Processes& processes, const ProcessRow& row) {
  std::vector<platform::ProcessInfo> snapshot;
  if (!processes.snapshot(/*withImagePaths=*/!row.imagePath.empty(), &snapshot)) return false;
  for (const platform::ProcessInfo& p : snapshot) {
    if (p.id != row.id) continue;
    const bool same = p.exeName == row.exeName &&
                      (row.imagePath.empty() || winpath::equalIgnoringCase(p.imagePath, row.imagePath));
    return same && processes.terminate(p.id, kEndProcessWaitMs);
  }
  return false;
}

std::string processStatusLine(size_t count) {
  return "현재 실행 중인 프로세스 : " + std::to_string(count);
}

}  // namespace tools
