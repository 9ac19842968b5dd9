// The process port: a snapshot of the running processes, ending a process,
// and starting a program hidden.
//
// Contract: every call reports failure by its result; a snapshot that cannot
// be taken is false with *out untouched. Waits are bounded by the caller's
// limit and never longer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

struct ProcessInfo {
  uint32_t id = 0;
  std::string exeName;    // the executable text the snapshot reports
  std::string imagePath;  // full path of the image; empty when the platform does not tell
};

class Processes {
 public:
  virtual ~Processes() = default;

  // In snapshot order. imagePath is filled only when `withImagePaths` is set
  // (it costs one query per process).
  virtual bool snapshot(bool withImagePaths, std::vector<ProcessInfo>* out) = 0;
  // Terminates the process with its current exit code as exit status, then
  // waits up to `waitMs` for it to be gone. True when it was terminated.
  virtual bool terminate(uint32_t id, uint32_t waitMs) = 0;
  // Starts `program` with `parameters` and a hidden window, and waits up to
  // `waitMs` for it to finish. True when it was started.
  virtual bool runHidden(const std::string& program, const std::string& parameters,
                         uint32_t waitMs) = 0;
};

}  // namespace platform
