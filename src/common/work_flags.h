// The two flags a window shares with its workers: busy while a scan or a junk
// search runs, and the user's stop request.
#pragma once

#include <atomic>

struct WorkFlags {
  std::atomic<int> busy{0};
  std::atomic<int> stopRequest{0};
};
