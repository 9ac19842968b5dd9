#include "cli/database_source.h"

#include <gtest/gtest.h>

#include "cli/database_generator.h"

namespace {

const char kSource[] =
    "; sample\n"
    "version = Torvane (2026.12.10)\n"
    "info = 최종 업데이트 : 2026-12-10\n"
    "definition = 게임핵 | 트로이목마\n"
    "file = C:\\Documents and Settings\\사용자이름\\바탕 화면\\game.exe#default#바탕화면\n"
    "reg = HKEY_LOCAL_MACHINE#SOFTWARE\\X#abc#default#레지값\n"
    "digest = EICAR | 테스트\n"
    "file = eicar.com#68#44d88612fea8a8f36de82e1278abb02f\n";

TEST(DatabaseSource, ParsesEveryStatement) {
  scan::DatabaseContent c;
  cli::SourceError e;
  ASSERT_TRUE(cli::parseDatabaseSource(kSource, &c, &e)) << e.line << ": " << e.message;
  EXPECT_EQ(c.version, "Torvane (2026.12.10)");
  ASSERT_EQ(c.definitions.size(), 1u);
  EXPECT_EQ(c.definitions[0].name, "게임핵");
  EXPECT_EQ(c.definitions[0].files[0].kind, "바탕화면");
  EXPECT_EQ(c.definitions[0].registryItems[0].valueName, "abc");
  ASSERT_EQ(c.digestDefinitions.size(), 1u);
  EXPECT_EQ(c.digestDefinitions[0].items[0].size, "68");
}

TEST(DatabaseSource, DumpOfTheBuiltDatabaseParsesToTheSameContent) {
  scan::DatabaseContent c, again;
  cli::SourceError e;
  ASSERT_TRUE(cli::parseDatabaseSource(kSource, &c, &e));
  const scan::DefinitionDatabase db{scan::IniFile(scan::writeDatabase(c))};
  ASSERT_TRUE(cli::parseDatabaseSource(cli::formatDatabaseSource(db), &again, &e)) << e.message;
  EXPECT_EQ(again.definitions[0].files, c.definitions[0].files);
  EXPECT_EQ(again.definitions[0].registryItems, c.definitions[0].registryItems);
  EXPECT_EQ(again.digestDefinitions[0].items, c.digestDefinitions[0].items);
}

TEST(DatabaseSource, MalformedLinesNameTheLine) {
  struct Case {
    const char* source;
    int line;
    const char* fragment;
  } cases[] = {
      {"file = a#1#파일\n", 1, "before any"},
      {"definition = x | y\nfile = a#1\n", 2, "3 fields"},
      {"definition = x | y\nfile = a#12k#파일\n", 2, "size"},
      {"definition = x | y\nfile = a#1#desk\n", 2, "location kind"},
      {"definition = x | y\nreg = HKLM#a#b#c#레지값\n", 2, "root"},
      {"definition = x | y\nreg = HKEY_CURRENT_USER#a#b#c#key\n", 2, "kind"},
      {"digest = x | y\nfile = a#1#abc\n", 2, "32 hexadecimal"},
      {"\n\ndefinition = no bar\n", 3, "NAME | TYPE"},
      {"bogus\n", 1, "keyword = value"},
      {"colour = red\n", 1, "unknown statement"},
      {"definition = x | y\nfile = C:\\\xF0\x9F\x98\x80#1#파일\n", 2, "CP949"},
  };
  for (const auto& c : cases) {
    scan::DatabaseContent content;
    cli::SourceError e;
    EXPECT_FALSE(cli::parseDatabaseSource(c.source, &content, &e)) << c.source;
    EXPECT_EQ(e.line, c.line) << c.source;
    EXPECT_NE(e.message.find(c.fragment), std::string::npos) << e.message;
  }
}

TEST(DatabaseSource, RecordTooLongToReadBackIsRefused) {
  const std::string source = "definition = x | y\nfile = C:\\" + std::string(200, 'a') + "#1#파일\n";
  scan::DatabaseContent content;
  cli::SourceError e;
  EXPECT_FALSE(cli::parseDatabaseSource(source, &content, &e));
  EXPECT_NE(e.message.find("at most 192"), std::string::npos) << e.message;
}

TEST(DatabaseGenerator, DeterministicAndRealItemsFirst) {
  cli::GeneratorOptions o;
  o.definitions = 50;
  o.digests = 20;
  o.seed = 7;
  o.minSize = 100;
  o.maxSize = 200;
  o.realItems.push_back({"real.exe", "68", "44d88612fea8a8f36de82e1278abb02f"});
  const std::string a = scan::writeDatabase(cli::generateDatabase(o));
  EXPECT_EQ(a, scan::writeDatabase(cli::generateDatabase(o)));
  const scan::DefinitionDatabase db{scan::IniFile(a)};
  EXPECT_EQ(db.definitionCount(), 50);
  EXPECT_EQ(db.digestDefinitionCount(), 20);
  EXPECT_EQ(db.digestDefinition(1).items[0].fileName, "real.exe");
  for (int i = 2; i <= 20; ++i) {
    const int size = std::stoi(db.digestDefinition(i).items[0].size);
    EXPECT_GE(size, 100);
    EXPECT_LE(size, 200);
  }
  o.seed = 8;
  EXPECT_NE(a, scan::writeDatabase(cli::generateDatabase(o)));
}

}  // namespace
