// Benchmark of the real agent: a burst of new files in a watched tree, some of
// them listed in the database. Prints how many new paths the agent logged,
// how many alerts reached the main window (answered at once, as the alert
// window would), whether each named a different listed file, and the time
// from a listed file's creation to its alert.
//
// usage: agent_bench WARDSEL_EXE [FILES] [LISTED]     (Windows paths)
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <optional>
#include <thread>
#include <set>
#include <string>

#include "common/file_io.h"
#include "common/text.h"
#include "scan/database_writer.h"
#include "settings/key_layout.h"
#include "support/main_window_stand_in.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;
using testing_support::AgentProcess;
using testing_support::MainWindowStandIn;

std::wstring w(const std::string& s) { return text::widen(s); }

bool createFile(const std::string& path) {
  HANDLE f = CreateFileW(w(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  WriteFile(f, "MZ", 2, &written, nullptr);
  CloseHandle(f);
  return true;
}

std::string tempFolder() {
  wchar_t buffer[MAX_PATH];
  GetTempPathW(MAX_PATH, buffer);
  return text::narrow(buffer) + "tv_agent_bench_" + std::to_string(GetCurrentProcessId()) + "\\";
}

double ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: agent_bench WARDSEL_EXE [FILES] [LISTED]\n");
    return 2;
  }
  const int files = argc > 2 ? std::atoi(argv[2]) : 10000;
  const int listed = argc > 3 ? std::atoi(argv[3]) : 100;
  const int perFolder = 1000;
  const std::string tree = "C:\\tv_bench_" + std::to_string(GetCurrentProcessId());
  auto pathOf = [&](int i) {
    return tree + "\\d" + std::to_string(i / perFolder) + "\\f" + std::to_string(i) + ".exe";
  };
  const int step = files / listed;

  // Program folder: the agent and a database listing every step-th file.
  const std::string folder = tempFolder();
  CreateDirectoryW(w(folder).c_str(), nullptr);
  const std::string exe = folder + "Wardsel.exe";
  if (!CopyFileW(w(argv[1]).c_str(), w(exe).c_str(), FALSE)) {
    std::fprintf(stderr, "cannot copy %s\n", argv[1]);
    return 2;
  }
  scan::DatabaseContent content;
  for (int k = 0; k < listed; ++k) {
    scan::Definition d;
    d.name = "Bench.Listed" + std::to_string(k);
    d.files.push_back({pathOf(k * step), "default", scan::kind::kFile});
    content.definitions.push_back(d);
  }
  fileio::writeWholeFile(folder + scan::kDatabaseFileName, scan::writeDatabase(content));

  // Baseline: the same burst with no agent running.
  const std::string baseTree = tree + "_baseline";
  auto createBurst = [&](const std::string& root, auto&& afterEach) {
    CreateDirectoryW(w(root).c_str(), nullptr);
    for (int i = 0; i < files; ++i) {
      if (i % perFolder == 0) CreateDirectoryW(w(root + "\\d" + std::to_string(i / perFolder)).c_str(), nullptr);
      const std::string path = root + pathOf(i).substr(tree.size());
      if (!createFile(path)) std::fprintf(stderr, "cannot create %s\n", path.c_str());
      afterEach(i, path);
    }
  };
  const Clock::time_point baseStart = Clock::now();
  createBurst(baseTree, [](int, const std::string&) {});
  const Clock::duration baseline = Clock::now() - baseStart;
  for (int i = 0; i < files; ++i) DeleteFileW(w(baseTree + pathOf(i).substr(tree.size())).c_str());
  for (int f = 0; f * perFolder < files; ++f) RemoveDirectoryW(w(baseTree + "\\d" + std::to_string(f)).c_str());
  RemoveDirectoryW(w(baseTree).c_str());

  // The main program's side runs on a thread of its own that does nothing
  // but answer alerts, as the main window's thread would.
  std::optional<MainWindowStandIn> mainWindow;
  bool allAlerts = false;
  HANDLE published = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::thread mainThread([&] {
    mainWindow.emplace(/*answerAtOnce=*/true);
    mainWindow->store().deleteKey(keys::kRoot, keys::kConfidence, true);
    SetEvent(published);
    allAlerts = mainWindow->waitForAlerts(listed, 240s);
    mainWindow->pump(2000ms);  // anything more that would come
  });
  WaitForSingleObject(published, INFINITE);
  MainWindowStandIn& main = *mainWindow;
  AgentProcess agent;
  if (!agent.start(exe)) return 2;
  HWND window = nullptr;
  for (int i = 0; i < 500 && !window; ++i, Sleep(20)) window = agent.findWindow();
  HWND log = window ? GetDlgItem(window, 1000) : nullptr;
  // Wait until the watch of C:\ reports a new folder.
  CreateDirectoryW(w(tree).c_str(), nullptr);
  for (int i = 0; i < 500 && SendMessageW(log, LB_GETCOUNT, 0, 0) == 0; ++i) {
    RemoveDirectoryW(w(tree).c_str());
    Sleep(20);
    CreateDirectoryW(w(tree).c_str(), nullptr);
    Sleep(20);
  }
  if (SendMessageW(log, LB_GETCOUNT, 0, 0) == 0) {
    std::fprintf(stderr, "the agent does not watch\n");
    return 1;
  }
  const LRESULT linesBefore = SendMessageW(log, LB_GETCOUNT, 0, 0);

  // The burst.
  std::map<std::string, Clock::time_point> createdAt;
  const Clock::time_point burstStart = Clock::now();
  createBurst(tree, [&](int i, const std::string& path) {
    if (i % step == 0) createdAt[path] = Clock::now();
  });
  const Clock::time_point burstEnd = Clock::now();
  const Clock::duration burst = burstEnd - burstStart;
  const int folders = (files + perFolder - 1) / perFolder;
  // When the agent has logged every new path of the burst.
  while (SendMessageW(log, LB_GETCOUNT, 0, 0) - linesBefore < files + folders &&
         Clock::now() - burstEnd < 120s)
    Sleep(10);
  const Clock::duration caughtUp = Clock::now() - burstEnd;
  mainThread.join();
  const LRESULT logged = SendMessageW(log, LB_GETCOUNT, 0, 0) - linesBefore - folders;

  std::vector<double> latencies;
  std::set<std::string> named;
  for (const auto& a : main.alerts()) {
    named.insert(a.file.path);
    const auto it = createdAt.find(a.file.path);
    if (it != createdAt.end()) latencies.push_back(ms(a.at - it->second));
  }
  std::sort(latencies.begin(), latencies.end());

  PostMessageW(window, WM_CLOSE, 0, 0);
  agent.waitForExit(10s);
  for (int i = 0; i < files; ++i) DeleteFileW(w(pathOf(i)).c_str());
  for (int f = 0; f < folders; ++f) RemoveDirectoryW(w(tree + "\\d" + std::to_string(f)).c_str());
  RemoveDirectoryW(w(tree).c_str());
  DeleteFileW(w(exe).c_str());
  DeleteFileW(w(folder + scan::kDatabaseFileName).c_str());
  RemoveDirectoryW(w(folder).c_str());
  main.store().deleteKey(keys::kRoot, keys::kConfidence, true);

  std::printf("baseline, no agent:    %d files created in %.0f ms\n", files, ms(baseline));
  std::printf("files created:        %d in %.0f ms (%.2f x the baseline)\n", files, ms(burst),
              ms(burst) / ms(baseline));
  std::printf("agent caught up:      %.0f ms after the burst ended\n", ms(caughtUp));
  std::printf("new files logged:     %ld of %d\n", static_cast<long>(logged), files);
  std::printf("alerts:               %zu (goal %d), different listed files named: %zu%s\n",
              main.alerts().size(), listed, named.size(), allAlerts ? "" : "  [TIMED OUT]");
  if (!latencies.empty())
    std::printf("creation -> alert:    median %.0f ms, worst %.0f ms\n",
                latencies[latencies.size() / 2], latencies.back());
  const bool ok = logged == files && static_cast<int>(main.alerts().size()) == listed &&
                  static_cast<int>(named.size()) == listed;
  std::printf("%s\n", ok ? "OK" : "NOT OK");
  return ok ? 0 : 1;
}
