// The main window made in this process from the real resources, under
// Xvfb: where every control sits, what each page shows, the busy rule, the
// keys it swallows, the hover faces, the header box, the tray icon and its
// menus, and the program-information window. Each page and dialog opened is
// saved as a screenshot.
#include "app/win32/main_window.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "app/window_texts.h"
#include "common/file_io.h"
#include "common/text.h"
#include "gui/gui_harness.h"
#include "gui/main_window_fixture.h"
#include "platform/win32/system_folders.h"
#include "platform/win32/win32_registry.h"
#include "scan/database_writer.h"
#include "scan/win32/scan_page.h"
#include "settings/key_layout.h"
#include "support/main_window_stand_in.h"
#include "support/remote_window.h"
#include "support/screenshot.h"
#include "support/temp_dir.h"
#include "ui/shell_texts.h"

namespace {

using app::Page;
namespace cmd = app::command;

const char* const kTouchedValues[] = {
    keys::value::kHwnd, keys::value::kQuickScan, keys::value::kFullScan, keys::value::kLastScanDate,
    keys::value::kAutoMenu, keys::value::kRealTime, keys::value::kAutoRun};

class MainWindowGui : public gui::MainWindowFixture {
 protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    for (const char* name : kTouchedValues) store_.deleteValue(keys::kRoot, keys::kMain, name);
    scan::DatabaseContent content;
    content.version = "GUI 시험 데이터베이스 (2026.12.11)";
    content.info = "업데이트:2026-12-11";
    content.definitions.push_back({"시험항목", "트로이목마", {{"C:\\no-such.exe", "default", "파일"}}, {}, 0});
    content.definitions.push_back({"둘째", "웜", {}, {}, 0});
    ASSERT_TRUE(fileio::writeWholeFile(database_, scan::writeDatabase(content)));
  }
  void TearDown() override {
    window_.reset();
    DeleteFileW(text::widen(database_).c_str());
    for (const char* name : kTouchedValues) store_.deleteValue(keys::kRoot, keys::kMain, name);
  }

  std::vector<int> visiblePageControls() const {
    std::vector<int> ids;
    for (int id : app::allPageControls())
      if (IsWindowVisible(GetDlgItem(window_->window(), id))) ids.push_back(id);
    std::sort(ids.begin(), ids.end());
    return ids;
  }
  static std::vector<int> sorted(std::span<const int> ids) {
    std::vector<int> v(ids.begin(), ids.end());
    std::sort(v.begin(), v.end());
    return v;
  }

  win32::Win32Registry registry_;
  settings::RegistryStore store_{registry_};
  const std::string database_ = win32::programFolder() + scan::kDatabaseFileName;
};

