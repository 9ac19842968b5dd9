#include "scan/item_path.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using scan::Expansion;

scan::ItemPathContext context(std::set<std::string> existing = {}) {
  scan::ItemPathContext c;
  c.userName = "홍길동";
  c.windowsFolder = "C:\\WINDOWS\\";
  c.commonStartMenu = "C:\\Documents and Settings\\All Users\\시작 메뉴";
  c.userPrograms = "C:\\Users\\홍길동\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs";
  c.exists = [existing](const std::string& p) { return existing.count(p) != 0; };
  return c;
}

TEST(ExpandItemPath, KindsTable) {
  struct Case {
    const char* path;
    const char* kind;
    const char* expected;
  } cases[] = {
      {"C:\\Documents and Settings\\사용자이름\\바탕 화면\\a.exe", "바탕화면",
       "C:\\Documents and Settings\\홍길동\\바탕 화면\\a.exe"},
      {"C:\\사용자이름\\사용자이름.exe", "바탕화면", "C:\\홍길동\\홍길동.exe"},  // twice
      {"C:\\no token\\a.exe", "바탕화면", "C:\\no token\\a.exe"},
      {"system32\\abc.dll", "윈도우", "C:\\WINDOWS\\system32\\abc.dll"},
      {"C:\\사용자이름\\a.exe", "파일", "C:\\사용자이름\\a.exe"},
      {"x", "시스템", "x"},
      {"x", "폴더", "x"},
      {"x", "unknown", "x"},
      {"Abc Toolbar", "프로그램그룹", "Abc Toolbar"},  // not found anywhere: unchanged
  };
  for (const auto& c : cases)
    EXPECT_EQ(scan::expandItemPath(c.path, c.kind, context(), Expansion::All), c.expected)
        << c.path << " / " << c.kind;
}

TEST(ExpandItemPath, ProgramGroupCandidatesInOrder) {
  const std::string base = "C:\\Documents and Settings\\홍길동\\시작 메뉴\\";
  const std::string first = base + "Programs\\Abc";
  const std::string second = base + "프로그램\\Abc";
  const std::string third =
      "C:\\Users\\홍길동\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Abc";
  EXPECT_EQ(scan::expandProgramGroup("Abc", context({first, second, third})), first);
  EXPECT_EQ(scan::expandProgramGroup("Abc", context({second, third})), second);
  EXPECT_EQ(scan::expandProgramGroup("Abc", context({third})), third);
}

TEST(ExpandItemPath, ProgramGroupOnlyForTheScan) {
  const std::string third =
      "C:\\Users\\홍길동\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Abc";
  EXPECT_EQ(scan::expandItemPath("Abc", "프로그램그룹", context({third}), Expansion::DesktopAndWindows),
            "Abc");
}

TEST(ExpandItemPath, StartMenuNameIsTheFourthPiece) {
  // Wine and Vista+: C:\ProgramData\Microsoft\Windows\Start Menu -> "Windows".
  auto c = context({"C:\\Documents and Settings\\홍길동\\Windows\\Programs\\Abc"});
  c.commonStartMenu = "C:\\ProgramData\\Microsoft\\Windows\\Start Menu";
  EXPECT_EQ(scan::expandProgramGroup("Abc", c),
            "C:\\Documents and Settings\\홍길동\\Windows\\Programs\\Abc");
}

}  // namespace
