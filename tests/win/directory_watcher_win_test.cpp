// DirectoryWatcher against real folders of the Wine prefix. Each test watches
// a fresh folder and creates what it expects to see after the watch started.
#include "agent/win32/directory_watcher.h"
#include "agent/notification_filter.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <functional>
#include <thread>

#include "common/text.h"
#include "support/temp_dir.h"

namespace {

using agent::DelayedNotifier;
using agent::DirectoryWatcher;
using namespace std::chrono_literals;

constexpr unsigned long kNames = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME;
constexpr unsigned long kAgentFilter = 0x17B;

// Records every notification as one line; waits pump this thread's messages
// so that window-mode notifications arrive while a test waits.
class Recorder : public agent::ChangeHandler {
 public:
  void onFileAdded(const std::string& p) override { add("added " + p); }
  void onFileRemoved(const std::string& p) override { add("removed " + p); }
  void onFileRenamed(const std::string& a, const std::string& b) override { add("renamed " + a + " -> " + b); }
  void onFileModified(const std::string& p) override { add("modified " + p); }
  void onReadError(long e, const std::string& d) override { add("error " + std::to_string(e) + " " + d); }
  void onWatchStarted(long e, const std::string& d) override { add("started " + std::to_string(e) + " " + d); }
  void onWatchStopped(const std::string& d) override {
    stoppedOnThread = GetCurrentThreadId();
    add("stopped " + d);
  }

  bool waitFor(const std::string& line, std::chrono::milliseconds timeout = 5s) {
    return waitUntil([&] { return has(line); }, timeout);
  }
  bool waitForPrefix(const std::string& prefix, std::chrono::milliseconds timeout = 5s) {
    return waitUntil([&] {
      for (const auto& l : snapshot())
        if (l.rfind(prefix, 0) == 0) return true;
      return false;
    }, timeout);
  }
  bool has(const std::string& line) {
    for (const auto& l : snapshot())
      if (l == line) return true;
    return false;
  }
  std::vector<std::string> snapshot() {
    std::lock_guard lock(mutex_);
    return lines_;
  }
  std::string dump() {
    std::string out;
    for (const auto& l : snapshot()) out += "  " + l + "\n";
    return out;
  }
  std::atomic<DWORD> stoppedOnThread{0};

 private:
  void add(std::string line) {
    std::lock_guard lock(mutex_);
    lines_.push_back(std::move(line));
  }
  bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
      if (std::chrono::steady_clock::now() > end) return false;
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
      Sleep(5);
    }
    return true;
  }
  std::mutex mutex_;
  std::vector<std::string> lines_;
};

std::wstring w(const std::string& s) { return text::widen(s); }
// The folder without its trailing backslash, as a watch is given it.
std::string folderOf(const testing_support::TempDir& dir) {
  std::string p = dir.path();
  p.pop_back();
  return p;
}
// Created in place (writeFile would write a temporary file and rename it).
void createFile(const std::string& path, const std::string& bytes = "x") {
  HANDLE f = CreateFileW(w(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  ASSERT_NE(f, INVALID_HANDLE_VALUE) << path;
  DWORD written = 0;
  WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(f);
}

// A watcher that hangs cannot be unwound: the guard ends the test program
// with a failure when the guarded scope has not finished in time.
class HangGuard {
 public:
  explicit HangGuard(std::string what, DWORD limitMs = 30000)
      : what_(std::move(what)), done_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
    thread_ = std::thread([this, limitMs] {
      if (WaitForSingleObject(done_, limitMs) != WAIT_TIMEOUT) return;
      std::fprintf(stderr, "HANG: %s did not finish within %lu ms\n", what_.c_str(), limitMs);
      std::fflush(stderr);
      TerminateProcess(GetCurrentProcess(), 3);
    });
  }
  ~HangGuard() {
    SetEvent(done_);
    thread_.join();
    CloseHandle(done_);
  }

 private:
  std::string what_;
  HANDLE done_;
  std::thread thread_;
};

// Sleeps while this thread's messages are dispatched (window-mode delivery).
void pumpUntil(std::chrono::steady_clock::time_point end) {
  while (std::chrono::steady_clock::now() < end) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    Sleep(10);
  }
}