TEST_F(MainWindowGui, FrameControlsAndTheInformationPage) {
  HWND w = open();
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(window_->firstInstance());
  EXPECT_EQ(gui::windowText(w), app::kProductCaption);
  RECT frame;
  GetWindowRect(w, &frame);
  EXPECT_EQ(frame.left, 0);
  EXPECT_EQ(frame.top, 0);
  EXPECT_EQ(frame.right - frame.left, 700);
  EXPECT_EQ(frame.bottom - frame.top, 500);
  EXPECT_TRUE(GetWindowLongPtrW(w, GWL_EXSTYLE) & WS_EX_APPWINDOW);
  EXPECT_EQ(store_.readString(keys::kRoot, keys::kMain, keys::value::kHwnd, "0"),
            settings::handleText(reinterpret_cast<intptr_t>(w)));

  // Every control where the layout puts it, whatever the template says.
  for (const app::ControlPlace& p : app::controlPlaces()) {
    HWND control = GetDlgItem(w, p.id);
    ASSERT_NE(control, nullptr) << p.id;
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, w, reinterpret_cast<POINT*>(&r), 2);
    const int width = p.id == 1033 ? app::headingPlace(Page::Information).width : p.width;
    EXPECT_EQ(std::vector<long>({r.left, r.top, r.right - r.left, r.bottom - r.top}),
              std::vector<long>({p.x, p.y, width, p.height}))
        << p.id;
  }
  for (int id : app::hiddenLists()) {
    ASSERT_NE(GetDlgItem(w, id), nullptr) << id;
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(w, id))) << id;
  }
  for (int id : app::frameControls()) EXPECT_TRUE(IsWindowVisible(GetDlgItem(w, id))) << id;

  EXPECT_EQ(window_->page(), Page::Information);
  EXPECT_EQ(visiblePageControls(), sorted(app::pageControls(Page::Information)));
  EXPECT_EQ(gui::controlText(w, 1004), "DB버전 : GUI 시험 데이터베이스 (2026.12.11)");
  EXPECT_EQ(gui::controlText(w, 1005), "마지막 DB 업데이트 일자 :2026-12-11");
  EXPECT_EQ(gui::controlText(w, 1006), "검사가 한번도 실행되지 않았습니다.");
  EXPECT_EQ(gui::controlText(w, 1003), "시스템 경로 : " + win32::systemFolder().substr(
                                                           0, win32::systemFolder().size() - 1));
  EXPECT_EQ(gui::controlText(w, 1001).rfind("메모리 크기 : ", 0), 0u);
  EXPECT_NE(gui::controlText(w, 1001).find(" MB"), std::string::npos);
  EXPECT_EQ(gui::controlText(w, 1002).rfind("윈도우 버전 : Windows", 0), 0u) << gui::controlText(w, 1002);
  EXPECT_EQ(gui::controlText(w, 1019), "000 / 2");
  // First start: the full scan is chosen and stored.
  EXPECT_EQ(gui::controlText(w, 1017), "검사종류 : 정밀검사");
  EXPECT_EQ(store_.readString(keys::kRoot, keys::kMain, keys::value::kFullScan, keys::kDefault), "1");
  EXPECT_EQ(window_->commandChecked(cmd::kFullScan), true);
  EXPECT_EQ(window_->commandChecked(cmd::kQuickScan), false);
  shot("main_information");
}

TEST_F(MainWindowGui, PageSwitchesShowTheirControlsAndTheBusyRuleRefuses) {
  HWND w = open();
  struct Step {
    int command;
    Page page;
    const char* shotName;
  };
  const Step steps[] = {
      {cmd::kTabScan, Page::Scan, "main_scan"},
      {cmd::kTabTools, Page::Optimisation, "main_tools_optimisation"},
      {cmd::kToolsActiveX, Page::ActiveX, "main_tools_activex"},
      {cmd::kToolsProcess, Page::Process, "main_tools_process"},
      {cmd::kToolsStartup, Page::Startup, "main_tools_startup"},
      {cmd::kToolsPlugins, Page::Plugins, "main_tools_bho"},
      {cmd::kToolsOptions, Page::Options, "main_tools_options"},
      {cmd::kToolsTweak, Page::Optimisation, nullptr},
      {cmd::kTabInformation, Page::Information, nullptr},
  };
  for (const Step& s : steps) {
    command(s.command);
    EXPECT_EQ(window_->page(), s.page) << s.command;
    EXPECT_EQ(visiblePageControls(), sorted(app::pageControls(s.page))) << s.command;
    if (app::isToolsPage(s.page)) {
      RECT r;
      GetWindowRect(GetDlgItem(w, 1033), &r);
      EXPECT_EQ(r.right - r.left, app::headingPlace(s.page).width) << s.command;
    }
    if (s.page == Page::Scan) {
      EXPECT_EQ(gui::controlText(w, 1016), "진행정보 : 대기상태");
      EXPECT_EQ(gui::controlText(w, 1018), "검사시간 : 00:00:00");
      EXPECT_EQ(gui::controlText(w, 1019), "검사개수 : 000 / 000");
      EXPECT_EQ(gui::controlText(w, 1020), "검사항목 : 대기상태");
    }
    if (s.command == cmd::kTabTools) {
      EXPECT_EQ(gui::controlText(w, 1033), "검색위치 : ");
      EXPECT_EQ(gui::controlText(w, 1035), "검사개수 : 0");
    }
    if (s.shotName) shot(s.shotName);
  }

  // While a scan runs, a page switch says why it is refused and keeps the page.
  command(cmd::kTabScan);
  window_->context().flags.busy = 1;
  gui::MessageBoxSeen seen;
  ASSERT_TRUE(gui::answerMessageBox(w, WM_COMMAND, cmd::kTabTools, 0, &seen));
  EXPECT_EQ(seen.text, app::kBusyMessage);
  EXPECT_EQ(seen.owner, w);
  EXPECT_EQ(window_->page(), Page::Scan);
  EXPECT_EQ(visiblePageControls(), sorted(app::pageControls(Page::Scan)));

  // The help menu still opens: "홈페이지 바로가기", a separator, "프로그램 정보".
  std::vector<UINT> helpItems;
  const DWORD thread = GetCurrentThreadId();
  ASSERT_TRUE(gui::whileShown(
      w, WM_COMMAND, cmd::kTabHelp, 0, [&] { return gui::findThreadWindow(thread, L"#32768"); },
      [&](HWND menuWindow) {
        auto menu = reinterpret_cast<HMENU>(SendMessageW(menuWindow, MN_GETHMENU, 0, 0));
        for (int i = 0; i < GetMenuItemCount(menu); ++i) helpItems.push_back(GetMenuItemID(menu, i));
        PostMessageW(menuWindow, WM_KEYDOWN, VK_ESCAPE, 0);
      }));
  EXPECT_EQ(helpItems, (std::vector<UINT>{32774, 0, 32773}));
  window_->context().flags.busy = 0;

  // A value other than 0 and 1 refuses silently.
  window_->context().flags.busy = 7;
  command(cmd::kTabInformation);
  EXPECT_EQ(window_->page(), Page::Scan);
  window_->context().flags.busy = 0;
}

