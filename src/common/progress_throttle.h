// Passes progress texts on at a bounded rate: every update is taken, but only
// the latest text of each channel is shown, at most once per interval. A flush
// shows what is still pending, so the final texts always come out exactly.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class ProgressThrottle {
 public:
  using Show = std::function<void(int channel, const std::string& text)>;
  using Clock = std::function<uint64_t()>;  // milliseconds, never going back

  ProgressThrottle(uint32_t intervalMs, Show show, Clock now = steadyMilliseconds);

  // Keeps the text as the channel's latest; shows every pending text when the
  // interval since the last showing has passed.
  void update(int channel, std::string_view text);
  // Shows every pending text now, in channel order.
  void flush();

  static uint64_t steadyMilliseconds();

 private:
  uint32_t intervalMs_;
  Show show_;
  Clock now_;
  std::optional<uint64_t> lastShown_;
  std::vector<std::optional<std::string>> pending_;
};
