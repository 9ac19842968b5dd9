// The real torvane.exe as a process, driven from outside through window
// messages as a user's clicks would send them: its published handle, the
// single instance, the "boot" start, a quick scan and its remedy, the tools
// pages with the sample ActiveX list, and the exit from the tray that ends
// the agent with it.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "common/text.h"
#include "platform/win32/win32_registry.h"
#include "tools/killbits.h"
#include "scan/database_writer.h"
#include "settings/key_layout.h"
#include "settings/registry_store.h"
#include "support/main_window_stand_in.h"
#include "support/remote_window.h"
#include "support/temp_dir.h"

namespace {

using testing_support::remoteListRows;
using testing_support::remoteText;

constexpr wchar_t kTitle[] = L"Torvane AntiVirus 2008™";
constexpr wchar_t kAgentTitle[] = L"Torvane RealTime System™";

std::wstring w(const std::string& s) { return text::widen(s); }

bool waitFor(const std::function<bool()>& condition, DWORD ms) {
  const DWORD started = GetTickCount();
  while (!condition()) {
    if (GetTickCount() - started >= ms) return false;
    Sleep(20);
  }
  return true;
}

class Program {
 public:
  ~Program() {
    if (running()) TerminateProcess(info_.hProcess, 1);
    if (info_.hProcess) CloseHandle(info_.hProcess);
    if (info_.hThread) CloseHandle(info_.hThread);
  }
  bool start(const std::string& exe, const std::string& arguments) {
    std::wstring line = L"\"" + w(exe) + L"\"" + (arguments.empty() ? L"" : L" " + w(arguments));
    STARTUPINFOW startup{sizeof startup};
    return CreateProcessW(w(exe).c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &info_) != FALSE;
  }
  bool running() const { return info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT; }
  // The exit code, or -1 when it still runs after `ms`.
  int waitForExit(DWORD ms) const {
    if (WaitForSingleObject(info_.hProcess, ms) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(info_.hProcess, &code);
    return static_cast<int>(code);
  }
  DWORD id() const { return info_.dwProcessId; }
  // Waits until the program's start-up is over and it waits for input.
  bool waitForInputIdle(DWORD ms) const { return WaitForInputIdle(info_.hProcess, ms) == 0; }

 private:
  PROCESS_INFORMATION info_{};
};

HWND windowOf(DWORD processId, const wchar_t* title) {
  HWND found = FindWindowW(nullptr, title);
  DWORD owner = 0;
  if (found) GetWindowThreadProcessId(found, &owner);
  return owner == processId ? found : nullptr;
}

class TorvaneProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* exe = std::getenv("TORVANE_EXE");
    const char* agent = std::getenv("WARDSEL_EXE");
    ASSERT_TRUE(exe && agent) << "TORVANE_EXE and WARDSEL_EXE name the programs under test";
    programExe_ = folder_.file("torvane.exe");
    agentExe_ = folder_.file("Wardsel.exe");
    ASSERT_TRUE(CopyFileW(w(testing_support::windowsPathOfHostPath(exe)).c_str(), w(programExe_).c_str(), FALSE));
    ASSERT_TRUE(CopyFileW(w(testing_support::windowsPathOfHostPath(agent)).c_str(), w(agentExe_).c_str(), FALSE));
    keyPath_ = "Software\\TorvaneE2E_" + std::to_string(GetCurrentProcessId());
    clearValues();
    writeDatabase({});
  }
  void TearDown() override {
    clearValues();
    store_.deleteKey(platform::RootKey::CurrentUser, keyPath_, true);
  }
  void clearValues() {
    for (const char* name : {keys::value::kHwnd, keys::value::kHwndAgent, keys::value::kQuickScan,
                             keys::value::kFullScan, keys::value::kLastScanDate, keys::value::kAutoRemedy})
      store_.deleteValue(keys::kRoot, keys::kMain, name);
  }
  void writeDatabase(const std::vector<scan::Definition>& definitions) {
    scan::DatabaseContent content;
    content.version = "E2E (2026.12.11)";
    content.info = "업데이트:2026-12-11";
    content.definitions = definitions;
    testing_support::writeFile(folder_.file(scan::kDatabaseFileName), scan::writeDatabase(content));
  }
  // Starts torvane.exe and waits for its window to show.
  HWND start(Program& program, const std::string& arguments = "") {
    EXPECT_TRUE(program.start(programExe_, arguments));
    HWND window = nullptr;
    EXPECT_TRUE(waitFor([&] { return (window = windowOf(program.id(), kTitle)) != nullptr; }, 30000));
    EXPECT_TRUE(program.waitForInputIdle(30000));
    return window;
  }
  // Clicks `button` and returns the text of the message box it leads to,
  // after pressing its OK.
  std::string clickAndAnswer(HWND window, int button, std::string* caption = nullptr) {
    PostMessageW(GetDlgItem(window, button), BM_CLICK, 0, 0);
    HWND box = nullptr;
    if (!waitFor([&] { return (box = testing_support::findOwnedWindow(window)) != nullptr; }, 60000))
      return "(no message box)";
    Sleep(100);
    const std::string message = remoteText(GetDlgItem(box, 0xFFFF));
    if (caption) *caption = remoteText(box);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    waitFor([&] { return !IsWindow(box); }, 10000);
    return message;
  }
  void exitThroughTray(Program& program, HWND window) {
    PostMessageW(window, WM_COMMAND, 32776, 0);
    EXPECT_EQ(program.waitForExit(20000), 0);
  }