TEST_F(MainWindowGui, EnterAndEscapeEndNothing) {
  HWND w = open();
  for (HWND target : {w, GetDlgItem(w, 1011), GetDlgItem(w, 1025)}) {
    for (WPARAM key : {VK_RETURN, VK_ESCAPE}) {
      PostMessageW(target, WM_KEYDOWN, key, 0);
      PostMessageW(target, WM_KEYUP, key, 0);
    }
  }
  gui::pump(300);
  EXPECT_TRUE(IsWindow(w));
  EXPECT_TRUE(IsWindowVisible(w));
  EXPECT_FALSE(window_->ended());
}

TEST_F(MainWindowGui, HoverButtonsShowTheirThreeFaces) {
  HWND w = open();
  command(cmd::kTabScan);
  HWND scan = GetDlgItem(w, cmd::kScan);
  ui::HoverButton* button = ui::HoverButton::of(scan);
  ASSERT_NE(button, nullptr);
  EXPECT_TRUE(GetWindowLongPtrW(scan, GWL_STYLE) & BS_OWNERDRAW);
  auto pixel = [&] {
    gui::pump(100);
    HDC dc = GetDC(scan);
    const COLORREF c = GetPixel(dc, 3, 8);
    ReleaseDC(scan, dc);
    return c;
  };
  const COLORREF normal = pixel();
  // The mouse comes to rest on the button: the hover face.
  POINT centre{25, 8};
  ClientToScreen(scan, &centre);
  SetCursorPos(centre.x, centre.y);
  SendMessageW(scan, WM_MOUSEMOVE, 0, MAKELPARAM(25, 8));
  ASSERT_TRUE(gui::pumpUntil([&] { return button->hovered(); }, 2000));
  const COLORREF hover = pixel();
  EXPECT_NE(hover, normal);
  shot("main_scan_hover");
  // Held down: the pressed face.
  SendMessageW(scan, BM_SETSTATE, TRUE, 0);
  const COLORREF pressed = pixel();
  EXPECT_NE(pressed, hover);
  EXPECT_NE(pressed, normal);
  SendMessageW(scan, BM_SETSTATE, FALSE, 0);
  // Leaving it returns the normal face at once.
  SetCursorPos(900, 700);
  SendMessageW(scan, WM_MOUSELEAVE, 0, 0);
  EXPECT_FALSE(button->hovered());
  EXPECT_EQ(pixel(), normal);
  // The tooltip carries the button's text.
  ASSERT_NE(button->toolTip(), nullptr);
  wchar_t tip[64] = L"";
  TOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = scan;
  tool.uId = 1;
  tool.lpszText = tip;
  SendMessageW(button->toolTip(), TTM_GETTEXTW, 64, reinterpret_cast<LPARAM>(&tool));
  EXPECT_EQ(text::narrow(tip), "검사하기");
}

