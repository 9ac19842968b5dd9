#include "fakes/fake_processes.h"

#include <algorithm>

namespace fakes {

void FakeProcesses::add(uint32_t id, std::string exeName, std::string imagePath) {
  running_.push_back({id, std::move(exeName), std::move(imagePath)});
}

bool FakeProcesses::snapshot(bool withImagePaths, std::vector<platform::ProcessInfo>* out) {
  if (failSnapshot_) return false;
  *out = running_;
  if (!withImagePaths)
    for (auto& p : *out) p.imagePath.clear();
  return true;
}

bool FakeProcesses::terminate(uint32_t id, uint32_t) {
  if (std::count(protected_.begin(), protected_.end(), id)) return false;
  const auto it = std::find_if(running_.begin(), running_.end(),
                               [&](const platform::ProcessInfo& p) { return p.id == id; });
  if (it == running_.end()) return false;
  const platform::ProcessInfo ended = *it;
  running_.erase(it);
  terminated_.push_back(id);
  if (onTerminate) onTerminate(ended);
  return true;
}

bool FakeProcesses::runHidden(const std::string& program, const std::string& parameters,
                              uint32_t waitMs) {
  started_.push_back({program, parameters, waitMs});
  return true;
}

}  // namespace fakes
