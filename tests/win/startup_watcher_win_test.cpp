// StartupWatcher against the real Run key of HKEY_CURRENT_USER. The test owns
// the values it names (a prefix with its process id) and removes them.
#include "agent/win32/startup_watcher.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>

#include "agent/agent_channel.h"
#include "common/text.h"

namespace {

using namespace std::chrono_literals;

class RunKey : public ::testing::Test {
 protected:
  void SetUp() override {
    prefix = "TvWatchTest" + std::to_string(GetCurrentProcessId()) + "_";
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, text::widen(agent::kStartupKeyPath).c_str(), 0,
                            KEY_SET_VALUE, &key),
              ERROR_SUCCESS);
    watcher.emplace(HKEY_CURRENT_USER, agent::kStartupKeyPath, queue, [this](unsigned) {
      std::lock_guard lock(mutex);
      for (std::string& r : queue.takeAll())
        if (r.find(prefix) != std::string::npos) reports.push_back(std::move(r));
      cv.notify_all();
    });
    ASSERT_TRUE(watcher->start());
  }
  void TearDown() override {
    watcher.reset();
    for (const char* n : {"a", "b", "c"}) RegDeleteValueW(key, text::widen(prefix + n).c_str());
    RegCloseKey(key);
  }
  void set(const std::string& name, const std::string& data) {
    const std::wstring d = text::widen(data);
    RegSetValueExW(key, text::widen(prefix + name).c_str(), 0, REG_SZ,
                   reinterpret_cast<const BYTE*>(d.c_str()), static_cast<DWORD>((d.size() + 1) * 2));
  }
  void remove(const std::string& name) { RegDeleteValueW(key, text::widen(prefix + name).c_str()); }
  // Waits until `n` reports arrived (and a little longer, to see extra ones).
  std::vector<std::string> waitForReports(size_t n, bool watchForMore = true) {
    std::unique_lock lock(mutex);
    cv.wait_for(lock, 5s, [&] { return reports.size() >= n; });
    if (watchForMore) cv.wait_for(lock, 300ms, [&] { return reports.size() > n; });
    std::vector<std::string> out;
    out.swap(reports);
    return out;
  }
  // The report text after its time field.
  static std::string withoutTime(const std::string& report, size_t timeAt) {
    return report.substr(0, timeAt) + report.substr(timeAt + 20);
  }

  const std::string marker =
      "#HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
  std::string prefix;
  HKEY key = nullptr;
  agent::StartupReportQueue queue;
  std::mutex mutex;
  std::condition_variable cv;
  std::vector<std::string> reports;
  std::optional<agent::StartupWatcher> watcher;
};

TEST_F(RunKey, AddChangeRemoveEachGiveTheirReport) {
  set("a", "C:\\evil.exe");
  auto r = waitForReports(1);
  ASSERT_EQ(r.size(), 1u);
  EXPECT_EQ(withoutTime(r[0], 0), "@ADD@" + prefix + "a@C:\\evil.exe" + marker);
  EXPECT_EQ(r[0][2], '/');  // "15/03/2008  14:05:09"
  EXPECT_EQ(r[0].substr(10, 2), "  ");

  set("a", "C:\\other.exe");
  r = waitForReports(1);
  ASSERT_EQ(r.size(), 1u);
  EXPECT_EQ(withoutTime(r[0], 3), "\r\n CHANGED: " + prefix + "aC:\\other.exe" + marker);

  remove("a");
  r = waitForReports(1);
  ASSERT_EQ(r.size(), 1u);
  EXPECT_EQ(withoutTime(r[0], 3), "\r\n Errased: " + prefix + "a = C:\\other.exe" + marker);
}

TEST_F(RunKey, TwoAddsAtOnceGiveTwoReports) {
  set("a", "1");
  set("b", "2");
  const auto r = waitForReports(2);
  ASSERT_EQ(r.size(), 2u);
  EXPECT_EQ(withoutTime(r[0], 0), "@ADD@" + prefix + "a@1" + marker);
  EXPECT_EQ(withoutTime(r[1], 0), "@ADD@" + prefix + "b@2" + marker);
}

TEST_F(RunKey, AValueReplacedByAnotherIsARemovalAndAnAdd) {
  set("a", "1");
  ASSERT_EQ(waitForReports(1).size(), 1u);
  remove("a");
  set("b", "1");
  auto r = waitForReports(2);
  std::sort(r.begin(), r.end());  // one pass or two, the two reports arrive
  ASSERT_EQ(r.size(), 2u);
  EXPECT_NE(r[0].find("Errased: " + prefix + "a = 1"), std::string::npos) << r[0];
  EXPECT_NE(r[1].find("@ADD@" + prefix + "b@1"), std::string::npos) << r[1];
}

TEST_F(RunKey, KeepsWatchingPastAHundredChanges) {
  for (int i = 0; i < 110; ++i) {
    set("c", std::to_string(i));
    ASSERT_EQ(waitForReports(1, /*watchForMore=*/false).size(), 1u) << "change " << i;
  }
}

TEST_F(RunKey, StopEndsTheThreadAndReportsItsEnd) {
  std::atomic<bool> ended{false};
  agent::StartupReportQueue q;
  agent::StartupWatcher w(HKEY_LOCAL_MACHINE, agent::kStartupKeyPath, q, {}, [&] { ended = true; });
  ASSERT_TRUE(w.start());
  w.stop();
  EXPECT_TRUE(ended);
}

}  // namespace
