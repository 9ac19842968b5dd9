// Processes on the Toolhelp snapshot, OpenProcess/TerminateProcess and
// ShellExecuteExW. A process that cannot be opened (another user's, a
// protected one) has no image path and cannot be ended; that is reported by
// the result, never by an exception.
#pragma once

#include "platform/processes.h"

namespace win32 {

class Win32Processes final : public platform::Processes {
 public:
  bool snapshot(bool withImagePaths, std::vector<platform::ProcessInfo>* out) override;
  bool terminate(uint32_t id, uint32_t waitMs) override;
  bool runHidden(const std::string& program, const std::string& parameters,
                 uint32_t waitMs) override;
};

}  // namespace win32