  testing_support::TempDir folder_;
  testing_support::TempDir fixtures_;
  std::string programExe_, agentExe_, keyPath_;
  win32::Win32Registry registry_;
  settings::RegistryStore store_{registry_};
};

TEST_F(TorvaneProgram, PublishesItsWindowAndASecondStartBringsItForward) {
  Program first;
  HWND window = start(first);
  ASSERT_NE(window, nullptr);
  const std::string published = settings::handleText(reinterpret_cast<intptr_t>(window));
  EXPECT_EQ(store_.readString(keys::kRoot, keys::kMain, keys::value::kHwnd, "0"), published);

  PostMessageW(window, WM_COMMAND, 1010, 0);  // the close button only hides
  ASSERT_TRUE(waitFor([&] { return !IsWindowVisible(window); }, 10000));
  EXPECT_TRUE(first.running());

  Program second;
  ASSERT_TRUE(second.start(programExe_, ""));
  EXPECT_EQ(second.waitForExit(20000), 0);
  EXPECT_TRUE(waitFor([&] { return IsWindowVisible(window) != FALSE; }, 5000));
  EXPECT_EQ(store_.readString(keys::kRoot, keys::kMain, keys::value::kHwnd, "0"), published);
  EXPECT_TRUE(first.running());
  exitThroughTray(first, window);
}

TEST_F(TorvaneProgram, BootStartHidesTheWindowAndTheTrayBringsItBack) {
  Program program;
  ASSERT_TRUE(program.start(programExe_, "boot"));
  HWND window = nullptr;
  ASSERT_TRUE(waitFor([&] { return (window = windowOf(program.id(), kTitle)) != nullptr; }, 30000));
  // The window has no WS_VISIBLE while it is set up: what counts is after that.
  ASSERT_TRUE(program.waitForInputIdle(30000));
  ASSERT_TRUE(waitFor([&] { return !IsWindowVisible(window); }, 10000));
  Sleep(500);
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_TRUE(program.running());
  // A double click on the tray icon (its callback message) shows it.
  PostMessageW(window, 0x1105, 160, WM_LBUTTONDBLCLK);
  EXPECT_TRUE(waitFor([&] { return IsWindowVisible(window) != FALSE; }, 10000));
  exitThroughTray(program, window);

  // Other letter case, or more words, is a normal start.
  for (const char* arguments : {"Boot", "boot now"}) {
    Program visible;
    HWND shown = start(visible, arguments);
    ASSERT_NE(shown, nullptr);
    Sleep(1000);
    EXPECT_TRUE(IsWindowVisible(shown)) << arguments;
    exitThroughTray(visible, shown);
  }
}

