// The tools pages of the main window made in this process from the real
// resources, against the real registry (both views), files on C: and
// processes: the optimisation search and delete with "filter.txt", the
// file-type dialog, the ActiveX kill bits, ending a process by its row, the
// start-up rows of three keys and the browser add-ons. Each page and the
// dialog are saved as screenshots.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <thread>

#include "app/win32/main_window.h"
#include "app/window_texts.h"
#include "common/file_io.h"
#include "common/text.h"
#include "gui/gui_harness.h"
#include "gui/main_window_fixture.h"
#include "platform/win32/system_folders.h"
#include "platform/win32/win32_registry.h"
#include "settings/key_layout.h"
#include "support/screenshot.h"
#include "tools/addon_list.h"
#include "tools/junk_rules.h"
#include "tools/killbits.h"
#include "tools/win32/file_type_dialog.h"
#include "tools/win32/tools_pages.h"
#include "ui/check_box_rules.h"

namespace {

using app::Page;
using platform::RootKey;
namespace cmd = app::command;

constexpr int kEndProcess = 1052;
constexpr int kBlock = 1049;
constexpr int kUnblock = 1050;
constexpr int kRecover = 1054;

// A dialog box (of any thread) owned by `owner`, other than `except`.
HWND findOwnedBox(HWND owner, HWND except = nullptr) {
  struct Search {
    HWND owner, except, found = nullptr;
  } search{owner, except};
  EnumWindows(
      [](HWND w, LPARAM p) -> BOOL {
        auto* s = reinterpret_cast<Search*>(p);
        wchar_t name[16] = L"";
        GetClassNameW(w, name, 16);
        if (w != s->except && IsWindowVisible(w) && GetWindow(w, GW_OWNER) == s->owner &&
            lstrcmpW(name, L"#32770") == 0 && GetDlgItem(w, 0xFFFF)) {
          s->found = w;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

struct Box {
  std::string text;
  std::string caption;
};

// Posts the command, waits (pumping) for the message box it shows on any
// thread, runs `whileShown` (on another thread) and presses `button` on it.
bool answer(HWND main, int command, Box* seen, int button = IDOK,
            const std::function<void()>& whileShown = nullptr) {
  std::atomic<bool> done{false}, found{false};
  std::thread helper([&] {
    for (int i = 0; i < 6000 && !found; ++i) {  // up to a minute: the walk covers drive C
      if (HWND box = findOwnedBox(main)) {
        Sleep(100);
        seen->text = gui::controlText(box, 0xFFFF);
        seen->caption = gui::windowText(box);
        found = true;
        if (whileShown) whileShown();
        PostMessageW(box, WM_COMMAND, button, 0);
        break;
      }
      Sleep(10);
    }
    done = true;
  });
  PostMessageW(main, WM_COMMAND, command, 0);
  gui::pumpUntil([&] { return done.load(); }, 70000);
  helper.join();
  // The box is gone once its owner is enabled again.
  gui::pumpUntil([&] { return findOwnedBox(main) == nullptr; }, 5000);
  gui::pump(100);
  return found;
}

std::string fixtureRoot() { return "C:\\torvane_gui_tools"; }

void makeFile(const std::string& path) {
  const std::string folder = path.substr(0, path.rfind('\\'));
  SHCreateDirectoryExW(nullptr, text::widen(folder).c_str(), nullptr);
  ASSERT_TRUE(fileio::writeWholeFile(path, "junk")) << path;
}

bool fileExists(const std::string& path) {
  return GetFileAttributesW(text::widen(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

void removeTree(const std::string& path) {
  std::wstring from = text::widen(path);
  from.push_back(L'\0');
  SHFILEOPSTRUCTW op{};
  op.wFunc = FO_DELETE;
  op.pFrom = from.c_str();
  op.fFlags = FOF_NO_UI;
  SHFileOperationW(&op);
}

class ToolsPagesGui : public gui::MainWindowFixture {
 protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    store_.deleteValue(keys::kRoot, keys::kMain, keys::value::kAutoMenu);
    DeleteFileW(text::widen(filterFile_).c_str());
  }
  void TearDown() override {
    window_.reset();
    store_.deleteValue(keys::kRoot, keys::kMain, keys::value::kHwnd);
    DeleteFileW(text::widen(filterFile_).c_str());
    DeleteFileW(text::widen(killbitFile_).c_str());
  }

  tools::ToolsPages& pages() { return window_->toolsPages(); }
  ui::CheckListView& list(int id) { return window_->context().list(id); }
  HWND w() { return window_->window(); }

  win32::Win32Registry registry_;
  win32::Win32Registry registry32_{win32::RegistryView::Bits32};
  settings::RegistryStore store_{registry_};
  settings::RegistryStore store32_{registry32_};
  const std::string filterFile_ = win32::programFolder() + tools::kFilterFileName;
  const std::string killbitFile_ = win32::programFolder() + tools::kKillbitFileName;
};

// ---- Windows optimisation ----------------------------------------------------

TEST_F(ToolsPagesGui, SearchListsEveryKindDeleteRemovesTheCheckedAndALockedFileIsFiltered) {
  const std::string root = fixtureRoot();
  removeTree(root);
  const std::string listed[] = {
      root + "\\A\\report.tmp",       root + "\\A\\HPQGENDS.TMP", root + "\\A\\old.bak",
      root + "\\Temp\\setup.ini",     root + "\\A\\locked.log",
  };
  const std::string notListed[] = {
      root + "\\B\\Hpqgends.tmp", root + "\\A\\archive",        root + "\\Temp\\desktop.ini",
      root + "\\Temp\\sub\\setup.ini", root + "\\A\\Data.bak",  root + "\\A\\note.wbk",
  };
  const std::string cache = root + "\\U\\Temporary Internet Files\\Content.IE5\\AB12CD34";
  // The registry's own logs are never offered, whatever their names.
  const std::string hiveLog = win32::systemFolder() + "config\\torvane_gui.LOG";
  makeFile(hiveLog);
  for (const auto& p : listed) makeFile(p);
  for (const auto& p : notListed) makeFile(p);
  makeFile(cache + "\\page.htm");
  // A switched-off extension is not searched.
  store_.writeString(keys::kRoot, keys::kFileType, "WBK", "0");
  const char* typedUrls = "Software\\Microsoft\\Internet Explorer\\TypedURLs";
  const char* runMru = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU";
  store_.writeString(RootKey::CurrentUser, typedUrls, "torvane_gui_url", "http://fixture.example/");
  store_.writeString(RootKey::CurrentUser, runMru, "torvane_gui_run", "fixture");
  // Held open without delete sharing: it cannot be deleted.
  HANDLE locked = CreateFileW(text::widen(root + "\\A\\locked.log").c_str(), GENERIC_READ, FILE_SHARE_READ,
                              nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(locked, INVALID_HANDLE_VALUE);

  HWND main = open();
  command(cmd::kToolsTweak);
  EXPECT_EQ(gui::controlText(main, 1033) + gui::controlText(main, 1039), "검색위치 : 대기상태");
  EXPECT_EQ(gui::controlText(main, 1034), "검사항목 : ");

  // While the search's closing message waits (its worker still runs), Delete is refused.
  Box seen;
  bool deleteTried = false;
  ASSERT_TRUE(answer(main, cmd::kSearch, &seen, IDOK, [&] {
    SendMessageW(main, WM_COMMAND, cmd::kDelete, 0);
    deleteTried = true;
  }));
  ASSERT_TRUE(deleteTried);
  // The refused Delete deleted nothing, though every row comes checked.
  EXPECT_FALSE(pages().optimisation.deleteRunning());
  EXPECT_TRUE(fileExists(root + "\\A\\report.tmp"));
  EXPECT_EQ(seen.caption, ui::applicationCaption());
  const auto& rows = pages().optimisation.rows();
  EXPECT_EQ(seen.text, tools::searchDoneMessage(rows.size()));
  EXPECT_EQ(gui::controlText(main, 1035), "검사개수 : " + std::to_string(rows.size()));
  EXPECT_EQ(gui::controlText(main, 1039), "대기상태");
  EXPECT_EQ(window_->context().flags.busy.load(), 0);
  auto has = [&](const std::string& location, const char* kind) {
    return std::any_of(rows.begin(), rows.end(),
                       [&](const tools::JunkRow& r) { return r.location == location && r.kind == kind; });
  };
  for (const auto& p : listed) EXPECT_TRUE(has(p, "파일")) << p;
  for (const auto& p : notListed) EXPECT_FALSE(has(p, "파일")) << p;
  EXPECT_TRUE(has(cache, "폴더"));
  EXPECT_FALSE(has(hiveLog, "파일"));
  EXPECT_FALSE(has(root + "\\U\\Temporary Internet Files\\Content.IE5", "폴더"));
  EXPECT_TRUE(has(std::string("HKEY_CURRENT_USER\\") + typedUrls, "레지"));
  EXPECT_TRUE(has(std::string("HKEY_CURRENT_USER\\") + runMru, "레지"));
  shot("tools_optimisation");

  // Only the fixture's rows stay checked.
  ui::CheckListView& results = list(1032);
  ASSERT_EQ(results.rowCount(), static_cast<int>(rows.size()));
  for (int i = 0; i < results.rowCount(); ++i) {
    const tools::JunkRow& r = rows[static_cast<size_t>(i)];
    const bool ours = r.location.rfind(root, 0) == 0 || r.name.rfind("torvane_gui_", 0) == 0;
    results.setChecked(i, ours);
  }
  const size_t others = static_cast<size_t>(std::count_if(rows.begin(), rows.end(), [&](const tools::JunkRow& r) {
    return !(r.location.rfind(root, 0) == 0 || r.name.rfind("torvane_gui_", 0) == 0);
  }));
  ASSERT_TRUE(answer(main, cmd::kDelete, &seen));
  EXPECT_EQ(seen.text, "선택한 항목을 삭제하였습니다.");
  EXPECT_EQ(pages().optimisation.rows().size(), others);
  EXPECT_EQ(gui::controlText(main, 1035), "검사개수 : " + std::to_string(others));
  for (const auto& p : listed)
    EXPECT_EQ(fileExists(p), p == root + "\\A\\locked.log") << p;
  for (const auto& p : notListed) EXPECT_TRUE(fileExists(p)) << p;
  EXPECT_FALSE(fileExists(cache));
  EXPECT_FALSE(store_.valueExists(RootKey::CurrentUser, typedUrls, "torvane_gui_url"));
  EXPECT_FALSE(store_.valueExists(RootKey::CurrentUser, runMru, "torvane_gui_run"));
  std::string filter;
  ASSERT_TRUE(fileio::readWholeFile(filterFile_, &filter));
  EXPECT_EQ(filter, root + "\\A\\locked.log\n");

  // The next search skips the filtered file; a second delete does not write it again.
  makeFile(root + "\\A\\again.tmp");
  ASSERT_TRUE(answer(main, cmd::kSearch, &seen));
  EXPECT_FALSE(has(root + "\\A\\locked.log", "파일"));
  EXPECT_TRUE(has(root + "\\A\\again.tmp", "파일"));
  for (int i = 0; i < results.rowCount(); ++i) results.setChecked(i, false);
  ASSERT_TRUE(answer(main, cmd::kDelete, &seen));
  EXPECT_EQ(seen.text, "선택한 항목을 삭제하였습니다.");
  EXPECT_TRUE(fileExists(root + "\\A\\again.tmp"));
  ASSERT_TRUE(fileio::readWholeFile(filterFile_, &filter));
  EXPECT_EQ(filter, root + "\\A\\locked.log\n");

  CloseHandle(locked);
  removeTree(root);
  DeleteFileW(text::widen(hiveLog).c_str());
  store_.deleteValue(keys::kRoot, keys::kFileType, "WBK");
}

TEST_F(ToolsPagesGui, StopEndsTheSearchWithItsMessage) {
  HWND main = open();
  command(cmd::kToolsTweak);
  Box seen;
  std::thread stopper([&] {
    // Stop as soon as the search has begun (busy), or once it has ended.
    for (int i = 0; i < 6000 && window_->context().flags.busy.load() == 0 && !findOwnedBox(main); ++i) Sleep(1);
    PostMessageW(main, WM_COMMAND, cmd::kStop, 0);
  });
  const bool searched = answer(main, cmd::kSearch, &seen);
  stopper.join();
  ASSERT_TRUE(searched);
  gui::pump(100);
  EXPECT_EQ(seen.text, tools::searchDoneMessage(pages().optimisation.rows().size()));
  EXPECT_EQ(window_->context().flags.busy.load(), 0);
  EXPECT_FALSE(pages().optimisation.searchRunning());
  EXPECT_EQ(gui::controlText(main, 1040), "대기상태");
}

// ---- File-type dialog ----------------------------------------------------------

TEST_F(ToolsPagesGui, FileTypeDialogShowsAndWritesTheSwitches) {
  store_.deleteKey(keys::kRoot, keys::kFileType, true);
  store_.writeString(keys::kRoot, keys::kFileType, "TMP", "0");
  store_.writeString(keys::kRoot, keys::kFileType, "LOG", "7");
  HWND main = open();
  tools::FileTypeDialog dialog(store_);
  HWND d = dialog.createModeless(tools::kFileTypeDialog, main);
  ASSERT_NE(d, nullptr);
  ShowWindow(d, SW_SHOW);
  gui::pump(200);
  EXPECT_EQ(gui::windowText(d), app::kProductCaption);
  ui::CheckListView& types = dialog.list();
  ASSERT_EQ(types.rowCount(), 11);
  const auto table = tools::junkExtensions();
  for (int row = 0; row < 11; ++row) {
    const std::string ext = table[static_cast<size_t>(row)].extension;
    EXPECT_EQ(types.text(row, 0), ext);
    EXPECT_EQ(types.text(row, 1), table[static_cast<size_t>(row)].description);
    const char* state = ext == "TMP" ? "해제" : ext == "LOG" ? "" : "사용";
    EXPECT_EQ(types.text(row, 2), state) << ext;
    EXPECT_EQ(types.checked(row), ext != "TMP" && ext != "LOG") << ext;
    // Unset switches are written as searched; the others stay as they were.
    const char* stored = ext == "TMP" ? "0" : ext == "LOG" ? "7" : "1";
    EXPECT_EQ(store_.readString(keys::kRoot, keys::kFileType, ext, keys::kDefault), stored) << ext;
  }
  testing_support::saveScreenshot(d, "tools_file_type_dialog");

  HWND listWindow = types.window();
  auto clickAt = [&](POINT at) {
    const LPARAM where = MAKELPARAM(at.x, at.y);
    PostMessageW(listWindow, WM_LBUTTONDOWN, MK_LBUTTON, where);
    PostMessageW(listWindow, WM_LBUTTONUP, 0, where);
    gui::pump(200);
  };
  // A click on the box of "TMP" (row 9) switches it on, one beside it off again.
  RECT item;
  ListView_GetItemRect(listWindow, 9, &item, LVIR_BOUNDS);
  LVHITTESTINFO hit{};
  hit.pt = {item.left + 8, (item.top + item.bottom) / 2};
  ASSERT_GE(ListView_HitTest(listWindow, &hit), 0);
  ASSERT_TRUE(hit.flags & LVHT_ONITEMSTATEICON);
  clickAt(hit.pt);
  EXPECT_TRUE(types.checked(9));
  EXPECT_EQ(types.text(9, 2), "사용");
  EXPECT_EQ(store_.readString(keys::kRoot, keys::kFileType, "TMP", keys::kDefault), "1");
  clickAt({item.left + 40, (item.top + item.bottom) / 2});  // on the row's text
  EXPECT_FALSE(types.checked(9));
  EXPECT_EQ(types.text(9, 2), "해제");
  EXPECT_EQ(store_.readString(keys::kRoot, keys::kFileType, "TMP", keys::kDefault), "0");

  // "모두해제" and "모두선택" write exactly the eleven switches.
  auto storedValues = [&] {
    std::vector<std::string> values;
    platform::ScopedKey key(registry_);
    if (key.open(keys::kRoot, keys::kFileType, platform::RegistryAccess::Read) != 0) return values;
    std::string name;
    for (uint32_t i = 0; registry_.enumValue(key.get(), i, &name) == 0; ++i)
      values.push_back(name + "=" + store_.readString(keys::kRoot, keys::kFileType, name, "?"));
    std::sort(values.begin(), values.end());
    return values;
  };
  auto allValues = [&](const char* value) {
    std::vector<std::string> values;
    for (const auto& e : table) values.push_back(std::string(e.extension) + "=" + value);
    std::sort(values.begin(), values.end());
    return values;
  };
  SendMessageW(d, WM_COMMAND, 1090, 0);
  EXPECT_EQ(storedValues(), allValues("0"));
  for (int row = 0; row < 11; ++row) EXPECT_FALSE(types.checked(row));
  SendMessageW(d, WM_COMMAND, 1089, 0);
  EXPECT_EQ(storedValues(), allValues("1"));
  for (int row = 0; row < 11; ++row) EXPECT_EQ(types.text(row, 2), "사용");
  SendMessageW(d, WM_COMMAND, 1010, 0);
  gui::pump(50);
  EXPECT_EQ(dialog.window(), nullptr);
  store_.deleteKey(keys::kRoot, keys::kFileType, true);
}

// ---- ActiveX ---------------------------------------------------------------------

TEST_F(ToolsPagesGui, KillBitsAreReadAndWrittenInBothRegistryViews) {
  const std::string blocked = "{0B1D2E3F-0000-4000-8000-00000000A001}";
  const std::string half = "{0B1D2E3F-0000-4000-8000-00000000A002}";
  const std::string other = "{0B1D2E3F-0000-4000-8000-00000000A003}";
  ASSERT_TRUE(fileio::writeWholeFile(
      killbitFile_, "[TotalCount]\nCount=4\n[Torvane1]\nCLSID=Blocked one#" + blocked +
                        "\n[Torvane2]\nCLSID=Half blocked#" + half + "\n[Torvane3]\nCLSID=Flags 1025#" +
                        other + "\n[Torvane4]\nCLSID=No class\n"));
  auto key = [](const std::string& id) { return std::string(tools::kActiveXCompatibility) + id; };
  for (const std::string& id : {blocked, half, other}) {
    store_.deleteKey(keys::kRoot, key(id), true);
    store32_.deleteKey(keys::kRoot, key(id), true);
  }
  store_.writeDword(keys::kRoot, key(blocked), tools::kCompatibilityFlags, 1024);
  store32_.writeDword(keys::kRoot, key(blocked), tools::kCompatibilityFlags, 1024);
  store_.writeDword(keys::kRoot, key(half), tools::kCompatibilityFlags, 1024);
  store_.writeDword(keys::kRoot, key(other), tools::kCompatibilityFlags, 1025);
  store32_.writeDword(keys::kRoot, key(other), tools::kCompatibilityFlags, 1025);
  // The 32-bit view is a key of its own.
  ASSERT_FALSE(store_.valueExists(keys::kRoot, "SOFTWARE\\WOW6432Node\\Microsoft\\Internet Explorer\\ActiveX Compatibility\\" + half,
                                  tools::kCompatibilityFlags));

  HWND main = open();
  command(cmd::kToolsActiveX);
  ui::CheckListView& controls = list(1048);
  ASSERT_EQ(controls.rowCount(), 4);
  struct Expected {
    const char* name;
    std::string classId;
    const char* status;
    bool checked;
  };
  const Expected expected[] = {{"No class", "", "", false},
                               {"Flags 1025", other, "", false},
                               {"Half blocked", half, "", false},
                               {"Blocked one", blocked, "차단", true}};
  for (int row = 0; row < 4; ++row) {
    EXPECT_EQ(controls.text(row, 0), expected[row].name);
    EXPECT_EQ(controls.text(row, 1), expected[row].classId);
    EXPECT_EQ(controls.text(row, 2), expected[row].status) << row;
    EXPECT_EQ(controls.checked(row), expected[row].checked) << row;
  }
  EXPECT_EQ(gui::controlText(main, 1033), "현재 4개 중 1개가 차단 상태입니다.");
  // Not every row is checked, so neither is the header's box.
  EXPECT_EQ(controls.headerImage(), ui::kImageUnchecked);
  shot("tools_activex");

  auto flags = [&](settings::RegistryStore& view, const std::string& id) {
    return view.readDword(keys::kRoot, key(id), tools::kCompatibilityFlags, 99);
  };
  Box seen;
  ASSERT_TRUE(answer(main, kBlock, &seen));
  EXPECT_EQ(seen.text, "ActiveX 차단을 완료 하였습니다.");
  for (const std::string& id : {blocked, half, other}) {
    EXPECT_EQ(flags(store_, id), 1024u) << id;
    EXPECT_EQ(flags(store32_, id), 1024u) << id;
  }
  EXPECT_EQ(gui::controlText(main, 1033), "현재 4개 중 3개가 차단 상태입니다.");
  EXPECT_FALSE(controls.checked(0));  // no class: nothing to block

  ASSERT_TRUE(answer(main, kUnblock, &seen));
  EXPECT_EQ(seen.text, "ActiveX 해제를 완료 하였습니다.");
  for (const std::string& id : {blocked, half, other}) {
    EXPECT_EQ(flags(store_, id), 0u) << id;
    EXPECT_EQ(flags(store32_, id), 0u) << id;
  }
  EXPECT_EQ(gui::controlText(main, 1033), "현재 4개 중 0개가 차단 상태입니다.");

  // One click on a row's box blocks it in both views, a second releases it.
  HWND listWindow = controls.window();
  RECT item;
  ListView_GetItemRect(listWindow, 2, &item, LVIR_BOUNDS);
  LVHITTESTINFO hit{};
  hit.pt = {item.left + 8, (item.top + item.bottom) / 2};
  ASSERT_GE(ListView_HitTest(listWindow, &hit), 0);
  ASSERT_TRUE(hit.flags & LVHT_ONITEMSTATEICON);
  auto click = [&] {
    const LPARAM at = MAKELPARAM(hit.pt.x, hit.pt.y);
    PostMessageW(listWindow, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(listWindow, WM_LBUTTONUP, 0, at);
    gui::pump(200);
  };
  click();
  EXPECT_EQ(flags(store_, half), 1024u);
  EXPECT_EQ(flags(store32_, half), 1024u);
  EXPECT_EQ(controls.text(2, 2), "차단");
  EXPECT_EQ(gui::controlText(main, 1033), "현재 4개 중 1개가 차단 상태입니다.");
  click();
  EXPECT_EQ(flags(store_, half), 0u);
  EXPECT_EQ(flags(store32_, half), 0u);
  EXPECT_EQ(controls.text(2, 2), "해제");

  for (const std::string& id : {blocked, half, other}) {
    store_.deleteKey(keys::kRoot, key(id), true);
    store32_.deleteKey(keys::kRoot, key(id), true);
  }
}

// ---- Processes -------------------------------------------------------------------

struct RunningCopy {
  PROCESS_INFORMATION info{};
  bool start(const std::string& exe) {
    STARTUPINFOW startup{sizeof startup};
    std::wstring line = L"\"" + text::widen(exe) + L"\"";
    return CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info);
  }
  bool running() const { return WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT; }
  bool endsWithin(DWORD ms) const { return WaitForSingleObject(info.hProcess, ms) == WAIT_OBJECT_0; }
  ~RunningCopy() {
    if (!info.hProcess) return;
    TerminateProcess(info.hProcess, 0);
    WaitForSingleObject(info.hProcess, 5000);
    CloseHandle(info.hProcess);
    CloseHandle(info.hThread);
  }
};

TEST_F(ToolsPagesGui, EndingACheckedRowEndsExactlyThatProcess) {
  const std::string folder = "C:\\torvane_gui_processes";
  removeTree(folder);
  CreateDirectoryW(text::widen(folder).c_str(), nullptr);
  const std::string sleeper = win32::programFolder() + "..\\win\\tv_sleeper.exe";
  const std::string note = folder + "\\tvnote.exe", keynote = folder + "\\keytvnote.exe";
  ASSERT_TRUE(CopyFileW(text::widen(sleeper).c_str(), text::widen(note).c_str(), FALSE));
  ASSERT_TRUE(CopyFileW(text::widen(sleeper).c_str(), text::widen(keynote).c_str(), FALSE));
  {
    RunningCopy keyCopy, first, second;
    ASSERT_TRUE(keyCopy.start(keynote));
    ASSERT_TRUE(first.start(note));
    ASSERT_TRUE(second.start(note));
    gui::pump(300);

    HWND main = open();
    command(cmd::kToolsProcess);
    ui::CheckListView& processes = list(1051);
    const auto& rows = pages().processStartup.processRows();
    ASSERT_EQ(processes.rowCount(), static_cast<int>(rows.size()));
    EXPECT_EQ(gui::controlText(main, 1033), "현재 실행 중인 프로세스 : " + std::to_string(rows.size()));
    int secondRow = -1, names = 0;
    for (size_t i = 0; i < rows.size(); ++i) {
      EXPECT_NE(rows[i].exeName, "[System Process]");
      EXPECT_EQ(processes.text(static_cast<int>(i), 0), rows[i].exeName);
      EXPECT_EQ(processes.text(static_cast<int>(i), 2), "실행");
      if (rows[i].exeName == "tvnote.exe") ++names;
      if (rows[i].id == second.info.dwProcessId) secondRow = static_cast<int>(i);
    }
    EXPECT_EQ(names, 2);
    ASSERT_GE(secondRow, 0);
    shot("tools_process");

    processes.setChecked(secondRow, true);
    Box seen;
    ASSERT_TRUE(answer(main, kEndProcess, &seen));
    EXPECT_EQ(seen.text, "선택한 프로세스를 종료하였습니다.");
    EXPECT_TRUE(second.endsWithin(5000));
    EXPECT_TRUE(first.running());
    EXPECT_TRUE(keyCopy.running());
    // The refreshed list still shows the other copy and not the ended one.
    const auto& after = pages().processStartup.processRows();
    EXPECT_TRUE(std::any_of(after.begin(), after.end(), [&](const tools::ProcessRow& r) { return r.id == first.info.dwProcessId; }));
    EXPECT_FALSE(std::any_of(after.begin(), after.end(), [&](const tools::ProcessRow& r) { return r.id == second.info.dwProcessId; }));
  }
  removeTree(folder);
}

// ---- Start-up programs -----------------------------------------------------------

TEST_F(ToolsPagesGui, StartupRowsOfTheThreeKeysAreDeletedFromTheirOwnKey) {
  const char* run = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
  const char* wow = "SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Run";
  store_.writeString(RootKey::LocalMachine, run, "TorvaneGuiMachine", "C:\\m.exe /x");
  store_.writeString(RootKey::LocalMachine, run, "TorvaneGuiSame", "C:\\machine.exe");
  store_.writeString(RootKey::CurrentUser, run, "TorvaneGuiSame", "C:\\user.exe");
  store_.writeString(RootKey::LocalMachine, wow, "TorvaneGuiWow", "C:\\old32.exe");

  HWND main = open();
  command(cmd::kToolsStartup);
  const auto& rows = pages().processStartup.startupRows();
  ui::CheckListView& entries = list(1051);
  EXPECT_EQ(gui::controlText(main, 1033), "현재 등록된 시작 프로그램 : " + std::to_string(rows.size()));
  auto rowOf = [&](const std::string& name, const std::string& keyText) {
    for (size_t i = 0; i < rows.size(); ++i)
      if (rows[i].name == name && rows[i].keyText == keyText) return static_cast<int>(i);
    return -1;
  };
  const std::string hklm = std::string("HKEY_LOCAL_MACHINE\\") + run;
  const std::string hkcu = "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
  const std::string hklm32 = std::string("HKEY_LOCAL_MACHINE\\") + wow;
  const int machine = rowOf("TorvaneGuiMachine", hklm), user = rowOf("TorvaneGuiSame", hkcu),
            old32 = rowOf("TorvaneGuiWow", hklm32);
  ASSERT_GE(machine, 0);
  ASSERT_GE(user, 0);
  ASSERT_GE(old32, 0);
  ASSERT_GE(rowOf("TorvaneGuiSame", hklm), 0);
  EXPECT_EQ(entries.text(user, 1), "C:\\user.exe");
  EXPECT_EQ(entries.text(user, 2), hkcu);
  EXPECT_EQ(entries.text(machine, 1), "C:\\m.exe /x");
  shot("tools_startup");

  Box seen;
  ASSERT_TRUE(answer(main, cmd::kDelete, &seen));
  EXPECT_EQ(seen.text, "항목을 선택해주세요.");
  entries.setChecked(user, true);
  entries.setChecked(old32, true);
  ASSERT_TRUE(answer(main, cmd::kDelete, &seen));
  EXPECT_EQ(seen.text, "선택한 항목을 삭제하였습니다.");
  EXPECT_FALSE(store_.valueExists(RootKey::CurrentUser, run, "TorvaneGuiSame"));
  EXPECT_TRUE(store_.valueExists(RootKey::LocalMachine, run, "TorvaneGuiSame"));
  EXPECT_FALSE(store_.valueExists(RootKey::LocalMachine, wow, "TorvaneGuiWow"));
  EXPECT_TRUE(store_.valueExists(RootKey::LocalMachine, run, "TorvaneGuiMachine"));
  EXPECT_EQ(gui::controlText(main, 1033), "현재 등록된 시작 프로그램 : " + std::to_string(rows.size()));

  store_.deleteValue(RootKey::LocalMachine, run, "TorvaneGuiMachine");
  store_.deleteValue(RootKey::LocalMachine, run, "TorvaneGuiSame");
}

// ---- Browser add-ons -------------------------------------------------------------

TEST_F(ToolsPagesGui, AddOnsSwitchedOffDisappearAndComeBackAfterRecovery) {
  const std::string helper = "{0B1D2E3F-0000-4000-8000-00000000B001}";
  const std::string button = "{0B1D2E3F-0000-4000-8000-00000000B002}";
  const std::string stats = std::string(tools::kExtStats) + "\\" + helper;
  store_.createKey(RootKey::CurrentUser, stats);
  store_.createKey(RootKey::ClassesRoot, "CLSID\\" + helper + "\\ProgID");
  store_.writeString(RootKey::ClassesRoot, "CLSID\\" + helper, "", "Torvane GUI Helper");
  // A toolbar button that only 32-bit browsers know.
  const std::string extension = std::string(tools::kIeExtensions) + "\\" + button;
  store32_.writeString(RootKey::LocalMachine, extension, "ButtonText", "Torvane GUI Button");
  store_.deleteSubkeys(RootKey::CurrentUser, tools::kExtSettings);

  HWND main = open();
  command(cmd::kToolsPlugins);
  auto names = [&] {
    std::vector<std::string> out;
    for (const auto& r : pages().plugins.rows()) out.push_back(r.name);
    return out;
  };
  auto listed = [&](const char* name) {
    const auto n = names();
    return std::find(n.begin(), n.end(), name) != n.end();
  };
  EXPECT_TRUE(listed("Torvane GUI Helper"));
  EXPECT_TRUE(listed("Torvane GUI Button"));
  EXPECT_EQ(gui::controlText(main, 1033), "현재 설치된 IE 플러그인 : " + std::to_string(names().size()));
  shot("tools_bho");

  ui::CheckListView& addons = list(1051);
  for (int i = 0; i < addons.rowCount(); ++i)
    addons.setChecked(i, addons.text(i, 0) == "Torvane GUI Helper" || addons.text(i, 0) == "Torvane GUI Button");
  Box seen;
  ASSERT_TRUE(answer(main, cmd::kDelete, &seen));
  EXPECT_EQ(seen.text, "선택한 항목을 삭제하였습니다.");
  const std::string settingsKey = std::string(tools::kExtSettings) + "\\" + helper;
  EXPECT_EQ(store_.readDword(RootKey::CurrentUser, settingsKey, "Flags", 0), 1u);
  EXPECT_EQ(store_.readString(RootKey::CurrentUser, settingsKey, "Version", ""), "*");
  command(cmd::kToolsPlugins);
  EXPECT_FALSE(listed("Torvane GUI Helper"));
  EXPECT_FALSE(listed("Torvane GUI Button"));

  // Recovery asks first; "No" changes nothing.
  ASSERT_TRUE(answer(main, kRecover, &seen, IDNO));
  EXPECT_EQ(seen.text, "IE 플러그인을 복구 하시겠습니까?");
  EXPECT_EQ(seen.caption, app::kProductCaption);
  EXPECT_FALSE(listed("Torvane GUI Helper"));
  // "Yes": the question, then the closing message.
  std::thread closer([&] {
    for (int i = 0; i < 3000; ++i) {
      Sleep(10);
      HWND box = findOwnedBox(main);
      if (box && gui::controlText(box, 0xFFFF) == tools::kRecoverDone) {
        seen.text = tools::kRecoverDone;
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        return;
      }
    }
  });
  Box question;
  const bool asked = answer(main, kRecover, &question, IDYES);
  closer.join();
  ASSERT_TRUE(asked);
  gui::pumpUntil([&] { return findOwnedBox(main) == nullptr; }, 5000);
  EXPECT_EQ(question.text, "IE 플러그인을 복구 하시겠습니까?");
  EXPECT_EQ(seen.text, tools::kRecoverDone);
  EXPECT_TRUE(listed("Torvane GUI Helper"));
  EXPECT_TRUE(listed("Torvane GUI Button"));

  store_.deleteKey(RootKey::CurrentUser, stats, true);
  store_.deleteKey(RootKey::ClassesRoot, "CLSID\\" + helper, true);
  store32_.deleteKey(RootKey::LocalMachine, extension, true);
}

}  // namespace
