#include "common/progress_throttle.h"

#include <gtest/gtest.h>

namespace {

TEST(ProgressThrottle, ShowsTheLatestTextAtMostOncePerIntervalAndAllOnFlush) {
  uint64_t now = 1000;
  std::vector<std::string> shown;
  ProgressThrottle throttle(
      50, [&](int channel, const std::string& text) { shown.push_back(std::to_string(channel) + text); },
      [&] { return now; });
  throttle.update(1, "a");  // the first update shows at once
  throttle.update(1, "b");
  throttle.update(2, "x");
  now += 49;
  throttle.update(1, "c");
  EXPECT_EQ(shown, (std::vector<std::string>{"1a"}));
  now += 1;
  throttle.update(1, "d");
  EXPECT_EQ(shown, (std::vector<std::string>{"1a", "1d", "2x"}));
  throttle.update(2, "final");
  throttle.flush();
  EXPECT_EQ(shown.back(), "2final");
  const size_t before = shown.size();
  throttle.flush();
  EXPECT_EQ(shown.size(), before) << "nothing pending, nothing shown";
}

}  // namespace