TEST(DirectoryWatcher, AddModifyRenameRemoveInAFreshFolder) {
  testing_support::TempDir dir;
  DirectoryWatcher watcher(DelayedNotifier::Mode::Thread, 0);
  auto rec = std::make_shared<Recorder>();
  const std::string root = folderOf(dir);
  ASSERT_EQ(watcher.watchDirectory(root, kAgentFilter, rec, true), 0);
  EXPECT_TRUE(rec->waitFor("started 0 " + root));
  EXPECT_TRUE(watcher.isWatching(root));

  ASSERT_TRUE(CreateDirectoryW(w(root + "\\sub").c_str(), nullptr));
  EXPECT_TRUE(rec->waitFor("added " + root + "\\sub")) << rec->dump();
  createFile(root + "\\sub\\새 파일.txt");
  EXPECT_TRUE(rec->waitFor("added " + root + "\\sub\\새 파일.txt")) << rec->dump();

  HANDLE f = CreateFileW(w(root + "\\a.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  ASSERT_NE(f, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(rec->waitFor("added " + root + "\\a.txt")) << rec->dump();
  DWORD written = 0;
  WriteFile(f, "hello", 5, &written, nullptr);
  CloseHandle(f);
  EXPECT_TRUE(rec->waitFor("modified " + root + "\\a.txt")) << rec->dump();

  ASSERT_TRUE(MoveFileW(w(root + "\\a.txt").c_str(), w(root + "\\b.txt").c_str()));
  EXPECT_TRUE(rec->waitFor("renamed " + root + "\\a.txt -> " + root + "\\b.txt")) << rec->dump();
  ASSERT_TRUE(DeleteFileW(w(root + "\\b.txt").c_str()));
  EXPECT_TRUE(rec->waitFor("removed " + root + "\\b.txt")) << rec->dump();

  // Moving a file out of the watched tree is a removal.
  testing_support::TempDir elsewhere;
  createFile(root + "\\c.txt");
  EXPECT_TRUE(rec->waitFor("added " + root + "\\c.txt")) << rec->dump();
  ASSERT_TRUE(MoveFileW(w(root + "\\c.txt").c_str(), w(elsewhere.file("c.txt")).c_str()));
  EXPECT_TRUE(rec->waitFor("removed " + root + "\\c.txt")) << rec->dump();

  EXPECT_TRUE(watcher.unwatchDirectory(root));
  EXPECT_TRUE(rec->has("stopped " + root));  // delivered before unwatch returned
  EXPECT_FALSE(watcher.isWatching(root));
}

TEST(DirectoryWatcher, ABurstOfFilesArrivesWhole) {
  testing_support::TempDir dir;
  DirectoryWatcher watcher(DelayedNotifier::Mode::Thread, 0);
  auto rec = std::make_shared<Recorder>();
  const std::string root = folderOf(dir);
  ASSERT_EQ(watcher.watchDirectory(root, kNames, rec, true), 0);
  constexpr int kFiles = 2000;
  for (int i = 0; i < kFiles; ++i) createFile(root + "\\f" + std::to_string(i));
  // Every file arrives, or the loss is reported: nothing goes missing silently.
  const auto complete = [&] {
    int added = 0;
    for (const auto& l : rec->snapshot()) {
      if (l.rfind("error 1022", 0) == 0) return true;
      if (l.rfind("added ", 0) == 0) ++added;
    }
    return added == kFiles;
  };
  const auto end = std::chrono::steady_clock::now() + 20s;
  while (!complete() && std::chrono::steady_clock::now() < end) Sleep(20);
  ASSERT_TRUE(complete()) << rec->snapshot().size() << " lines";
  // After a loss the watch goes on: what comes next arrives.
  createFile(root + "\\after the burst.txt");
  EXPECT_TRUE(rec->waitFor("added " + root + "\\after the burst.txt", 10s))
      << rec->snapshot().size() << " lines";
}

// The worker checks its folders once a second; tearing a watcher down must
// not depend on where in that cycle the end request arrives, nor on the
// unwatches just before it (Wardsel unwatches C:\\ and then destroys).
TEST(DirectoryWatcher, TearDownAtAnyPointOfTheCheckCycle) {
  struct Case {
    DelayedNotifier::Mode mode;
    int unwatchAtMs;  // -1: no unwatch before the teardown
    bool unwatchBoth;  // else only the first folder
    int destroyAtMs;
  };
  constexpr auto kThread = DelayedNotifier::Mode::Thread;
  constexpr auto kWindow = DelayedNotifier::Mode::Window;
  const Case cases[] = {
      {kThread, 900, true, 1200},  {kThread, 1300, true, 2100}, {kThread, 1600, true, 2500},
      {kThread, 1000, true, 1050}, {kThread, 900, false, 1200}, {kThread, 1700, false, 2300},
      {kThread, -1, false, 1000},  {kThread, -1, false, 1500},  {kWindow, 900, true, 1200},
      {kWindow, 1300, true, 2100}, {kWindow, 1500, false, 1950},
  };
  for (const Case& c : cases) {
    const std::string what = std::string(c.mode == kWindow ? "window" : "thread") + " mode, unwatch " +
                             (c.unwatchBoth ? "both" : "one") + " at " + std::to_string(c.unwatchAtMs) +
                             " ms, destroy at " + std::to_string(c.destroyAtMs) + " ms";
    SCOPED_TRACE(what);
    HangGuard guard(what);
    testing_support::TempDir a, b;
    auto rec = std::make_shared<Recorder>();
    const auto start = std::chrono::steady_clock::now();
    {
      DirectoryWatcher watcher(c.mode, 0);
      ASSERT_EQ(watcher.watchDirectory(folderOf(a), kNames, rec, true), 0);
      ASSERT_EQ(watcher.watchDirectory(folderOf(b), kNames, rec, true), 0);
      createFile(b.file("x.txt"));
      if (c.unwatchAtMs >= 0) {
        pumpUntil(start + std::chrono::milliseconds(c.unwatchAtMs));
        EXPECT_TRUE(watcher.unwatchDirectory(folderOf(a)));
        if (c.unwatchBoth) EXPECT_TRUE(watcher.unwatchDirectory(folderOf(b)));
      }
      pumpUntil(start + std::chrono::milliseconds(c.destroyAtMs));
    }
    EXPECT_TRUE(rec->has("stopped " + folderOf(a))) << rec->dump();
    EXPECT_TRUE(rec->has("stopped " + folderOf(b))) << rec->dump();
  }
}

// Renaming the watched folder ends the watch with the error of the vanished
// name and a stop notice; the unwatch that follows is answered at once.
TEST(DirectoryWatcher, AWatchedFolderRenamedAway) {
  HangGuard guard("renamed folder");
  testing_support::TempDir dir;
  const std::string watched = dir.path() + "watched";
  ASSERT_TRUE(CreateDirectoryW(w(watched).c_str(), nullptr));
  DirectoryWatcher watcher(DelayedNotifier::Mode::Thread, 0);
  auto rec = std::make_shared<Recorder>();
  ASSERT_EQ(watcher.watchDirectory(watched, kNames, rec, true), 0);
  ASSERT_TRUE(MoveFileW(w(watched).c_str(), w(dir.path() + "moved").c_str())) << GetLastError();
  EXPECT_TRUE(rec->waitFor("error 2 " + watched)) << rec->dump();
  EXPECT_TRUE(rec->waitFor("stopped " + watched)) << rec->dump();
  EXPECT_FALSE(watcher.isWatching(watched));
  const auto before = std::chrono::steady_clock::now();
  EXPECT_FALSE(watcher.unwatchDirectory(watched));
  // An unanswered stop would wait for the watcher's limit (many seconds).
  EXPECT_LT(std::chrono::steady_clock::now() - before, 5s);
  EXPECT_EQ(rec->snapshot(), (std::vector<std::string>{"started 0 " + watched, "error 2 " + watched,
                                                        "stopped " + watched}));
}

// An unwatch can meet the failure of the same watch (the folder renamed away
// at the same moment): either way the stop is answered and the watch says it
// stopped exactly once.
TEST(DirectoryWatcher, UnwatchMeetingAFailure) {
  for (int delayMs = 900; delayMs <= 1300; delayMs += 50) {
    const std::string what = "unwatch " + std::to_string(delayMs) + " ms after the rename";
    SCOPED_TRACE(what);
    HangGuard guard(what);
    testing_support::TempDir dir;
    const std::string watched = dir.path() + "watched";
    ASSERT_TRUE(CreateDirectoryW(w(watched).c_str(), nullptr));
    DirectoryWatcher watcher(DelayedNotifier::Mode::Thread, 0);
    auto rec = std::make_shared<Recorder>();
    ASSERT_EQ(watcher.watchDirectory(watched, kNames, rec, true), 0);
    ASSERT_TRUE(MoveFileW(w(watched).c_str(), w(dir.path() + "moved").c_str())) << GetLastError();
    Sleep(static_cast<DWORD>(delayMs));
    const auto before = std::chrono::steady_clock::now();
    watcher.unwatchDirectory(watched);
    EXPECT_LT(std::chrono::steady_clock::now() - before, 5s);
    EXPECT_FALSE(watcher.isWatching(watched));
    int stops = 0;
    for (const auto& l : rec->snapshot()) stops += l == "stopped " + watched;
    EXPECT_EQ(stops, 1) << rec->dump();
  }
}

TEST(DirectoryWatcher, WatchingTheSameFolderInOtherCaseReplacesTheWatch) {
  testing_support::TempDir dir;
  DirectoryWatcher watcher(DelayedNotifier::Mode::Thread, 0);
  auto first = std::make_shared<Recorder>();
  auto second = std::make_shared<Recorder>();
  const std::string root = folderOf(dir);
  const std::string upper = text::toUpperAscii(root);
  ASSERT_EQ(watcher.watchDirectory(root, kNames, first, false), 0);
  ASSERT_EQ(watcher.watchDirectory(upper, kNames, second, false), 0);
  EXPECT_TRUE(first->has("stopped " + root)) << first->dump();
  EXPECT_TRUE(watcher.isWatching(root));
  createFile(root + "\\x.txt");
  EXPECT_TRUE(second->waitFor("added " + upper + "\\x.txt")) << second->dump();
  EXPECT_FALSE(first->waitForPrefix("added ", 300ms));
}

TEST(DirectoryWatcher, UnwatchFromTheWindowThreadDeliversItsStopNoticeThere) {
  testing_support::TempDir dir;
  DirectoryWatcher watcher(DelayedNotifier::Mode::Window, 0);
  auto rec = std::make_shared<Recorder>();
  const std::string root = folderOf(dir);
  ASSERT_EQ(watcher.watchDirectory(root, kNames, rec, true), 0);
  createFile(root + "\\w.txt");
  EXPECT_TRUE(rec->waitFor("added " + root + "\\w.txt")) << rec->dump();
  EXPECT_TRUE(watcher.unwatchDirectory(root));
  EXPECT_TRUE(rec->has("stopped " + root));
  EXPECT_EQ(rec->stoppedOnThread.load(), GetCurrentThreadId());
  EXPECT_FALSE(watcher.unwatchDirectory(root));
}

// Windows ends the read of a deleted folder with an error; Wine keeps the
// folder until the watch lets go of it. Either way the outcome is clear and
// the watcher neither hangs nor reports a watch that no longer exists.
TEST(DirectoryWatcher, AWatchedFolderDeletedUnderneath) {
  testing_support::TempDir dir;
  const std::string watched = dir.path() + "gone";
  ASSERT_TRUE(CreateDirectoryW(w(watched).c_str(), nullptr));
  DirectoryWatcher watcher(DelayedNotifier::Mode::Thread, 0);
  auto rec = std::make_shared<Recorder>();
  ASSERT_EQ(watcher.watchDirectory(watched, kNames, rec, true), 0);
  ASSERT_TRUE(RemoveDirectoryW(w(watched).c_str())) << GetLastError();
  if (rec->waitForPrefix("error ", 3s)) {
    EXPECT_TRUE(rec->waitFor("stopped " + watched)) << rec->dump();
    EXPECT_FALSE(watcher.isWatching(watched));
    EXPECT_FALSE(watcher.unwatchDirectory(watched));
  } else {
    EXPECT_TRUE(watcher.isWatching(watched));
    EXPECT_TRUE(watcher.unwatchDirectory(watched));
    EXPECT_TRUE(rec->has("stopped " + watched)) << rec->dump();
  }
  EXPECT_EQ(GetFileAttributesW(w(watched).c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(DirectoryWatcher, RefusedWatches) {
  testing_support::TempDir dir;
  createFile(dir.file("plain.txt"));
  DirectoryWatcher watcher(DelayedNotifier::Mode::Thread, 0);
  auto rec = std::make_shared<Recorder>();
  struct Case {
    const char* what;
    std::string directory;
    unsigned long filter;
    bool handler;
    long error;
  };
  const Case cases[] = {
      {"empty directory", "", kNames, true, ERROR_INVALID_PARAMETER},
      {"filter 0", folderOf(dir), 0, true, ERROR_INVALID_PARAMETER},
      {"no handler", folderOf(dir), kNames, false, ERROR_INVALID_PARAMETER},
      {"missing folder", dir.path() + "none", kNames, true, ERROR_BAD_PATHNAME},
      {"a file", dir.file("plain.txt"), kNames, true, ERROR_BAD_PATHNAME},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(watcher.watchDirectory(c.directory, c.filter, c.handler ? rec : nullptr, true), c.error)
        << c.what;
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(c.error)) << c.what;
  }
  EXPECT_FALSE(watcher.isWatching(folderOf(dir)));
}

TEST(DirectoryWatcher, PatternsOnFileNamesAreCaseSensitive) {
  testing_support::TempDir dir;
  DirectoryWatcher watcher(DelayedNotifier::Mode::Thread, agent::filter_flag::kFileNameOnly);
  auto rec = std::make_shared<Recorder>();
  const std::string root = folderOf(dir);
  ASSERT_EQ(watcher.watchDirectory(root, kNames, rec, true, "*.exe"), 0);
  ASSERT_TRUE(CreateDirectoryW(w(root + "\\d").c_str(), nullptr));
  createFile(root + "\\d\\b.txt");
  createFile(root + "\\d\\C.EXE");
  createFile(root + "\\d\\b.exe");
  EXPECT_TRUE(rec->waitFor("added " + root + "\\d\\b.exe")) << rec->dump();
  EXPECT_FALSE(rec->has("added " + root + "\\d\\b.txt"));
  EXPECT_FALSE(rec->has("added " + root + "\\d\\C.EXE"));
}

TEST(DirectoryWatcher, NoticeFlagsSilenceStartAndStop) {
  testing_support::TempDir dir;
  namespace ff = agent::filter_flag;
  DirectoryWatcher watcher(DelayedNotifier::Mode::Thread,
                           ff::kFileNameOnly | ff::kNoStartedNotice | ff::kNoStoppedNotice);
  auto rec = std::make_shared<Recorder>();
  const std::string root = folderOf(dir);
  ASSERT_EQ(watcher.watchDirectory(root, kNames, rec, true), 0);
  createFile(root + "\\n.txt");
  EXPECT_TRUE(rec->waitFor("added " + root + "\\n.txt")) << rec->dump();
  EXPECT_TRUE(watcher.unwatchDirectory(root));
  EXPECT_EQ(rec->snapshot(), (std::vector<std::string>{"added " + root + "\\n.txt"}));
}

TEST(DirectoryWatcher, AHandlerServesOneWatcher) {
  testing_support::TempDir a, b, c;
  DirectoryWatcher first(DelayedNotifier::Mode::Thread, 0);
  DirectoryWatcher second(DelayedNotifier::Mode::Thread, 0);
  auto rec = std::make_shared<Recorder>();
  ASSERT_EQ(first.watchDirectory(folderOf(a), kNames, rec, true), 0);
  ASSERT_EQ(first.watchDirectory(folderOf(b), kNames, rec, true), 0);
  // Attached to the second watcher, the handler leaves the first one.
  ASSERT_EQ(second.watchDirectory(folderOf(c), kNames, rec, true), 0);
  EXPECT_FALSE(first.isWatching(folderOf(a)));
  EXPECT_FALSE(first.isWatching(folderOf(b)));
  EXPECT_TRUE(rec->has("stopped " + folderOf(a)));
  EXPECT_TRUE(rec->has("stopped " + folderOf(b)));
  // Unwatching by handler ends all its watches.
  auto other = std::make_shared<Recorder>();
  testing_support::TempDir d;
  ASSERT_EQ(second.watchDirectory(folderOf(d), kNames, other, true), 0);
  second.unwatchHandler(rec.get());
  EXPECT_FALSE(second.isWatching(folderOf(c)));
  EXPECT_TRUE(second.isWatching(folderOf(d)));
}

}  // namespace
