#include "scan/ini_file.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

#include "common/text.h"

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

TEST(IniFile, RepeatedSectionsMergeAndLongSectionsAnswerAsShortOnes) {
  std::string text = "[e]\n[s]\nk=1\n[e]\ne=1\n[t]\nk=t\n[S]\nk=2\nj=3\n[big]\n";
  for (int i = 1; i <= 100; ++i) text += "File" + std::to_string(i) + "=v" + std::to_string(i) + "\n";
  text += "file50=again\n[s]\nlast=4\n";
  const scan::IniFile ini(text);
  EXPECT_EQ(ini.value("s", "k"), "1") << "the first occurrence wins across repeats";
  EXPECT_EQ(ini.value("s", "j"), "3");
  EXPECT_EQ(ini.value("s", "last"), "4");
  EXPECT_EQ(ini.value("t", "k"), "t");
  EXPECT_EQ(ini.value("e", "e"), "1");
  EXPECT_EQ(ini.value("BIG", "file1"), "v1");
  EXPECT_EQ(ini.value("big", "FILE50"), "v50");
  EXPECT_EQ(ini.value("big", "File100"), "v100");
  EXPECT_EQ(ini.value("big", "File101"), "");
  EXPECT_EQ(ini.highestKeyIndex("big", "File"), 100);
}

// Random files of a few section and key names, repeated and interleaved,
// against a plain reading of the rules: every key of every section answers
// as the first line that gave it.
TEST(IniFile, AgreesWithAPlainReadingOnRandomFiles) {
  std::mt19937 random(11);
  const char* sections[] = {"A", "a", "B", "Torvane1", "big"};
  for (int round = 0; round < 300; ++round) {
    std::string text;
    std::map<std::string, std::map<std::string, std::string>> expected;  // lower-case names
    std::string current;
    const int lines = 1 + static_cast<int>(random() % 60);
    for (int l = 0; l < lines; ++l) {
      if (random() % 4 == 0 || current.empty()) {
        current = sections[random() % 5];
        text += "[" + current + "]\n";
        expected[text::toLowerAscii(current)];
        continue;
      }
      const std::string key = (random() % 2 ? "File" : "file") + std::to_string(random() % 30);
      const std::string value = "v" + std::to_string(l);
      text += key + "=" + value + "\n";
      expected[text::toLowerAscii(current)].emplace(text::toLowerAscii(key), value);
    }
    const scan::IniFile ini(text);
    for (const auto& [section, keys] : expected) {
      int highest = 0;
      for (int k = 0; k < 30; ++k) {
        const std::string key = "FILE" + std::to_string(k);
        const auto it = keys.find(text::toLowerAscii(key));
        EXPECT_EQ(ini.value(section, key), it == keys.end() ? "" : it->second) << text;
        if (it != keys.end() && k > 0) highest = k;
      }
      EXPECT_EQ(ini.highestKeyIndex(section, "File"), highest) << text;
    }
  }
}

TEST(IniFile, MissingFileIsEmpty) {
  bool found = true;
  const scan::IniFile ini = scan::IniFile::load("/nonexistent/torvane.ini", &found);
  EXPECT_FALSE(found);
  EXPECT_EQ(ini.count("TotalCount", "Count"), 0);
}

TEST(IniFile, SurvivesAMove) {
  scan::IniFile a("[s]\nk=v\n");  // short enough for the small-string buffer
  scan::IniFile b = std::move(a);
  EXPECT_EQ(b.value("s", "k"), "v");
}

}  // namespace
