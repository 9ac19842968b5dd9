// The agent window made in this process under Xvfb: hidden, its boxes giving
// the notify filter 0x17B, its detection table columns, and what it writes
// when it goes.
#include "agent/win32/agent_window.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "common/file_io.h"
#include "common/text.h"
#include "platform/win32/system_folders.h"
#include "scan/database_writer.h"
#include "platform/win32/win32_registry.h"
#include "settings/key_layout.h"

namespace {

namespace ch = agent::channel;

TEST(AgentWindow, HiddenWithItsBoxesColumnsAndShutdownValues) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&controls);
  settings::RegistryStore store(win32::systemRegistry());
  agent::AgentChannel channel(store);
  for (const char* name : {ch::kFile, ch::kFileCheck, ch::kReg})
    store.writeString(keys::kRoot, keys::kConfidence, name, "1");

  // A database beside this program: the table shows its file items, last read first.
  const std::string database = win32::programFolder() + scan::kDatabaseFileName;
  scan::DatabaseContent content;
  content.definitions.push_back({"첫째", "", {{"C:\\a.exe", "default", scan::kind::kFile}}, {}, 0});
  content.definitions.push_back({"둘째", "", {{"system32\\b.exe", "100", scan::kind::kWindows},
                                              {"C:\\DelUS.bat", "default", scan::kind::kFile}}, {}, 0});
  ASSERT_TRUE(fileio::writeWholeFile(database, scan::writeDatabase(content)));
  struct RemoveAtEnd {
    std::string path;
    ~RemoveAtEnd() { DeleteFileW(text::widen(path).c_str()); }
  } removeDatabase{database};

  auto window = std::make_unique<agent::AgentWindow>();
  ASSERT_TRUE(window->create());
  HWND w = window->window();
  ASSERT_NE(w, nullptr);
  EXPECT_FALSE(IsWindowVisible(w));
  EXPECT_EQ(channel.agentWindow(), reinterpret_cast<intptr_t>(w));
  wchar_t title[64];
  GetWindowTextW(w, title, 64);
  EXPECT_EQ(text::narrow(title), agent::kAgentWindowTitle);

  EXPECT_EQ(window->notifyFilterFromBoxes(), 0x17Bu);
  EXPECT_EQ(IsDlgButtonChecked(w, 1009), BST_CHECKED);
  EXPECT_EQ(IsDlgButtonChecked(w, 1008), BST_UNCHECKED);
  EXPECT_EQ(IsDlgButtonChecked(w, 1010), BST_UNCHECKED);

  HWND table = GetDlgItem(w, 1011);
  const std::pair<const char*, int> columns[] = {{"DB", 350}, {"SIZE", 60}, {"INFO", 60}};
  for (int i = 0; i < 3; ++i) {
    wchar_t text[16] = L"";
    LVCOLUMNW c{};
    c.mask = LVCF_TEXT | LVCF_WIDTH;
    c.pszText = text;
    c.cchTextMax = 16;
    ASSERT_TRUE(SendMessageW(table, LVM_GETCOLUMNW, i, reinterpret_cast<LPARAM>(&c)));
    EXPECT_EQ(text::narrow(text), columns[i].first);
    EXPECT_EQ(c.cx, columns[i].second);
  }
  EXPECT_EQ(SendMessageW(table, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & 0x21, 0x21);
  ASSERT_EQ(SendMessageW(table, LVM_GETITEMCOUNT, 0, 0), 2);
  auto cell = [&](int row, int column) {
    wchar_t text[260] = L"";
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = 260;
    SendMessageW(table, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    return text::narrow(text);
  };
  EXPECT_EQ(cell(0, 0), win32::windowsFolder() + "system32\\b.exe");
  EXPECT_EQ(cell(0, 1), "100");
  EXPECT_EQ(cell(0, 2), "둘째");
  EXPECT_EQ(cell(1, 0), "C:\\a.exe");
  EXPECT_EQ(cell(1, 2), "첫째");

  // A little while of its own message loop: still hidden (timer 1 has run).
  const ULONGLONG end = GetTickCount64() + 300;
  MSG msg;
  while (GetTickCount64() < end) {
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    Sleep(5);
  }
  EXPECT_FALSE(IsWindowVisible(w));

  SendMessageW(w, WM_CLOSE, 0, 0);
  EXPECT_TRUE(window->closed());
  for (const char* name : {ch::kFile, ch::kFileCheck, ch::kReg}) EXPECT_EQ(channel.read(name), "0") << name;
  window.reset();
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {}  // the WM_QUIT of the closed window
  store.deleteValue(keys::kRoot, keys::kMain, keys::value::kHwndAgent);
}

}  // namespace
