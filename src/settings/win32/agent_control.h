// Stopping the real-time agent: every window titled "Torvane RealTime
// System™" is asked to close.
#pragma once

#include <cstdint>

namespace settings {

inline constexpr const char* kAgentWindowTitle = "Torvane RealTime System™";

// Posts WM_CLOSE to every agent window until none is left, for at most
// `waitMs`. True when none is left.
bool stopAgent(uint32_t waitMs);

}  // namespace settings
