#include "agent/detection_rows.h"

#include <gtest/gtest.h>

#include "db_fixture.h"

namespace {

using dbfixture::b64;

TEST(DetectionRows, EveryFileItemButDelUs) {
  const scan::DefinitionDatabase db{scan::IniFile(
      "[TotalCount]\nCount=2\n"
      "[Torvane1]\nName=" + b64("첫째") + "\nInfo=" + b64("애드웨어") + "\nFileCount=5\n"
      "File1=" + b64("C:\\Documents and Settings\\사용자이름\\바탕 화면\\a.exe#default#바탕화면") + "\n"
      "File2=" + b64("system32\\B.EXE#100#윈도우") + "\n"
      "File3=" + b64("C:\\c.Exe#1#파일") + "\n"
      "File4=" + b64("C:\\d.com#1#파일") + "\n"
      "File5=" + b64("C:\\DelUS.bat#default#파일") + "\n"
      "[Torvane2]\nName=" + b64("둘째") + "\nInfo=" + b64("웜") + "\nFileCount=1\n"
      "File1=" + b64("C:\\e#default#파일") + "\n")};
  scan::ItemPathContext context;
  context.userName = "kim";
  context.windowsFolder = "C:\\WINDOWS\\";
  const auto rows = agent::loadDetectionRows(db, context);
  ASSERT_EQ(rows.size(), 5u);
  EXPECT_EQ(rows[0], (agent::DetectionRow{"C:\\e", "default", "둘째"}));
  EXPECT_EQ(rows[1].path, "C:\\d.com");
  EXPECT_EQ(rows[3].path, "C:\\WINDOWS\\system32\\B.EXE");
  for (const auto& r : rows) EXPECT_NE(r.path, "C:\\DelUS.bat");
}

// A count numbered like a billion walks only the sections the file holds.
TEST(DetectionRows, AHostileCountWalksOnlyWhatTheFileHolds) {
  const scan::DefinitionDatabase db{scan::IniFile(
      "[TotalCount]\nCount=999999999\n[Torvane999999999]\nFileCount=999999999\nFile999999999=" +
      b64("C:\\a.exe#1#파일") + "\n")};
  EXPECT_EQ(agent::loadDetectionRows(db, scan::ItemPathContext{}).size(), 1u);
  EXPECT_LE(db.lookups(), 10u);
}

}  // namespace
