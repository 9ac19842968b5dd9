// In-memory Processes for native unit tests: a list of processes, what was
// terminated, and the programs started.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/processes.h"

namespace fakes {

class FakeProcesses final : public platform::Processes {
 public:
  struct Started {
    std::string program;
    std::string parameters;
    uint32_t waitMs;
  };

  void add(uint32_t id, std::string exeName, std::string imagePath = {});
  void failSnapshot(bool fail) { failSnapshot_ = fail; }
  // A process that cannot be opened to be ended.
  void protect(uint32_t id) { protected_.push_back(id); }

  bool snapshot(bool withImagePaths, std::vector<platform::ProcessInfo>* out) override;
  bool terminate(uint32_t id, uint32_t waitMs) override;
  bool runHidden(const std::string& program, const std::string& parameters,
                 uint32_t waitMs) override;

  const std::vector<uint32_t>& terminated() const { return terminated_; }
  const std::vector<Started>& started() const { return started_; }
  // Called when a process ends (a test can delete its file then).
  std::function<void(const platform::ProcessInfo&)> onTerminate;

 private:
  std::vector<platform::ProcessInfo> running_;
  std::vector<uint32_t> protected_;
  std::vector<uint32_t> terminated_;
  std::vector<Started> started_;
  bool failSnapshot_ = false;
};

}  // namespace fakes
