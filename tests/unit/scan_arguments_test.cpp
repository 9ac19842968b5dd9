#include "cli/scan_arguments.h"

#include <gtest/gtest.h>

#include "cli/console_line.h"

namespace {

TEST(ScanArguments, Table) {
  struct Case {
    std::vector<std::string> args;
    bool ok;
    bool full;
    const char* path;
    const char* db;
    bool remedy;
  };
  const Case cases[] = {
      {{}, true, false, nullptr, nullptr, false},
      {{"--quick"}, true, false, nullptr, nullptr, false},
      {{"--full", "--path", "D:\\자료", "--db", "x.ini", "--remedy", "--quiet"}, true, true, "D:\\자료",
       "x.ini", true},
      {{"--quick", "--full"}, false},
      {{"--path", "C:\\"}, false},  // a path needs the full scan
      {{"--full", "--path"}, false},
      {{"--full", "--path", ""}, false},
      {{"--db", "a", "--db", "b"}, false},
      {{"-x"}, false},
  };
  for (const Case& c : cases) {
    std::string error;
    const auto got = cli::parseScanArguments(c.args, &error);
    ASSERT_EQ(got.has_value(), c.ok) << testing::PrintToString(c.args) << " " << error;
    if (!got) {
      EXPECT_FALSE(error.empty());
      continue;
    }
    EXPECT_EQ(got->full, c.full);
    EXPECT_EQ(got->path.value_or(""), c.path ? c.path : "");
    EXPECT_EQ(got->database.value_or(""), c.db ? c.db : "");
    EXPECT_EQ(got->remedy, c.remedy);
  }
}

TEST(ConsoleLine, WideCharactersTakeTwoColumns) {
  EXPECT_EQ(cli::displayColumns("abc"), 3);
  EXPECT_EQ(cli::displayColumns("검사 중"), 7);
  EXPECT_EQ(cli::fitColumns("검사 중", 4), "검사");
  EXPECT_EQ(cli::fitColumns("검사 중", 3), "검");
  EXPECT_EQ(cli::fitColumns("abc", 10), "abc");
  EXPECT_EQ(cli::fitColumns("\xF0\x9F\x98\x80x", 2), "\xF0\x9F\x98\x80");
  EXPECT_EQ(cli::fitColumns("\xF0\x9F\x98\x80x", 1), "") << "never half a character";
}

}  // namespace