TEST_F(TorvaneProgram, QuickScanListsWhatItFindsAndTheRemedyRemovesIt) {
  const std::string dropper = fixtures_.file("dropper.exe");
  const std::string library = fixtures_.file("악성 라이브러리.DLL");
  testing_support::writeFile(dropper, "MZ dropper");
  testing_support::writeFile(library, "MZ library");
  ASSERT_TRUE(store_.writeString(platform::RootKey::CurrentUser, keyPath_, "run", "payload"));
  scan::Definition first{"Trojan.Dropper", "트로이목마", {{dropper, "default", scan::kind::kFile}}, {}, 0};
  scan::Definition second{"Worm.Library", "웜", {{library, "10", scan::kind::kFile}},
                          {{"HKEY_CURRENT_USER", keyPath_, "run", "payload", "레지값"}}, 0};
  writeDatabase({first, second});
  store_.writeString(keys::kRoot, keys::kMain, keys::value::kQuickScan, "1");
  store_.writeString(keys::kRoot, keys::kMain, keys::value::kFullScan, "0");

  Program program;
  HWND window = start(program);
  ASSERT_NE(window, nullptr);
  PostMessageW(window, WM_COMMAND, 1012, 0);  // the scan page
  std::string caption;
  const std::string message = clickAndAnswer(window, 1021, &caption);
  EXPECT_EQ(message.rfind("악성코드 검사를 완료 하였습니다.  \n\n검사결과 : 3 개의 악성코드가 발견 되었습니다. "
                          "\n\n검사시간 : 00:00:",
                          0),
            0u)
      << message;
  EXPECT_EQ(caption, "torvane");
  const auto rows = remoteListRows(GetDlgItem(window, 1025), 4);
  const std::vector<std::vector<std::string>> expected = {
      {"Worm.Library", "HKEY_CURRENT_USER\\" + keyPath_ + "/run/payload", "웜", "레지값"},
      {"Worm.Library", library, "웜", "파일"},
      {"Trojan.Dropper", dropper, "트로이목마", "파일"},
  };
  EXPECT_EQ(rows, expected);
  EXPECT_NE(store_.readString(keys::kRoot, keys::kMain, keys::value::kLastScanDate, keys::kDefault),
            keys::kDefault);

  EXPECT_EQ(clickAndAnswer(window, 1023), "악성코드 치료를 완료 하였습니다.");
  EXPECT_TRUE(remoteListRows(GetDlgItem(window, 1025), 4).empty());
  EXPECT_EQ(GetFileAttributesW(w(dropper).c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetFileAttributesW(w(library).c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_FALSE(store_.valueExists(platform::RootKey::CurrentUser, keyPath_, "run"));
  exitThroughTray(program, window);
}

TEST_F(TorvaneProgram, ToolsPagesShowTheSampleBlockListProcessesStartupAndAddOns) {
  const char* sample = std::getenv("TORVANE_KILLBIT_SAMPLE");
  ASSERT_NE(sample, nullptr);
  ASSERT_TRUE(CopyFileW(w(testing_support::windowsPathOfHostPath(sample)).c_str(),
                        w(folder_.file(tools::kKillbitFileName)).c_str(), FALSE));
  const std::vector<std::string> classes = {"{91F6A2D4-0C7B-4E15-B3A9-5D8E6C1F2A04}",
                                            "{C35D0F17-9A42-4B8E-A6D0-48B7E21F9C03}",
                                            "{2E94B6C8-51AF-4C3E-8D27-6F1A09C3B502}",
                                            "{7A0C1E52-3B9D-4F60-9C11-0D5E2A7B4F01}"};
  win32::Win32Registry view32(win32::RegistryView::Bits32);
  settings::RegistryStore store32(view32);
  auto killBitKey = [](const std::string& id) { return std::string(tools::kActiveXCompatibility) + id; };
  for (const auto& id : classes) {
    store_.deleteKey(keys::kRoot, killBitKey(id), true);
    store32.deleteKey(keys::kRoot, killBitKey(id), true);
  }
  const char* run = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
  const std::string entry = "TorvaneE2E_" + std::to_string(GetCurrentProcessId());
  ASSERT_TRUE(store_.writeString(platform::RootKey::CurrentUser, run, entry, "C:\\e2e.exe"));

  Program program;
  HWND window = start(program);
  ASSERT_NE(window, nullptr);
  auto show = [&](int tab) {
    PostMessageW(window, WM_COMMAND, tab, 0);
    Sleep(500);
  };
  show(1043);
  const auto rows = remoteListRows(GetDlgItem(window, 1048), 3);
  const std::vector<std::vector<std::string>> expected = {
      {"SpeedDial Plugin", classes[0], "해제"},
      {"Lucky Coupon Bar", classes[1], "해제"},
      {"FreeWallpaper Loader", classes[2], "해제"},
      {"QuickToolbar Helper", classes[3], "해제"},
  };
  EXPECT_EQ(rows, expected);
  EXPECT_EQ(remoteText(GetDlgItem(window, 1033)), "현재 4개 중 0개가 차단 상태입니다.");
  EXPECT_EQ(clickAndAnswer(window, 1049), "ActiveX 차단을 완료 하였습니다.");
  for (const auto& id : classes) {
    EXPECT_EQ(store_.readDword(keys::kRoot, killBitKey(id), tools::kCompatibilityFlags, 0), 1024u) << id;
    EXPECT_EQ(store32.readDword(keys::kRoot, killBitKey(id), tools::kCompatibilityFlags, 0), 1024u) << id;
  }
  EXPECT_EQ(remoteText(GetDlgItem(window, 1033)), "현재 4개 중 4개가 차단 상태입니다.");

  show(1044);
  const auto processes = remoteListRows(GetDlgItem(window, 1051), 3);
  EXPECT_NE(std::find(processes.begin(), processes.end(), std::vector<std::string>{"torvane.exe", "", "실행"}),
            processes.end());
  show(1045);
  const auto startup = remoteListRows(GetDlgItem(window, 1051), 3);
  EXPECT_NE(std::find(startup.begin(), startup.end(),
                      std::vector<std::string>{entry, "C:\\e2e.exe",
                                               "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run"}),
            startup.end());
  show(1046);
  EXPECT_EQ(remoteText(GetDlgItem(window, 1033)).rfind("현재 설치된 IE 플러그인 : ", 0), 0u);
  show(1042);
  EXPECT_EQ(clickAndAnswer(window, 1036).rfind("윈도우 최적화를 완료하였습니다. \n\n검색결과 : ", 0), 0u);
  exitThroughTray(program, window);

  store_.deleteValue(platform::RootKey::CurrentUser, run, entry);
  for (const auto& id : classes) {
    store_.deleteKey(keys::kRoot, killBitKey(id), true);
    store32.deleteKey(keys::kRoot, killBitKey(id), true);
  }
}

TEST_F(TorvaneProgram, ExitFromTheTrayEndsTheAgent) {
  Program agent;
  ASSERT_TRUE(agent.start(agentExe_, ""));
  ASSERT_TRUE(waitFor([&] { return windowOf(agent.id(), kAgentTitle) != nullptr; }, 30000));
  Program program;
  HWND window = start(program);
  ASSERT_NE(window, nullptr);
  exitThroughTray(program, window);
  EXPECT_EQ(agent.waitForExit(20000), 0);
}

}  // namespace