TEST_F(MainWindowGui, HeaderBoxChecksAllRowsAndFollowsThem) {
  HWND w = open();
  command(cmd::kTabScan);
  ui::CheckListView& list = window_->context().list(1025);
  ASSERT_TRUE(list.headerBoxInstalled());
  HWND header = ListView_GetHeader(list.window());
  const HIMAGELIST images = Header_GetImageList(header);
  ASSERT_NE(images, nullptr);
  EXPECT_EQ(ImageList_GetImageCount(images), 3);
  EXPECT_EQ(list.headerImage(), 1);
  EXPECT_TRUE(list.initHeaderCheckBox());  // a second call changes nothing
  EXPECT_EQ(Header_GetImageList(header), images);

  auto clickHeader = [&](int item) {
    RECT r;
    Header_GetItemRect(header, item, &r);
    const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(header, WM_LBUTTONUP, 0, at);
    gui::pump(50);
  };
  // An empty list: the click only flips the picture.
  clickHeader(0);
  EXPECT_EQ(list.headerImage(), 2);
  clickHeader(0);
  EXPECT_EQ(list.headerImage(), 1);

  scan::ScanPage& page = window_->scanPage();
  for (const char* name : {"셋째", "둘째", "첫째"}) page.insertRow({name, "C:\\x", "종류", "파일"});
  EXPECT_EQ(list.headerImage(), 2);
  list.setChecked(1, false);
  EXPECT_EQ(list.headerImage(), 1);
  list.setChecked(1, true);
  EXPECT_EQ(list.headerImage(), 2);
  shot("main_scan_rows");
  // Another column's header changes nothing.
  clickHeader(1);
  EXPECT_EQ(list.headerImage(), 2);
  EXPECT_TRUE(list.checked(0) && list.checked(1) && list.checked(2));
  // The box of a fully checked list clears every row.
  clickHeader(0);
  EXPECT_EQ(list.headerImage(), 1);
  EXPECT_FALSE(list.checked(0) || list.checked(1) || list.checked(2));
  clickHeader(0);
  EXPECT_TRUE(list.checked(0) && list.checked(1) && list.checked(2));
}

TEST_F(MainWindowGui, TrayIconTipMenusAndDoubleClick) {
  store_.writeString(keys::kRoot, keys::kMain, keys::value::kRealTime, "1");
  store_.writeString(keys::kRoot, keys::kMain, keys::value::kAutoRun, "0");
  HWND w = open();
  ui::TrayIcon& tray = window_->tray();
  ASSERT_TRUE(tray.enabled());
  EXPECT_EQ(tray.tip(), ui::cutTrayTip(app::trayTipText("GUI 시험 데이터베이스 (2026.12.11)", "2026-12-11")));
  EXPECT_EQ(tray.tip().rfind("Torvane AntiVirus 2008™\nDB버전 : GUI", 0), 0u);

  // A right click shows menu 160: "열기" bold, the two option check marks.
  struct Seen {
    UINT defaultItem = 0;
    UINT realTime = 0, autoRun = 0;
    int count = 0;
  } seen;
  const DWORD thread = GetCurrentThreadId();
  ASSERT_TRUE(gui::whileShown(
      w, app::kTrayCallback, app::kTrayMenu, WM_RBUTTONUP,
      [&] { return gui::findThreadWindow(thread, L"#32768"); },
      [&](HWND menuWindow) {
        auto menu = reinterpret_cast<HMENU>(SendMessageW(menuWindow, MN_GETHMENU, 0, 0));
        seen.count = GetMenuItemCount(menu);
        seen.defaultItem = GetMenuDefaultItem(menu, FALSE, 0);
        seen.realTime = GetMenuState(menu, cmd::kTrayRealTime, MF_BYCOMMAND);
        seen.autoRun = GetMenuState(menu, cmd::kTrayAutoRun, MF_BYCOMMAND);
        testing_support::saveScreenshot(menuWindow, "tray_menu");
        PostMessageW(menuWindow, WM_KEYDOWN, VK_ESCAPE, 0);
      }));
  EXPECT_EQ(seen.count, 14);
  EXPECT_EQ(seen.defaultItem, static_cast<UINT>(cmd::kTrayOpen));
  EXPECT_TRUE(seen.realTime & MF_CHECKED);
  EXPECT_FALSE(seen.autoRun & MF_CHECKED);

  // Another icon's notifications are not ours.
  EXPECT_EQ(SendMessageW(w, app::kTrayCallback, 999, WM_RBUTTONUP), 0);
  EXPECT_EQ(SendMessageW(w, app::kTrayCallback, app::kTrayMenu, WM_MOUSEMOVE), 1);

  // Hidden (as after a "boot" start), a double click shows the window again.
  command(cmd::kTrayHide);
  EXPECT_FALSE(IsWindowVisible(w));
  EXPECT_EQ(SendMessageW(w, app::kTrayCallback, app::kTrayMenu, WM_LBUTTONDBLCLK), 1);
  gui::pump(100);
  EXPECT_TRUE(IsWindowVisible(w));
  command(cmd::kClose);
  EXPECT_FALSE(IsWindowVisible(w));
  command(cmd::kTraySettings);
  EXPECT_TRUE(IsWindowVisible(w));
  EXPECT_EQ(window_->page(), Page::Options);
}

