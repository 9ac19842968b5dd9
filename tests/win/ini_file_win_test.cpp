// IniFile against the platform's profile reader: the same bytes written to a
// file, read through GetPrivateProfileStringW and through IniFile, must give
// the same answer for every section and key asked. Cases where the two once
// differed, then random files built from the pieces that matter to a reader
// (headers, repeats, quotes, blanks, line ends, NUL bytes, Korean text).
#include "scan/ini_file.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "common/text.h"
#include "support/temp_dir.h"

namespace {

struct Query {
  std::string section;
  std::string key;
};

std::string hex(const std::string& bytes) {
  static const char digits[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : bytes) {
    if (c >= 0x20 && c < 0x7F && c != '\\') {
      out += static_cast<char>(c);
    } else {
      out += "\\x";
      out += digits[c >> 4];
      out += digits[c & 15];
    }
  }
  return out;
}

// The platform's answer, as UTF-8.
std::string platformValue(const std::string& path, const Query& q) {
  wchar_t buffer[260] = {};
  GetPrivateProfileStringW(text::widen(q.section).c_str(), text::widen(q.key).c_str(), L"", buffer,
                           260, text::widen(path).c_str());
  return text::narrow(buffer);
}

// The ANSI reader's answer: the CP949 bytes our readers stand for.
std::string platformAnsiValue(const std::string& path, const Query& q) {
  char buffer[260] = {};
  GetPrivateProfileStringA(text::utf8ToCp949(q.section).c_str(), text::utf8ToCp949(q.key).c_str(), "",
                           buffer, 260, path.c_str());
  return buffer;
}

// Our answer, as UTF-8: the file and its names are CP949.
std::string ourValue(const scan::IniFile& ini, const Query& q) {
  return text::cp949ToUtf8(ini.value(text::utf8ToCp949(q.section), text::utf8ToCp949(q.key)));
}

class ProfileComparison {
 public:
  // Each text gets a file of its own: the platform caches what it read by name.
  void expectSame(const std::string& bytes, const std::vector<Query>& queries, const std::string& what) {
    const std::string path = dir_.file("t" + std::to_string(++files_) + ".ini");
    testing_support::writeFile(path, bytes);
    const scan::IniFile ini(bytes);
    for (const Query& q : queries) {
      const std::string wide = platformValue(path, q);
      const std::string ansi = platformAnsiValue(path, q);
      const std::string ours = ourValue(ini, q);
      const std::string where = what + ": [" + q.section + "] " + q.key + " in \"" + hex(bytes) + "\"";
      // The wide reader holds 259 characters, the ANSI one 259 bytes.
      if (text::utf8ToCp949(wide).size() <= scan::IniFile::kMaxValueBytes) EXPECT_EQ(ours, wide) << where;
      EXPECT_EQ(std::string(ini.value(text::utf8ToCp949(q.section), text::utf8ToCp949(q.key))), ansi)
          << where;
      if (ours != text::cp949ToUtf8(ansi)) ++mismatches_;
    }
  }
  int mismatches() const { return mismatches_; }

