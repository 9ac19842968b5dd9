#include "common/text.h"

#include <gtest/gtest.h>

namespace {

TEST(Text, Utf16RoundTripKeepsEveryName) {
  const std::u16string cases[] = {
      u"", u"plain", u"바탕 화면", u"\U0001F600 emoji",
      std::u16string(1, char16_t(0xD800)),            // lone high surrogate
      std::u16string(1, char16_t(0xDC00)) + u"x",     // lone low surrogate
  };
  for (const auto& c : cases) EXPECT_EQ(text::utf8ToUtf16(text::utf16ToUtf8(c)), c);
}

TEST(Text, MalformedUtf8BecomesReplacementCharacter) {
  EXPECT_EQ(text::utf8ToUtf16("a\xFF" "b"), u"a\uFFFDb");
  EXPECT_EQ(text::utf8ToUtf16("\xE3\x81"), u"\uFFFD\uFFFD");  // cut sequence
  EXPECT_EQ(text::utf8ToUtf16("\xC0\x80"), u"\uFFFD\uFFFD");  // overlong NUL
}

TEST(Text, Cp949KoreanBothWays) {
  // "바탕화면" and "사용자이름" as a Korean Windows stores them.
  const std::string desktopCp949 = "\xB9\xD9\xC5\xC1\xC8\xAD\xB8\xE9";
  const std::string userCp949 = "\xBB\xE7\xBF\xEB\xC0\xDA\xC0\xCC\xB8\xA7";
  EXPECT_EQ(text::cp949ToUtf8(desktopCp949), "바탕화면");
  EXPECT_EQ(text::cp949ToUtf8(userCp949), "사용자이름");
  bool lossless = false;
  EXPECT_EQ(text::utf8ToCp949("바탕화면", &lossless), desktopCp949);
  EXPECT_TRUE(lossless);
  EXPECT_EQ(text::utf8ToCp949("C:\\x", &lossless), "C:\\x");
}

TEST(Text, Cp949DropsLoneLeadByteAndFlagsUnmappable) {
  EXPECT_EQ(text::cp949ToUtf8("ab\xB9"), "ab");
  // A sequence the converter consumes and still reports as unconvertible
  // (found by the fuzzer: the conversion then stepped past the end).
  const std::string tail = text::cp949ToUtf8("a.exe#1#aa\xA2\xE8");
  EXPECT_EQ(tail.rfind("a.exe#1#aa", 0), 0u);
  EXPECT_LE(tail.size(), std::string("a.exe#1#aa").size() + 4);
  bool lossless = true;
  text::utf8ToCp949("\U0001F600", &lossless);
  EXPECT_FALSE(lossless);
}

TEST(Text, AtoiLikeTable) {
  struct Case {
    const char* in;
    int out;
  } cases[] = {{"", 0},      {"12", 12},    {"  7x", 7},  {"-3", -3}, {"+4", 4},
               {"abc", 0},   {"0012", 12},  {"99999999999", 2147483647},
               {"-99999999999", -2147483647 - 1}};
  for (const auto& c : cases) EXPECT_EQ(text::atoiLike(c.in), c.out) << c.in;
}

TEST(Text, SplitKeepsEmptyFields) {
  EXPECT_EQ(text::split("a##b", '#'), (std::vector<std::string>{"a", "", "b"}));
  EXPECT_EQ(text::split("", '#'), (std::vector<std::string>{""}));
  EXPECT_EQ(text::split("x#", '#'), (std::vector<std::string>{"x", ""}));
}

TEST(Text, AfterLastBackslash) {
  EXPECT_EQ(text::afterLastBackslash("C:\\a\\b.exe"), "b.exe");
  EXPECT_EQ(text::afterLastBackslash("b.exe"), "b.exe");
  EXPECT_EQ(text::afterLastBackslash("C:\\dir\\"), "");
}

}  // namespace