TEST_F(MainWindowGui, ProgramInformationWindow) {
  HWND w = open();
  struct Seen {
    RECT frame{};
    bool okShown = false, closeShown = false;
    RECT ok{};
  } seen;
  const DWORD thread = GetCurrentThreadId();
  ASSERT_TRUE(gui::whileShown(
      w, WM_COMMAND, cmd::kProgramInfo, 0, [&] { return gui::findThreadWindow(thread, L"#32770", w); },
      [&](HWND info) {
        GetWindowRect(info, &seen.frame);
        seen.okShown = IsWindowVisible(GetDlgItem(info, 1030));
        seen.closeShown = IsWindowVisible(GetDlgItem(info, 1010));
        GetWindowRect(GetDlgItem(info, 1030), &seen.ok);
        MapWindowPoints(nullptr, info, reinterpret_cast<POINT*>(&seen.ok), 2);
        testing_support::saveScreenshot(info, "program_information");
        PostMessageW(info, WM_COMMAND, 1030, 0);
      }));
  EXPECT_EQ(seen.frame.right - seen.frame.left, 500);
  EXPECT_EQ(seen.frame.bottom - seen.frame.top, 300);
  EXPECT_EQ(seen.frame.left, (GetSystemMetrics(SM_CXSCREEN) - 500) / 2);
  EXPECT_TRUE(seen.okShown);
  EXPECT_TRUE(seen.closeShown);
  EXPECT_EQ(std::vector<long>({seen.ok.left, seen.ok.top, seen.ok.right, seen.ok.bottom}),
            std::vector<long>({420, 268, 474, 292}));
  // Closed, and the main window answers again.
  EXPECT_EQ(gui::findThreadWindow(thread, L"#32770", w), nullptr);
  EXPECT_TRUE(IsWindowEnabled(w));
}

// The home page opens in the default browser: here a script made by the
// build that logs the address it is given beside itself (TORVANE_BROWSER
// names it), put in place of the browser.
class BrowserLog {
 public:
  BrowserLog() {
    const char* script = std::getenv("TORVANE_BROWSER");
    EXPECT_NE(script, nullptr) << "TORVANE_BROWSER names the logging browser script";
    if (!script) return;
    std::string host = script;
    log_ = testing_support::windowsPathOfHostPath(host.substr(0, host.rfind('/')) + "/browser.log");
    DeleteFileW(text::widen(log_).c_str());
    HKEY key;
    RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\WineBrowser", 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                    &key, nullptr);
    const std::wstring browsers = text::widen(host);
    RegSetValueExW(key, L"Browsers", 0, REG_SZ, reinterpret_cast<const BYTE*>(browsers.c_str()),
                   static_cast<DWORD>((browsers.size() + 1) * 2));
    RegCloseKey(key);
  }
  ~BrowserLog() {
    RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Software\\Wine\\WineBrowser", L"Browsers");
    DeleteFileW(text::widen(log_).c_str());
  }
  // The addresses opened so far, once `count` have arrived (or after 10 s).
  std::vector<std::string> opened(size_t count) const {
    std::vector<std::string> lines;
    gui::pumpUntil(
        [&] {
          std::string all;
          fileio::readWholeFile(log_, &all);
          lines.clear();
          for (std::string& line : text::split(all, '\n'))
            if (!line.empty()) lines.push_back(line);
          return lines.size() >= count;
        },
        10000);
    return lines;
  }

