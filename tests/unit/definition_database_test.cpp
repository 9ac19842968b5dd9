#include "scan/definition_database.h"

#include <gtest/gtest.h>

#include "db_fixture.h"
#include "fakes/fake_file_system.h"
#include "scan/database_writer.h"
#include "scan/definition_tables.h"

namespace {

using dbfixture::b64;
using scan::DefinitionDatabase;
using scan::IniFile;

TEST(DefinitionDatabase, KoreanRecordsBecomeUtf8) {
  const DefinitionDatabase db(IniFile(
      "[DBINFO]\nVersion=\xB9\xF6\xC0\xFC (1.2)\n"  // "버전 (1.2)" in CP949
      "[TotalCount]\nCount=1\n"
      "[Torvane1]\nName=" + b64("게임핵") + "\nInfo=" + b64("트로이목마") +
      "\nFileCount=1\nFile1=" +
      b64("C:\\Documents and Settings\\사용자이름\\바탕화면\\game.exe#default#바탕화면") + "\n"));
  EXPECT_EQ(db.version(), "버전 (1.2)");
  ASSERT_EQ(db.definitionCount(), 1);
  const scan::Definition d = db.definition(1);
  EXPECT_EQ(d.name, "게임핵");
  EXPECT_EQ(d.info, "트로이목마");
  ASSERT_EQ(d.files.size(), 1u);
  EXPECT_EQ(d.files[0].path, "C:\\Documents and Settings\\사용자이름\\바탕화면\\game.exe");
  EXPECT_EQ(d.files[0].size, "default");
  EXPECT_EQ(d.files[0].kind, "바탕화면");
}

TEST(DefinitionDatabase, ShortRecordsAreSkippedNotFilledFromTheRecordBefore) {
  const DefinitionDatabase db(IniFile(
      "[TotalCount]\nCount=1\n[Torvane1]\nFileCount=3\nRegCount=2\n"
      "File1=" + b64("C:\\a.exe#10#파일") + "\n"
      "File2=" + b64("C:\\b.exe") + "\n"       // one field only
      "File3=" + b64("C:\\c.exe#20#파일#extra") + "\n"
      "Reg1=" + b64("HKEY_CURRENT_USER#Software\\X#v#default#레지값") + "\n"
      "Reg2=" + b64("HKEY_CURRENT_USER#Software\\Y") + "\n"));
  const scan::Definition d = db.definition(1);
  ASSERT_EQ(d.files.size(), 2u);
  EXPECT_EQ(d.files[0].path, "C:\\a.exe");
  EXPECT_EQ(d.files[1], (scan::FileItem{"C:\\c.exe", "20", "파일"}));
  ASSERT_EQ(d.registryItems.size(), 1u);
  EXPECT_EQ(d.registryItems[0].keyPath, "Software\\X");
  EXPECT_EQ(d.shortRecords, 2);
}

TEST(DefinitionDatabase, CountsBoundWhatIsRead) {
  const DefinitionDatabase db(IniFile(
      "[TotalCount]\nCount=2000000000\n[TotalCountMD5]\nCount=x\n"
      "[Torvane1]\nFileCount=1\nFile1=" + b64("C:\\a.exe#1#파일") +
      "\nFile2=" + b64("C:\\never.exe#1#파일") +   // beyond FileCount: never read
      "\n[Torvane2]\nFileCount=99999999\nFile1=" + b64("C:\\b.exe#1#파일") + "\n"
      "[TorvaneMD51]\nFileCount=1\nFile1=" + b64("a.exe#1#00") + "\n"));
  EXPECT_EQ(db.definitionCount(), 2) << "no further than the last section present";
  EXPECT_EQ(db.digestDefinitionCount(), 0) << "a count that is not a number is 0";
  EXPECT_EQ(db.definition(1).files.size(), 1u);
  EXPECT_EQ(db.definition(2).files.size(), 1u);
  EXPECT_TRUE(db.definition(7).files.empty());
}

// One extra header or key must not make its count walk: the readers visit the
// sections and keys the file holds, so the work is bounded by its size.
TEST(DefinitionDatabase, AHostileCountWalksOnlyWhatTheFileHolds) {
  struct Case {
    const char* what;
    std::string text;
    size_t processRows, digestRows;
  };
  const Case cases[] = {
      {"a definition section numbered like the count",
       "[TotalCount]\nCount=999999999\n[Torvane999999999]\nName=" + b64("끝") +
           "\nFileCount=1\nFile1=" + b64("C:\\a.exe#1#파일") + "\n",
       1, 0},
      {"a file key numbered like its count",
       "[TotalCount]\nCount=1\n[Torvane1]\nFileCount=999999999\nRegCount=999999999\nFile1=" +
           b64("C:\\a.exe#1#파일") + "\nFile999999999=" + b64("C:\\b.exe#1#파일") +
           "\nReg999999999=" + b64("HKEY_CURRENT_USER#S#v#d#레지값") + "\n",
       2, 0},
      {"a digest section and key numbered like their counts",
       "[TotalCountMD5]\nCount=999999999\n[TorvaneMD5999999999]\nFileCount=999999999\n"
       "File999999999=" + b64("a.exe#1#44d88612fea8a8f36de82e1278abb02f") + "\n",
       0, 1},
  };
  for (const Case& c : cases) {
    const DefinitionDatabase db{IniFile(c.text)};
    scan::ItemPathContext context;
    EXPECT_EQ(scan::loadProcessDefinitions(db, context, nullptr).size(), c.processRows) << c.what;
    EXPECT_EQ(scan::loadDigestDefinitions(db, nullptr).size(), c.digestRows) << c.what;
    for (int i : db.definitionNumbers()) (void)db.definition(i);
    // A handful of sections and keys, read by three walks.
    EXPECT_LE(db.lookups(), 30u) << c.what;
  }
}

TEST(DefinitionDatabase, LoadsThroughTheFileSystemAndAMissingFileReadsAsEmpty) {
  fakes::FakeFileSystem files;
  files.addFileWithContent("C:\\p\\torvane.ini", "[DBINFO]\r\nVersion=1.0\r\n[TotalCount]\r\nCount=7\r\n");
  bool present = false;
  const DefinitionDatabase there = DefinitionDatabase::load(files, "C:\\p\\torvane.ini", &present);
  EXPECT_TRUE(present);
  EXPECT_EQ(there.version(), "1.0");
  EXPECT_EQ(there.countText(), "7");
  bool found = true;
  const DefinitionDatabase db = DefinitionDatabase::load(files, "C:\\p\\none.ini", &found);
  EXPECT_FALSE(found);
  EXPECT_EQ(db.definitionCount(), 0);
  EXPECT_EQ(db.digestDefinitionCount(), 0);
  EXPECT_EQ(db.version(), "");
}

TEST(DefinitionDatabase, WriterOutputReadsBack) {
  scan::DatabaseContent content;
  content.version = "Torvane (2026.12.10)";
  content.info = "최종 업데이트 : 2026-12-10";
  content.definitions.push_back(
      {"이름", "종류", {{"system32\\abc.dll", "1536", "윈도우"}},
       {{"HKEY_CLASSES_ROOT", "CLSID\\{1}", "-", "-", "레지키"}}, 0});
  content.digestDefinitions.push_back(
      {"EICAR", "테스트", {{"eicar.com", "68", "44d88612fea8a8f36de82e1278abb02f"}}, 0});
  const DefinitionDatabase db{IniFile(scan::writeDatabase(content))};
  EXPECT_EQ(db.version(), content.version);
  EXPECT_EQ(db.info(), content.info);
  EXPECT_EQ(db.countText(), "1");
  const scan::Definition d = db.definition(1);
  EXPECT_EQ(d.files, content.definitions[0].files);
  EXPECT_EQ(d.registryItems, content.definitions[0].registryItems);
  EXPECT_EQ(db.digestDefinition(1).items, content.digestDefinitions[0].items);
}

}  // namespace