 private:
  testing_support::TempDir dir_;
  int files_ = 0;
  int mismatches_ = 0;
};

TEST(IniFileAgainstTheProfileReader, CasesThatOnceDiffered) {
  struct Case {
    const char* what;
    std::string text;
    std::vector<Query> queries;
  };
  const std::string korean = text::utf8ToCp949("악성코드 검사");
  const std::string ga = text::utf8ToCp949("가");
  const auto repeat = [](const std::string& piece, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += piece;
    return out;
  };
  const Case cases[] = {
      {"a section that appears twice", "[s]\nk=1\n[t]\nk=t\n[S]\nk=2\nj=3\n",
       {{"s", "k"}, {"s", "j"}, {"t", "k"}}},
      {"double quotes", "[s]\na=\"x y\"\nb=\"x\nc=\"\"\nd=\"\ne=x\"\n",
       {{"s", "a"}, {"s", "b"}, {"s", "c"}, {"s", "d"}, {"s", "e"}}},
      {"single quotes", "[s]\na='x y'\nb='x\nc=''\nd='\ne='x\"\n",
       {{"s", "a"}, {"s", "b"}, {"s", "c"}, {"s", "d"}, {"s", "e"}}},
      {"the header's last \"]\"", "[a]b]\nk=1\n[c] x ]\nk=2\n",
       {{"a", "k"}, {"a]b", "k"}, {"c", "k"}, {"c] x", "k"}, {"c] x ", "k"}}},
      {"blanks inside the brackets", "[ a ]\nk=1\n[b ]\nk=2\n", {{"a", "k"}, {"b", "k"}, {" a ", "k"}}},
      {"lines ended by a lone CR", "[s]\rk=1\rj=2\r\n[t]\r\rk=3", {{"s", "k"}, {"s", "j"}, {"t", "k"}}},
      {"bytes after a NUL", std::string("[s]\nk=ab\0cd\nj\0x=1\n[t\0u]\nk=2\n", 29),
       {{"s", "k"}, {"s", "j"}, {"t", "k"}}},
      {"a header without \"]\"", "[s]\nk=1\n[broken\nk=2\nb=3\n", {{"s", "k"}, {"s", "b"}, {"broken", "k"}}},
      {"comments and keys without \"=\"", "[s]\n;k=1\nk\nk=2\n ; j = 3\n", {{"s", "k"}, {"s", ";k"}}},
      {"blanks around names and values", "[s]\n \t k \t = \t v w \t \r\n", {{"s", "k"}}},
      {"Korean text", "[s]\nk=" + korean + "\n" + korean + "=" + korean + "\n",
       {{"s", "k"}, {"s", "악성코드 검사"}}},
      {"a byte order mark", "\xEF\xBB\xBF[s]\nk=1\n", {{"s", "k"}}},
      {"values cut to 259 characters",
       "[s]\na=" + std::string(300, 'x') + "\nb=\"" + std::string(258, 'y') + "\"\nc=\"" +
           std::string(259, 'z') + "\"\nd=\"" + std::string(260, 'w') + "\"\n",
       {{"s", "a"}, {"s", "b"}, {"s", "c"}, {"s", "d"}}},
      {"Korean values cut to 259 bytes",
       "[s]\na=" + repeat(ga, 200) + "\nb=\"" + repeat(ga, 129) + "\"\nc=x" + repeat(ga, 130) +
           "\nd=\"" + std::string(258, 'y') + ga + "\"\ne=\"" + repeat(ga, 259) + "\"\n",
       {{"s", "a"}, {"s", "b"}, {"s", "c"}, {"s", "d"}, {"s", "e"}}},
      {"keys before any section", "k=1\n[s]\nk=2\n", {{"s", "k"}}},
      {"an empty file", "", {{"s", "k"}}},
  };
  ProfileComparison compare;
  for (const Case& c : cases) compare.expectSame(c.text, c.queries, c.what);
}

// Every control byte as a blank candidate around names and values.
TEST(IniFileAgainstTheProfileReader, ControlBytesAroundNamesAndValues) {
  ProfileComparison compare;
  for (int b = 1; b < 0x20; ++b) {
    if (b == '\n' || b == '\r') continue;
    const std::string c(1, static_cast<char>(b));
    compare.expectSame("[" + c + "s" + c + "]\n" + c + "k" + c + "=" + c + "v" + c + "\n[t]" + c +
                           "\n" + c + "k=" + c + "\n",
                       {{"s", "k"}, {c + "s" + c, "k"}, {"t", "k"}}, "byte " + std::to_string(b));
  }
}

// Random files from a small vocabulary, so that names repeat and collide.
TEST(IniFileAgainstTheProfileReader, RandomFiles) {
  const std::vector<std::string> sections = {"A", "a", "B", "Torvane1", "torvane1", "한글"};
  const std::vector<std::string> keys = {"File1", "file1", "Name", "k", "한"};
  const std::vector<std::string> blanks = {"", "", " ", "\t", "  "};
  const std::vector<std::string> ends = {"\n", "\r\n", "\r", "\n\n", "\r\r\n"};
  const std::vector<std::string> values = {"v", "x y", "\"q\"", "'q'", "\"", "'", "\"a'", "",
                                           "=", "a=b", "[x]", "악성", std::string("n\0ul", 4), ";c"};
  std::vector<Query> queries;
  for (const auto& s : sections)
    for (const auto& k : keys) queries.push_back({s, k});
  std::mt19937 random(2026);
  const auto pick = [&](const std::vector<std::string>& from) { return from[random() % from.size()]; };
  const auto cp = [](const std::string& utf8) { return text::utf8ToCp949(utf8); };
  ProfileComparison compare;
  for (int round = 0; round < 200; ++round) {
    std::string file;
    const int lines = 1 + static_cast<int>(random() % 25);
    for (int l = 0; l < lines; ++l) {
      switch (random() % 6) {
        case 0:
          file += pick(blanks) + "[" + pick(blanks) + cp(pick(sections)) + pick(blanks) +
                  (random() % 5 == 0 ? "]x" : "") + "]" + pick(blanks);
          break;
        case 1:
          file += ";" + cp(pick(keys)) + "=" + cp(pick(values));
          break;
        case 2:
          file += pick(blanks) + cp(pick(keys)) + pick(blanks);
          break;
        default:
          file += pick(blanks) + cp(pick(keys)) + pick(blanks) + "=" + pick(blanks) + cp(pick(values)) +
                  pick(blanks);
      }
      file += pick(ends);
    }
    compare.expectSame(file, queries, "random file " + std::to_string(round));
    if (compare.mismatches() > 20) break;  // enough to see the pattern
  }
}

}  // namespace
