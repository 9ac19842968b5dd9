#include "scan/ini_file.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

#include "common/text.h"
#include "fakes/fake_file_system.h"

namespace {

TEST(IniFile, LookupsLikeTheProfileReader) {
  const scan::IniFile ini(
      "\xEF\xBB\xBF[DBINFO]\r\n"
      "Version = Torvane (2026.12.10) \r\n"
      "; a comment\r\n"
      "Quoted=\"a b\"\r\n"
      "[TotalCount]\n"
      "Count=12abc\n"
      "Count=99\n"          // the first occurrence wins
      "[ Torvane1 ]\n"
      "NoEquals\n"
      "Name=QUJD\n");
  EXPECT_EQ(ini.value("DBINFO", "Version"), "Torvane (2026.12.10)");
  EXPECT_EQ(ini.value("dbinfo", "VERSION"), "Torvane (2026.12.10)");
  EXPECT_EQ(ini.value("DBINFO", "Quoted"), "a b");
  EXPECT_EQ(ini.count("TotalCount", "Count"), 12);
  EXPECT_EQ(ini.value("torvane1", "name"), "QUJD");
  EXPECT_EQ(ini.value("Torvane1", "NoEquals"), "");
  EXPECT_EQ(ini.value("Missing", "Name"), "");
  EXPECT_EQ(ini.value("DBINFO", "Missing"), "");
  EXPECT_EQ(ini.count("Missing", "Count"), 0);
}

TEST(IniFile, ValuesAreCutTo259Bytes) {
  const scan::IniFile ini("[s]\nk=" + std::string(300, 'x') + "\n");
  EXPECT_EQ(ini.value("s", "k").size(), 259u);
}

TEST(IniFile, KeysBeforeAnySectionAndBrokenHeadersAreIgnored) {
  const scan::IniFile ini("k=1\n[broken\nk=2\n[s]\nk=3\n");
  EXPECT_EQ(ini.value("s", "k"), "3");
  EXPECT_EQ(ini.value("broken", "k"), "");
}

TEST(IniFile, HighestIndexIgnoresLeadingZerosAndOtherNames) {
  const scan::IniFile ini(
      "[Torvane1]\n[Torvane12]\n[torvane3]\n[Torvane012]\n[TorvaneMD599]\n[Torvane]\n"
      "[s]\nFile1=a\nFile7=b\nfile09=c\nFileX=d\n");
  EXPECT_EQ(ini.highestSectionIndex("Torvane"), 12);
  EXPECT_EQ(ini.highestSectionIndex("TorvaneMD5"), 99);
  EXPECT_EQ(ini.highestKeyIndex("S", "File"), 7);
  EXPECT_EQ(ini.highestKeyIndex("none", "File"), 0);
}

// A section is read where it first appears; the platform's reader finds only
// that one. The random files of the differential test under Wine hold the
// reading to the platform's.
TEST(IniFile, ARepeatedSectionIsNotReadAgainAndLongSectionsAnswerAsShortOnes) {
  std::string text = "[e]\n[s]\nk=1\n[e]\ne=1\n[t]\nk=t\n[S]\nk=2\nj=3\n[big]\n";
  for (int i = 1; i <= 100; ++i) text += "File" + std::to_string(i) + "=v" + std::to_string(i) + "\n";
  text += "file50=again\n[s]\nlast=4\n";
  const scan::IniFile ini(text);
  EXPECT_EQ(ini.value("s", "k"), "1");
  EXPECT_EQ(ini.value("s", "j"), "");
  EXPECT_EQ(ini.value("s", "last"), "");
  EXPECT_EQ(ini.value("t", "k"), "t");
  EXPECT_EQ(ini.value("e", "e"), "");
  EXPECT_EQ(ini.value("BIG", "file1"), "v1");
  EXPECT_EQ(ini.value("big", "FILE50"), "v50");
  EXPECT_EQ(ini.value("big", "File100"), "v100");
  EXPECT_EQ(ini.value("big", "File101"), "");
  EXPECT_EQ(ini.highestKeyIndex("big", "File"), 100);
}

// The platform's answers, pinned natively too (the Wine test compares them live).
TEST(IniFile, ReadsLikeTheProfileReader) {
  struct Case {
    const char* what;
    std::string text;
    const char* section;
    const char* key;
    const char* value;  // nullptr: 258 times "z"
  };
  const Case cases[] = {
      {"single quotes dropped", "[s]\nk='a b'\n", "s", "k", "a b"},
      {"a lone quote kept", "[s]\nk='\n", "s", "k", "'"},
      {"unmatched quotes kept", "[s]\nk='a\"\n", "s", "k", "'a\""},
      {"the header's last \"]\"", "[a]b]\nk=1\n", "a]b", "k", "1"},
      {"lone CR ends a line", "[s]\rk=1\rj=2\r", "s", "j", "2"},
      {"a NUL ends a value", std::string("[s]\nk=ab\0cd\n", 13), "s", "k", "ab"},
      {"a NUL ends a key", std::string("[s]\nk\0x=1\n", 11), "s", "k", "1"},
      {"^Z is a blank", "[s]\n\x1Ak\x1A=\x1Av\x1A\n", "s", "k", "v"},
      {"a broken header is an entry", "[s]\n[k=1\n", "s", "[k", "1"},
      {"entries before any header", "k=1\n[s]\n", "", "k", "1"},
      {"a quoted 260-character value loses one more",
       "[s]\nk=\"" + std::string(259, 'z') + "\"\n", "s", "k", nullptr},
  };
  for (const Case& c : cases) {
    const scan::IniFile ini(c.text);
    const std::string expected = c.value ? c.value : std::string(258, 'z');
    EXPECT_EQ(ini.value(c.section, c.key), expected) << c.what;
  }
}

TEST(IniFile, MissingFileIsEmpty) {
  bool found = true;
  fakes::FakeFileSystem files;
  const scan::IniFile ini = scan::IniFile::load(files, "C:\\none.ini", &found);
  EXPECT_FALSE(found);
  EXPECT_EQ(ini.count("TotalCount", "Count"), 0);
}

TEST(IniFile, SurvivesAMove) {
  scan::IniFile a("[s]\nk=v\n");  // short enough for the small-string buffer
  scan::IniFile b = std::move(a);
  EXPECT_EQ(b.value("s", "k"), "v");
}

}  // namespace
