// The real Wardsel.exe as a process, seen from the main program's side: a
// test window published as "hwnd" receives the agent's alerts and answers
// each one as the alert window would.
#include <windows.h>

#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <thread>

#include "common/text.h"
#include "scan/database_writer.h"
#include "settings/key_layout.h"
#include "support/main_window_stand_in.h"
#include "support/temp_dir.h"

namespace {

using namespace std::chrono_literals;
using testing_support::AgentProcess;
using testing_support::MainWindowStandIn;
namespace ch = agent::channel;

std::wstring w(const std::string& s) { return text::widen(s); }

void createFile(const std::string& path, const std::string& bytes) {
  HANDLE f = CreateFileW(w(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  ASSERT_NE(f, INVALID_HANDLE_VALUE) << path;
  DWORD written = 0;
  WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(f);
}

void setRunValue(const std::string& name, const std::string& data) {
  HKEY key;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, w(agent::kStartupKeyPath).c_str(), 0, nullptr, 0,
                            KEY_SET_VALUE, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  const std::wstring d = w(data);
  RegSetValueExW(key, w(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(d.c_str()),
                 static_cast<DWORD>((d.size() + 1) * 2));
  RegCloseKey(key);
}

void deleteRunValue(const std::string& name) {
  RegDeleteKeyValueW(HKEY_CURRENT_USER, w(agent::kStartupKeyPath).c_str(), w(name).c_str());
}

class Wardsel : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* exe = std::getenv("WARDSEL_EXE");
    ASSERT_NE(exe, nullptr) << "WARDSEL_EXE names the program under test";
    tag = std::to_string(GetCurrentProcessId());
    watched = "C:\\tv_e2e_" + tag + "_새 폴더";  // the database carries it as CP949
    runName = "TvE2E_" + tag;
    agentExe = programFolder.file(agent::kAgentProgramName);
    ASSERT_TRUE(CopyFileW(w(testing_support::windowsPathOfHostPath(exe)).c_str(), w(agentExe).c_str(), FALSE));
    writeDatabase();
    main.store().deleteKey(keys::kRoot, keys::kConfidence, true);
  }
  void TearDown() override {
    for (const char* f : {"\\evil.exe", "\\trusted.exe", "\\evil2.exe"}) DeleteFileW(w(watched + f).c_str());
    RemoveDirectoryW(w(watched).c_str());
    for (const std::string& probe : probes) RemoveDirectoryW(w(probe).c_str());
    deleteRunValue(runName);
    deleteRunValue("TorvaneUpdate");
    main.store().deleteKey(keys::kRoot, keys::kConfidence, true);
    main.store().deleteValue(keys::kRoot, keys::kMain, keys::value::kHwnd);
    main.store().deleteValue(keys::kRoot, keys::kMain, keys::value::kHwndAgent);
  }

  void writeDatabase() {
    scan::DatabaseContent content;
    scan::Definition d;
    d.name = "Trojan.E2E";
    d.info = "트로이목마";
    for (const char* f : {"\\evil.exe", "\\trusted.exe", "\\evil2.exe"})
      d.files.push_back({watched + f, "default", scan::kind::kFile});
    content.definitions.push_back(d);
    testing_support::writeFile(programFolder.file(scan::kDatabaseFileName), scan::writeDatabase(content));
  }

  // The agent window, once it is up and its watch of C:\ reports new folders
  // (each probe is a new folder directly under C:\, logged in list box 1000).
  HWND waitUntilWatching(AgentProcess& agent) {
    HWND window = nullptr;
    for (int i = 0; i < 500 && !window; ++i, Sleep(20)) window = agent.findWindow();
    if (!window) return nullptr;
    HWND log = GetDlgItem(window, 1000);
    for (int i = 0; i < 100; ++i) {
      const std::string probe = "C:\\tv_probe_" + tag + "_" + std::to_string(i);
      CreateDirectoryW(w(probe).c_str(), nullptr);
      probes.push_back(probe);
      for (int j = 0; j < 10; ++j, Sleep(20))
        if (SendMessageW(log, LB_GETCOUNT, 0, 0) > 0) return window;
    }
    return nullptr;
  }

  std::string flag(const char* name) { return main.channel().read(name); }
  void setFlags(const char* text) {
    for (const char* name : {ch::kFile, ch::kFileCheck, ch::kReg})
      main.store().writeString(keys::kRoot, keys::kConfidence, name, text);
  }
  void expectFlagsOff(const char* when) {
    for (const char* name : {ch::kFile, ch::kFileCheck, ch::kReg}) EXPECT_EQ(flag(name), "0") << when << ": " << name;
  }

  testing_support::TempDir programFolder;
  MainWindowStandIn main;
  std::string tag, watched, runName, agentExe;
  std::vector<std::string> probes;
};

TEST_F(Wardsel, FindingsReachTheMainWindowOneByOneAndTheAgentStopsCleanly) {
  AgentProcess agent;
  ASSERT_TRUE(agent.start(agentExe));
  testing_support::VisibilityWatch visibility(agent.id());
  HWND window = waitUntilWatching(agent);
  ASSERT_NE(window, nullptr) << "the agent did not start watching";
  EXPECT_EQ(main.channel().agentWindow(), reinterpret_cast<intptr_t>(window));
  RECT r;
  GetWindowRect(window, &r);
  EXPECT_EQ(r.right - r.left, 0);
  EXPECT_TRUE(GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
  EXPECT_FALSE(GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_APPWINDOW);

  {
    SCOPED_TRACE("a listed file in a folder made after the agent started");
    ASSERT_TRUE(CreateDirectoryW(w(watched).c_str(), nullptr));
    createFile(watched + "\\evil.exe", "MZ evil");
    ASSERT_TRUE(main.waitForAlerts(1, 10s));
    const auto& a = main.alerts()[0];
    EXPECT_FALSE(a.startup);
    EXPECT_EQ(a.fileFlag, "1");
    EXPECT_EQ(a.file.object, "Trojan.E2E");
    EXPECT_EQ(a.file.path, watched + "\\evil.exe");
    EXPECT_EQ(a.file.size, "default");
    EXPECT_TRUE(std::regex_match(a.file.time, std::regex(R"(\d{4}\.\d\d\.\d\d, \d\d:\d\d:\d\d)"))) << a.file.time;
  }
  {
    SCOPED_TRACE("a trusted file raises nothing; the next listed file does");
    agent::TrustedZone(main.store()).trustFile(watched + "\\trusted.exe", "default");
    createFile(watched + "\\trusted.exe", "MZ trusted");
    createFile(watched + "\\evil2.exe", "MZ evil 2");
    ASSERT_TRUE(main.waitForAlerts(2, 10s));
    main.pump(1500ms);
    ASSERT_EQ(main.alerts().size(), 2u);
    EXPECT_EQ(main.alerts()[1].file.path, watched + "\\evil2.exe");
  }
  {
    SCOPED_TRACE("a new Run value raises an alert, an own Run name none");
    setRunValue("TorvaneUpdate", "C:\\own.exe");
    setRunValue(runName, "C:\\e2e.exe");
    ASSERT_TRUE(main.waitForAlerts(3, 10s));
    main.pump(1000ms);
    ASSERT_EQ(main.alerts().size(), 3u);
    const auto& a = main.alerts()[2];
    EXPECT_TRUE(a.startup);
    EXPECT_EQ(a.reg.name, runName);
    EXPECT_EQ(a.reg.path, "C:\\e2e.exe#HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run");
    EXPECT_TRUE(std::regex_match(a.reg.time, std::regex(R"(\d\d/\d\d/\d{4}  \d\d:\d\d:\d\d)"))) << a.reg.time;
    EXPECT_EQ(flag(ch::kRegObject), "Startup registry");
  }
  {
    SCOPED_TRACE("a second agent exits at once and leaves the three flags 0");
    setFlags("1");
    AgentProcess second;
    ASSERT_TRUE(second.start(agentExe));
    EXPECT_EQ(second.waitForExit(10s), 0);
    expectFlagsOff("after the second agent");
    EXPECT_TRUE(agent.running());
  }
  {
    SCOPED_TRACE("WM_CLOSE to the window by its title ends the agent");
    setFlags("1");
    HWND found = FindWindowW(nullptr, w(agent::kAgentWindowTitle).c_str());
    ASSERT_EQ(found, window);
    PostMessageW(found, WM_CLOSE, 0, 0);
    EXPECT_EQ(agent.waitForExit(10s), 0);
    expectFlagsOff("after WM_CLOSE");
  }
  EXPECT_FALSE(visibility.sawVisibleWindow()) << visibility.what();
}

// A burst of new files, some of them listed: every new path is logged and
// every listed file raises its own alert (none is lost behind the others).
TEST_F(Wardsel, ABurstOfNewFilesIsCheckedWhole) {
  constexpr int kFiles = 2000;
  constexpr int kListed = 20;
  const std::string burst = watched + "\\burst";
  auto pathOf = [&](int i) { return burst + "\\f" + std::to_string(i) + ".exe"; };
  scan::DatabaseContent content;
  for (int k = 0; k < kListed; ++k) {
    scan::Definition d;
    d.name = "Burst.Listed" + std::to_string(k);
    d.files.push_back({pathOf(k * (kFiles / kListed)), "default", scan::kind::kFile});
    content.definitions.push_back(d);
  }
  testing_support::writeFile(programFolder.file(scan::kDatabaseFileName), scan::writeDatabase(content));

  AgentProcess agent;
  ASSERT_TRUE(agent.start(agentExe));
  HWND window = waitUntilWatching(agent);
  ASSERT_NE(window, nullptr) << "the agent did not start watching";
  HWND log = GetDlgItem(window, 1000);
  ASSERT_TRUE(CreateDirectoryW(w(watched).c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryW(w(burst).c_str(), nullptr));
  main.pump(500ms);
  const LRESULT linesBefore = SendMessageW(log, LB_GETCOUNT, 0, 0);

  // The burst comes from another thread while this one answers the alerts.
  std::thread creator([&] {
    for (int i = 0; i < kFiles; ++i) {
      HANDLE f = CreateFileW(w(pathOf(i)).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
      if (f != INVALID_HANDLE_VALUE) CloseHandle(f);
    }
  });
  const bool allAlerts = main.waitForAlerts(kListed, 120s);
  creator.join();
  for (int i = 0; i < 600 && SendMessageW(log, LB_GETCOUNT, 0, 0) - linesBefore < kFiles; ++i)
    main.pump(100ms);
  main.pump(1000ms);  // anything more that would come

  EXPECT_TRUE(allAlerts) << main.alerts().size() << " alerts";
  EXPECT_EQ(SendMessageW(log, LB_GETCOUNT, 0, 0) - linesBefore, kFiles) << "every new path logged";
  std::set<std::string> named;
  for (const auto& a : main.alerts()) named.insert(a.file.path);
  EXPECT_EQ(main.alerts().size(), static_cast<size_t>(kListed));
  EXPECT_EQ(named.size(), static_cast<size_t>(kListed)) << "each alert names a different listed file";

  PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(agent.waitForExit(10s), 0);
  for (int i = 0; i < kFiles; ++i) DeleteFileW(w(pathOf(i)).c_str());
  RemoveDirectoryW(w(burst).c_str());
}

}  // namespace
