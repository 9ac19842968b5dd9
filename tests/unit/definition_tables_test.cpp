#include "scan/definition_tables.h"

#include <gtest/gtest.h>

#include "db_fixture.h"

namespace {

using dbfixture::b64;

scan::ItemPathContext context() {
  scan::ItemPathContext c;
  c.userName = "kim";
  c.windowsFolder = "C:\\WINDOWS\\";
  return c;
}

const scan::DefinitionDatabase& database() {
  static const scan::DefinitionDatabase db{scan::IniFile(
      "[TotalCount]\nCount=2\n[TotalCountMD5]\nCount=2\n"
      "[Torvane1]\nName=" + b64("첫째") + "\nInfo=" + b64("애드웨어") + "\nFileCount=5\n"
      "File1=" + b64("C:\\Documents and Settings\\사용자이름\\바탕 화면\\a.exe#default#바탕화면") + "\n"
      "File2=" + b64("system32\\B.EXE#100#윈도우") + "\n"
      "File3=" + b64("C:\\c.Exe#1#파일") + "\n"
      "File4=" + b64("C:\\d.com#1#파일") + "\n"
      "File5=" + b64("C:\\DelUS.bat#default#파일") + "\n"
      "[Torvane2]\nName=" + b64("둘째") + "\nInfo=" + b64("웜") + "\nFileCount=1\n"
      "File1=" + b64("C:\\e#default#파일") + "\n"
      "[TorvaneMD51]\nName=" + b64("해시1") + "\nInfo=" + b64("종류1") + "\nFileCount=2\n"
      "File1=" + b64("x.exe#10#AAAA") + "\nFile2=" + b64("y.exe#20#BBBB") + "\n"
      "[TorvaneMD52]\nName=" + b64("해시2") + "\nInfo=" + b64("종류2") + "\nFileCount=1\n"
      "File1=" + b64("z.exe#30#CCCC") + "\n")};
  return db;
}

TEST(ProcessDefinitions, OnlyExeAndEXENewestFirst) {
  const auto rows = scan::loadProcessDefinitions(database(), context(), nullptr);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0], (scan::ProcessDefinitionRow{"B.EXE", "첫째", "C:\\WINDOWS\\system32\\B.EXE",
                                                 "애드웨어", "윈도우"}));
  EXPECT_EQ(rows[1].path, "C:\\Documents and Settings\\kim\\바탕 화면\\a.exe");
  EXPECT_EQ(rows[1].fileName, "a.exe");
}

TEST(ProcessDefinitions, ExtensionTable) {
  struct Case {
    const char* name;
    bool process;
  } cases[] = {{"a.exe", true}, {"a.EXE", true}, {"a.Exe", false}, {"a.com", false},
               {"exe", true},   {"a.tar.exe", true}, {"a.exe.txt", false}};
  for (const auto& c : cases) EXPECT_EQ(scan::isProcessFileName(c.name), c.process) << c.name;
}

TEST(DigestDefinitions, EveryItemNewestFirst) {
  std::vector<std::string> seen;
  const auto rows = scan::loadDigestDefinitions(database(), nullptr,
                                                [&](const scan::DigestRow& r) { seen.push_back(r.fileName); });
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0], (scan::DigestRow{"z.exe", "해시2", "종류2", "CCCC", "30"}));
  EXPECT_EQ(rows[2].fileName, "x.exe");
  EXPECT_EQ(seen, (std::vector<std::string>{"x.exe", "y.exe", "z.exe"})) << "reading order";
}

TEST(Loaders, StopRequestEndsEarlyAndClearsBusy) {
  WorkFlags flags;
  flags.busy = 1;
  flags.stopRequest = 1;
  EXPECT_TRUE(scan::loadProcessDefinitions(database(), context(), &flags).empty());
  EXPECT_EQ(flags.busy.load(), 0);
  flags.busy = 1;
  EXPECT_TRUE(scan::loadDigestDefinitions(database(), &flags).empty());
  EXPECT_EQ(flags.busy.load(), 0);
}

}  // namespace

namespace {

// Counts that do not fit the file: a negative one reads as nothing, a huge
// one gives the rows that are there (and no huge allocation).
TEST(DigestDefinitions, HostileCounts) {
  const std::string item = dbfixture::b64("a.exe#1#44d88612fea8a8f36de82e1278abb02f");
  for (const char* count : {"-1", "2000000000"}) {
    const scan::DefinitionDatabase db{scan::IniFile(
        std::string("[TotalCountMD5]\nCount=") + count + "\n[TorvaneMD51]\nFileCount=1\nFile1=" + item + "\n")};
    EXPECT_EQ(scan::loadDigestDefinitions(db, nullptr).size(), count[0] == '-' ? 0u : 1u) << count;
  }
}

}  // namespace
