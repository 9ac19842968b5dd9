#include "common/progress_throttle.h"

#include <chrono>

ProgressThrottle::ProgressThrottle(uint32_t intervalMs, Show show, Clock now)
    : intervalMs_(intervalMs), show_(std::move(show)), now_(std::move(now)) {}

uint64_t ProgressThrottle::steadyMilliseconds() {
  using namespace std::chrono;
  return static_cast<uint64_t>(
      duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void ProgressThrottle::update(int channel, std::string_view text) {
  if (channel < 0) return;
  if (static_cast<size_t>(channel) >= pending_.size()) pending_.resize(channel + 1);
  auto& slot = pending_[channel];
  if (slot) slot->assign(text);
  else slot.emplace(text);
  const uint64_t now = now_();
  if (!lastShown_ || now - *lastShown_ >= intervalMs_) {
    flush();
    lastShown_ = now;
  }
}

void ProgressThrottle::flush() {
  for (size_t channel = 0; channel < pending_.size(); ++channel) {
    if (!pending_[channel]) continue;
    std::string text = std::move(*pending_[channel]);
    pending_[channel].reset();
    show_(static_cast<int>(channel), text);
  }
}
