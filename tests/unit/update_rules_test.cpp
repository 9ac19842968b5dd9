#include "update/update_rules.h"

#include <gtest/gtest.h>

#include "common/text.h"

namespace {

using namespace update;

TEST(VersionRules, NumberTextAndComparison) {
  struct Row {
    const char* version;
    int number;
  };
  const Row rows[] = {
      {"2008-07-10 (12)", 12},
      {"15", 15},
      {"Torvane DB (2026.12.10)", 2026},
      {"(7) and (8)", 7},  // after the first "(", every ")" removed: "7 and (8" -> 7
      {"label ()", 0},
      {"", 0},
      {"no digits", 0},
      {"x (-3)", -3},
  };
  for (const Row& row : rows)
    EXPECT_EQ(versionNumber(versionNumberText(row.version)), row.number) << row.version;
  EXPECT_TRUE(isUpdateAvailable(12, 13));
  EXPECT_FALSE(isUpdateAvailable(12, 12));
  EXPECT_FALSE(isUpdateAvailable(13, 12));
  // A missing answer reads as server version 0: up to date.
  EXPECT_FALSE(isUpdateAvailable(versionNumber("5"), parseUpdateAnswer("").serverVersion));
}

TEST(UpdateAnswer, FieldsOfTheAnswer) {
  const UpdateAnswer answer = parseUpdateAnswer(
      "[DBINFO]\r\nVersion=13\r\n\r\n[down]\r\nurl=http://h/update/up.exe\r\nNAME=up.exe\r\nSHA256=ab12\r\n");
  EXPECT_EQ(answer.serverVersion, 13);
  EXPECT_EQ(answer.url, "http://h/update/up.exe");
  EXPECT_EQ(answer.name, "up.exe");
  EXPECT_EQ(answer.sha256, "AB12");
}

TEST(UpdateAnswer, HostileAnswersGiveEmptyOrBoundedFields) {
  EXPECT_EQ(parseUpdateAnswer("<html>404 Not Found</html>").serverVersion, 0);
  EXPECT_EQ(parseUpdateAnswer("[DBINFO]\nVersion=99999999999999\n").serverVersion, 2147483647);
  const UpdateAnswer longName = parseUpdateAnswer("[DOWN]\nNAME=" + std::string(5000, 'a') + "\n");
  EXPECT_EQ(longName.name.size(), 259u);
  EXPECT_EQ(parseUpdateAnswer(std::string("[DBINFO]\nVersion=1\0\n", 20)).serverVersion, 1);
}

TEST(FileNameSafety, OnlyPlainNamesInTheProgramFolder) {
  struct Row {
    const char* name;
    bool safe;
  };
  const Row rows[] = {
      {"torvane_update.exe", true}, {"업데이트.exe", true}, {"a b.exe", true},
      {"", false}, {".", false}, {"..", false}, {"..\\evil.exe", false}, {"sub\\a.exe", false},
      {"sub/a.exe", false}, {"C:evil.exe", false}, {"C:\\Windows\\a.exe", false},
      {"\\\\server\\share\\a.exe", false}, {"a.exe:stream", false}, {"CON", false},
      {"nul.exe", false}, {"Com1.txt", false}, {"LPT9", false}, {"aux .exe", false},
      {"COM10.exe", true}, {"a.exe.", false}, {"a.exe ", false}, {"a*.exe", false},
      {"a\x01.exe", false}, {"torvane.ini", true},
  };
  for (const Row& row : rows) EXPECT_EQ(isSafeFileName(row.name), row.safe) << row.name;
}

Download make(bool transportOk, int status, std::optional<uint64_t> length, bool cutShort, std::string body) {
  Download d;
  d.transportOk = transportOk;
  d.status = status;
  d.contentLength = length;
  d.cutShort = cutShort;
  d.body = std::move(body);
  return d;
}

TEST(Downloads, OnlyAWholeAnswerOf200Counts) {
  const Download whole = make(true, 200, 5, false, "abcde");
  EXPECT_TRUE(isCompleteDownload(whole));
  const Download noLength = make(true, 200, std::nullopt, false, "abc");
  EXPECT_TRUE(isCompleteDownload(noLength));
  const Download bad[] = {
      make(false, 200, 5, false, "abcde"),                // network error
      make(true, 404, 5, false, "abcde"),                 // an error page
      make(true, 500, std::nullopt, false, "x"),          // server error
      make(true, 200, 10, false, "abcde"),                // shorter than announced
      make(true, 200, std::nullopt, true, "abcde"),       // cut by the size limit
      make(true, 200, 0, false, ""),                      // empty
  };
  for (const Download& d : bad) EXPECT_FALSE(isCompleteDownload(d)) << d.status << " " << d.body;
}

TEST(Downloads, DataFilesMustParseWithTheirCounts) {
  EXPECT_TRUE(isUsableDatabase("[DBINFO]\nVersion=x (3)\n[TotalCount]\nCount=0\n"));
  EXPECT_FALSE(isUsableDatabase("<html><body>404</body></html>"));
  EXPECT_FALSE(isUsableDatabase("[DBINFO]\nVersion=x (3)\n"));
  EXPECT_FALSE(isUsableDatabase("[DBINFO]\nVersion=x\n[TotalCount]\nCount=many\n"));
  EXPECT_TRUE(isUsableKillbitList("[TotalCount]\r\nCount=3\r\n"));
  EXPECT_FALSE(isUsableKillbitList("[Torvane1]\nCLSID=a#b\n"));
}

TEST(Signatures, TextForm) {
  const std::string hex = std::string(64, '0') + std::string(62, 'f') + "0A";
  const auto bytes = parseSignatureText(hex + "\r\n");
  ASSERT_TRUE(bytes);
  EXPECT_EQ(bytes->size(), 64u);
  EXPECT_EQ(hexUpper(*bytes), text::toUpperAscii(hex));
  EXPECT_FALSE(parseSignatureText(hex.substr(2)));
  EXPECT_FALSE(parseSignatureText(hex.substr(1) + "g"));
  EXPECT_FALSE(parseSignatureText(""));
}

}  // namespace