 private:
  std::string log_;
};

TEST_F(MainWindowGui, HomePageLinkOpensTheBrowserOnTheInformationPageOnly) {
  BrowserLog browser;
  HWND w = open();
  const std::string home = std::string(app::kDefaultServerUrl) + "/";
  // A real click (it also starts the system's drag of the window, which
  // the button's release ends) on the address part of label 1009.
  auto click = [&](int x, int y) {
    POINT at{x, y};
    ClientToScreen(w, &at);
    SetCursorPos(at.x, at.y);
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_MOUSE;
    input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, input, sizeof(INPUT));
    gui::pump(300);
  };
  click(200, 437);
  EXPECT_EQ(browser.opened(1), std::vector<std::string>{home});
  // The same click on the options page only drags.
  command(cmd::kToolsOptions);
  click(200, 437);
  // The help menu's and the tray's home-page commands.
  command(cmd::kHomePage);
  command(cmd::kTrayHomePage);
  EXPECT_EQ(browser.opened(3), (std::vector<std::string>{home, home, home}));
}

TEST_F(MainWindowGui, ProcessListSelectionFollowsTheClickedCheckBox) {
  HWND w = open();
  command(cmd::kToolsProcess);
  ui::CheckListView& list = window_->context().list(1051);
  for (const char* name : {"c.exe", "b.exe", "a.exe"}) list.insertRow(0, {name, "", ""}, false);
  auto clickBox = [&](int row) {
    RECT box{LVIR_ICON};
    ListView_GetItemRect(list.window(), row, &box, LVIR_BOUNDS);
    const LPARAM at = MAKELPARAM(box.left + 8, (box.top + box.bottom) / 2);
    SendMessageW(list.window(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(list.window(), WM_LBUTTONUP, 0, at);
    gui::pump(50);
  };
  auto selected = [&] {
    std::vector<int> rows;
    for (int row = -1; (row = ListView_GetNextItem(list.window(), row, LVNI_SELECTED)) >= 0;) rows.push_back(row);
    return rows;
  };
  ListView_SetItemState(list.window(), 2, LVIS_SELECTED, LVIS_SELECTED);
  clickBox(1);
  EXPECT_TRUE(list.checked(1));
  EXPECT_EQ(selected(), std::vector<int>{1});
  clickBox(1);
  EXPECT_FALSE(list.checked(1));
  EXPECT_TRUE(selected().empty());
}

TEST_F(MainWindowGui, AutoMenuScansWhenTheScanPageOpens) {
  store_.writeString(keys::kRoot, keys::kMain, keys::value::kAutoMenu, "1");
  store_.writeString(keys::kRoot, keys::kMain, keys::value::kQuickScan, "1");
  store_.writeString(keys::kRoot, keys::kMain, keys::value::kFullScan, "0");
  HWND w = open();
  // The scan's closing message comes from its worker, owned by the window.
  std::string message;
  ASSERT_TRUE(gui::whileShown(
      w, WM_COMMAND, cmd::kTabScan, 0, [&] { return testing_support::findOwnedWindow(w); },
      [&](HWND box) {
        message = gui::controlText(box, 0xFFFF);
        PostMessageW(box, WM_COMMAND, IDOK, 0);
      }));
  EXPECT_EQ(message.rfind("악성코드 검사를 완료 하였습니다.", 0), 0u) << message;
  EXPECT_NE(message.find("악성코드가 발견되지 않았습니다."), std::string::npos) << message;
  EXPECT_TRUE(gui::pumpUntil([&] { return gui::controlText(w, 1016) == "진행정보 : 대기상태"; }, 5000));
  EXPECT_NE(store_.readString(keys::kRoot, keys::kMain, keys::value::kLastScanDate, keys::kDefault),
            keys::kDefault);
}

}  // namespace
