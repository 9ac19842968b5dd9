#include "scan/scan_engine.h"

#include <gtest/gtest.h>

#include <random>
#include <thread>

#include "scan/digest_index.h"
#include "scan/scan_texts.h"
#include "scan_harness.h"

namespace {

// The EICAR test file: 68 bytes, MD5 44d88612fea8a8f36de82e1278abb02f.
const std::string kEicar = "X5O!P%@AP[4\\PZX54(P^)7CC)7}$EICAR-STANDARD-ANTIVIRUS-TEST-FILE!$H+H*";

using scan::Definition;
using scan::DigestDefinition;
using scan::FileItem;
using scan::RegistryItem;
using scan::ResultRow;
using scan::ScanLabel;
using scanharness::ScanHarness;

Definition fileDefinition(const std::string& name, std::vector<FileItem> files) {
  Definition d;
  d.name = name;
  d.info = "트로이목마";
  d.files = std::move(files);
  return d;
}

TEST(ScanDatabasePhase, FileItemsMatchBySizeOrDefault) {
  struct Case {
    const char* what;
    const char* itemSize;
    bool folder;
    bool present;
    uint64_t actualSize;
    bool found;
  };
  const Case cases[] = {
      {"default, any size", "default", false, true, 777, true},
      {"exact size", "1234", false, true, 1234, true},
      {"other size", "1234", false, true, 1235, false},
      {"missing file", "default", false, false, 0, false},
      {"folder, default", "default", true, true, 0, true},
      {"folder, 0", "0", true, true, 0, true},
      {"folder, a size", "12", true, true, 0, false},
      {"size text is signed low 32 bits", "-1", false, true, 0xFFFFFFFFull, true},
  };
  for (const Case& c : cases) {
    ScanHarness h;
    const std::string path = "C:\\Program Files\\Bad\\bad.bin";
    if (c.present) {
      if (c.folder) h.files.addFolder(path);
      else h.files.addFile(path, c.actualSize);
    }
    h.content.definitions.push_back(
        fileDefinition("Bad", {{path, c.itemSize, c.folder ? "폴더" : "파일"}}));
    ASSERT_TRUE(h.scan(false));
    EXPECT_EQ(h.observer.rows.size(), c.found ? 1u : 0u) << c.what;
  }
}

TEST(ScanDatabasePhase, RowsCarryNameExpandedPathTypeAndKind) {
  ScanHarness h;
  h.files.addFile("C:\\Documents and Settings\\홍길동\\바탕화면\\광고.exe", 10);
  h.files.addFile("C:\\WINDOWS\\악성.dll", 10);
  h.content.definitions.push_back(fileDefinition(
      "광고", {{"C:\\Documents and Settings\\사용자이름\\바탕화면\\광고.exe", "default", "바탕화면"},
               {"악성.dll", "10", "윈도우"}}));
  ASSERT_TRUE(h.scan(false));
  const std::vector<ResultRow> expected = {
      scan::pathRow("광고", "C:\\WINDOWS\\악성.dll", "트로이목마", "윈도우"),
      scan::pathRow("광고", "C:\\Documents and Settings\\홍길동\\바탕화면\\광고.exe", "트로이목마",
                    "바탕화면"),
  };
  EXPECT_EQ(h.observer.rows, expected);
  EXPECT_EQ(h.engine.results(), expected);
}

TEST(ScanDatabasePhase, RegistryItems) {
  struct Case {
    const char* what;
    RegistryItem item;
    const char* location;  // nullptr: no finding
  };
  const Case cases[] = {
      {"value, default data", {"HKEY_CURRENT_USER", "Software\\Bad", "Run", "default", "레지값"},
       "HKEY_CURRENT_USER\\Software\\Bad/Run/광고.exe"},
      {"value, exact data", {"HKEY_CURRENT_USER", "Software\\Bad", "Run", "광고.exe", "레지값"},
       "HKEY_CURRENT_USER\\Software\\Bad/Run/광고.exe"},
      {"value, other data", {"HKEY_CURRENT_USER", "Software\\Bad", "Run", "광고", "레지값"}, nullptr},
      {"value, missing", {"HKEY_CURRENT_USER", "Software\\Bad", "Gone", "default", "레지값"}, nullptr},
      {"value over 100 bytes", {"HKEY_CURRENT_USER", "Software\\Bad", "Long", "default", "레지값"},
       nullptr},
      {"value of 99 bytes and its NUL",
       {"HKEY_CURRENT_USER", "Software\\Bad", "Fits", "default", "레지값"},
       "HKEY_CURRENT_USER\\Software\\Bad/Fits/"},
      {"key shows the item's data", {"HKEY_CURRENT_USER", "Software\\Bad", "x", "메모", "레지키"},
       "HKEY_CURRENT_USER\\Software\\Bad/x/메모"},
      {"key missing", {"HKEY_CURRENT_USER", "Software\\None", "x", "y", "레지키"}, nullptr},
      {"unknown root", {"HKEY_USERS", "Software\\Bad", "x", "y", "레지키"}, nullptr},
      {"root in other case", {"hkey_current_user", "Software\\Bad", "x", "y", "레지키"}, nullptr},
      {"unknown kind", {"HKEY_CURRENT_USER", "Software\\Bad", "Run", "default", "파일"}, nullptr},
  };
  for (const Case& c : cases) {
    ScanHarness h;
    const auto hkcu = platform::RootKey::CurrentUser;
    h.store.writeString(hkcu, "Software\\Bad", "Run", "광고.exe");
    h.store.writeString(hkcu, "Software\\Bad", "Long", std::string(101, 'a'));
    h.store.writeString(hkcu, "Software\\Bad", "Fits", std::string(99, 'a'));
    Definition d;
    d.name = "광고";
    d.info = "애드웨어";
    d.registryItems = {c.item};
    h.content.definitions.push_back(d);
    ASSERT_TRUE(h.scan(false));
    if (!c.location) {
      EXPECT_TRUE(h.observer.rows.empty()) << c.what;
      continue;
    }
    ASSERT_EQ(h.observer.rows.size(), 1u) << c.what;
    std::string expected = c.location;
    if (std::string(c.what).find("99") != std::string::npos) expected += std::string(99, 'a');
    EXPECT_EQ(h.observer.rows[0].location, expected) << c.what;
    EXPECT_EQ(h.observer.rows[0].kind, c.item.kind) << c.what;
    // The remedy acts on these, never on the shown location.
    EXPECT_EQ(h.observer.rows[0].root, c.item.root) << c.what;
    EXPECT_EQ(h.observer.rows[0].keyPath, c.item.keyPath) << c.what;
    EXPECT_EQ(h.observer.rows[0].valueName, c.item.valueName) << c.what;
    EXPECT_EQ(h.registry.openHandles(), 0) << c.what;
  }
}

TEST(ScanProcessPhase, MatchesNameExactlyAndNeedsTheListedPath) {
  ScanHarness h;
  h.files.addFile("C:\\WINDOWS\\evil.exe", 5);
  h.files.addFile("C:\\WINDOWS\\explorer.exe", 5);
  h.content.definitions.push_back(fileDefinition(
      "Evil", {{"evil.exe", "999", "윈도우"}, {"explorer.exe", "999", "윈도우"},
               {"gone.exe", "999", "윈도우"}}));
  h.processes.add(1, "explorer.exe");
  h.processes.add(2, "EVIL.exe");  // case matters
  h.processes.add(3, "gone.exe");  // listed path does not exist
  h.processes.add(4, "evil.exe");
  ASSERT_TRUE(h.scan(false));
  ASSERT_EQ(h.observer.rows.size(), 1u);
  EXPECT_EQ(h.observer.rows[0],
            scan::pathRow("Evil", "C:\\WINDOWS\\evil.exe", "트로이목마", "윈도우"));
}

TEST(ScanProcessPhase, NoSnapshotFindsNothingAndTheScanGoesOn) {
  ScanHarness h;
  h.processes.failSnapshot(true);
  h.files.addFile("C:\\WINDOWS\\evil.exe", 5);
  h.content.definitions.push_back(fileDefinition("Evil", {{"evil.exe", "default", "윈도우"}}));
  ASSERT_TRUE(h.scan(false));
  EXPECT_EQ(h.observer.rows.size(), 1u);  // the database phase still ran
}

TEST(Scan, AFileIsListedByEveryPhaseAndEveryDigestRowItMatches) {
  ScanHarness h;
  h.files.addFileWithContent("C:\\WINDOWS\\evil.exe", kEicar);
  h.processes.add(7, "evil.exe");
  h.content.definitions.push_back(fileDefinition("Evil", {{"evil.exe", "68", "윈도우"}}));
  DigestDefinition byName{"ByName", "바이러스", {{"evil.exe", "1", "44d88612fea8a8f36de82e1278abb02f"}}};
  DigestDefinition bySize{"BySize", "바이러스", {{"other.com", "68", "44D88612FEA8A8F36DE82E1278ABB02F"}}};
  DigestDefinition wrong{"Wrong", "바이러스", {{"evil.exe", "68", "00000000000000000000000000000000"}}};
  h.content.digestDefinitions = {byName, bySize, wrong};
  ASSERT_TRUE(h.scan(true, "C:\\WINDOWS"));
  std::vector<std::string> names;
  for (const auto& row : h.observer.rows) names.push_back(row.name + "/" + row.kind);
  // Newest first: the digest rows in table order (newest definition first),
  // then the database phase, then the process phase.
  EXPECT_EQ(names, (std::vector<std::string>{"ByName/MD5", "BySize/MD5", "Evil/윈도우", "Evil/윈도우"}));
  EXPECT_EQ(h.files.opened(), (std::vector<std::string>{"C:\\WINDOWS\\evil.exe"}))
      << "one digest per file, compared with every matching row";
}

TEST(ScanFullPhase, WalkOrderTopEntriesAndSkippedFolders) {
  ScanHarness h;
  h.files.addFolder("C:\\Data");
  h.files.addFile("C:\\Data\\a.txt", 1);
  h.files.addFile("C:\\Data\\Temporary Internet Files\\x.txt", 1);
  h.files.addFile("C:\\Data\\Sub\\Temporary Internet Files\\y.txt", 1);
  h.files.addFile("C:\\Data\\Sub\\b.txt", 1);
  h.files.addFile("C:\\Data\\c.txt", 1);
  h.files.addFolderLink("C:\\Data\\Loop", "C:\\Data");
  h.files.addFile("C:\\top.txt", 1);
  std::vector<std::string> examined;
  h.observer.onLabel = [&](ScanLabel label, const std::string& text) {
    if (label == ScanLabel::CurrentItem && text.rfind("C:\\", 0) == 0) examined.push_back(text);
  };
  ASSERT_TRUE(h.scan(true, "C:\\"));
  // Top entries (folders too) are examined; below the top only files; the
  // walk enters a folder where it meets it; no "Temporary Internet Files"
  // below the top is entered and no link is followed.
  EXPECT_EQ(examined, (std::vector<std::string>{"C:\\Data", "C:\\Data\\a.txt", "C:\\Data\\Sub\\b.txt",
                                                "C:\\Data\\c.txt", "C:\\top.txt"}));
  EXPECT_EQ(h.engine.examinedFiles(), 5);
}

TEST(ScanFullPhase, ATopFolderInsideTemporaryInternetFilesIsStillExamined) {
  ScanHarness h;
  h.files.addFileWithContent("C:\\Temporary Internet Files\\Content\\evil.com", kEicar);
  h.content.digestDefinitions = {{"EICAR", "테스트", {{"evil.com", "68", "44d88612fea8a8f36de82e1278abb02f"}}}};
  ASSERT_TRUE(h.scan(true, "C:\\Temporary Internet Files\\Content"));
  EXPECT_EQ(h.locations(), (std::vector<std::string>{"C:\\Temporary Internet Files\\Content\\evil.com"}));
}

TEST(ScanFullPhase, UnreadableFilesAndFoldersArePassedOver) {
  ScanHarness h;
  h.files.addFile("C:\\D\\Locked\\evil.com", 68);
  h.files.denyListing("C:\\D\\Locked");
  h.files.addFile("C:\\D\\empty.com", 68);  // digest unreadable: the empty text
  h.content.digestDefinitions = {{"E", "x", {{"evil.com", "68", ""}}}};
  ASSERT_TRUE(h.scan(true, "C:\\D"));
  EXPECT_TRUE(h.observer.rows.empty());
  EXPECT_EQ(h.engine.examinedFiles(), 2);  // the Locked folder at the top and empty.com
}

TEST(ScanFullPhase, StoredTopFolder) {
  ScanHarness h;
  EXPECT_EQ(h.engine.storedTopFolder(false), "C:\\");
  EXPECT_EQ(h.engine.storedTopFolder(true), "C:\\") << "ScanLocation never set";
  h.store.writeString(keys::kRoot, keys::kMain, keys::value::kScanLocation, "D:\\자료");
  EXPECT_EQ(h.engine.storedTopFolder(true), "D:\\자료");
  EXPECT_EQ(h.engine.storedTopFolder(false), "C:\\");
}

TEST(Scan, ExaminedCountStartsFromZeroForEachScan) {
  ScanHarness h;
  h.files.addFile("C:\\D\\a", 1);
  h.files.addFile("C:\\D\\b", 1);
  ASSERT_TRUE(h.scan(true, "C:\\D"));
  ASSERT_TRUE(h.scan(true, "C:\\D"));
  EXPECT_EQ(h.engine.examinedFiles(), 2);
  EXPECT_NE(std::find(h.observer.history.begin(), h.observer.history.end(), "검사개수 : 2"),
            h.observer.history.end());
}

TEST(Scan, ClosingMessageAutoRemedyAndLabels) {
  struct Case {
    const char* autoRemedy;  // nullptr: never stored
    bool finding;
    int messages;
    int remedies;
  };
  const Case cases[] = {{nullptr, true, 1, 0}, {"1", true, 0, 1}, {"1", false, 1, 0}, {"0", true, 1, 0}};
  for (const Case& c : cases) {
    ScanHarness h;
    if (c.autoRemedy) h.store.writeString(keys::kRoot, keys::kMain, keys::value::kAutoRemedy, c.autoRemedy);
    if (c.finding) h.files.addFile("C:\\x.exe", 3);
    h.content.definitions.push_back(fileDefinition("X", {{"C:\\x.exe", "default", "파일"}}));
    ASSERT_TRUE(h.scan(false));
    EXPECT_EQ(static_cast<int>(h.observer.messages.size()), c.messages);
    EXPECT_EQ(h.observer.remediesStarted, c.remedies);
    if (c.messages == 1) {
      EXPECT_EQ(h.observer.messages[0], scan::texts::scanFinished(c.finding ? 1 : 0, "00:00:07"));
    }
    EXPECT_EQ(h.observer.labels[ScanLabel::Progress], "진행정보 : 대기상태");
    EXPECT_EQ(h.observer.labels[ScanLabel::ItemCaption], "검사항목 : 대기상태");
    EXPECT_EQ(h.observer.labels[ScanLabel::Count], "검사개수 : 0");
    EXPECT_EQ(h.observer.labels[ScanLabel::Elapsed], "검사시간 : 00:00:00");
    EXPECT_FALSE(h.observer.currentItemShown);
    EXPECT_EQ(h.flags.busy.load(), 0);
  }
}

TEST(ScanTexts, ClosingMessagesAndCounts) {
  EXPECT_EQ(scan::texts::scanFinished(3, "00:01:05"),
            "악성코드 검사를 완료 하였습니다.  \n\n검사결과 : 3 개의 악성코드가 발견 되었습니다. "
            "\n\n검사시간 : 00:01:05");
  EXPECT_EQ(scan::texts::scanFinished(0, ""),
            "악성코드 검사를 완료 하였습니다.  \n\n검사결과 : 악성코드 검사 결과 악성코드가 발견되지 "
            "않았습니다. \n\n검사시간 : ");
  EXPECT_EQ(scan::texts::definitionCount(3, 12), "검사개수 : 3 / 12");
  EXPECT_EQ(scan::texts::elapsedText(0), "00:00:00");
  EXPECT_EQ(scan::texts::elapsedText(3 * 3600 + 25 * 60 + 9), "03:25:09");
  EXPECT_EQ(scan::texts::elapsedText(100 * 3600), "100:00:00");
  // The elapsed label as timer 2 writes it.
  EXPECT_EQ(scan::texts::elapsedLabel(scan::texts::elapsedText(3725)), "검사시간 : 01:02:05");
  EXPECT_EQ(scan::texts::elapsedText(59 * 60 + 59), "00:59:59");
  EXPECT_EQ(scan::texts::elapsedText(3600), "01:00:00");
  EXPECT_EQ(scan::texts::scanDate(2008, 7, 10, 16, 10, 30), "2008.07.10, 16:10:30");
  EXPECT_EQ(scan::texts::scanDate(2026, 1, 2, 3, 4, 5), "2026.01.02, 03:04:05");
}

TEST(ScanStop, DuringTheDatabasePhaseTheScanRunsToItsEnd) {
  ScanHarness h;
  for (int i = 1; i <= 5; ++i) {
    const std::string path = "C:\\f" + std::to_string(i);
    h.files.addFile(path, 1);
    h.content.definitions.push_back(fileDefinition("D" + std::to_string(i), {{path, "default", "파일"}}));
  }
  h.files.addFile("C:\\Tree\\a", 1);
  h.observer.onLabel = [&](ScanLabel label, const std::string& text) {
    if (label == ScanLabel::Count && text == "검사개수 : 2 / 5") {
      h.flags.stopRequest = 1;  // what Stop does
      h.flags.busy = 0;
    }
  };
  ASSERT_TRUE(h.scan(true, "C:\\Tree"));
  // Definition 2 was already under way; 3 to 5 are not examined; the full
  // phase starts and stops at its first entry; the message reports what was found.
  EXPECT_EQ(h.locations(), (std::vector<std::string>{"C:\\f2", "C:\\f1"}));
  EXPECT_EQ(h.engine.examinedFiles(), 0);
  ASSERT_EQ(h.observer.messages.size(), 1u);
  EXPECT_EQ(h.observer.messages[0], scan::texts::scanFinished(2, "00:00:07"));
  EXPECT_EQ(h.flags.stopRequest.load(), 1) << "stays set until the next scan";
  h.observer.onLabel = nullptr;
  ASSERT_TRUE(h.scan(false));
  EXPECT_EQ(h.flags.stopRequest.load(), 0);
  EXPECT_EQ(h.observer.rows.size(), 5u);
}

// The window prepares a scan (waits for its tables) before the engine runs;
// a Stop pressed meanwhile is not lost when the engine starts.
TEST(ScanStop, PressedBeforeTheScanStartedStopsEveryPhaseAtItsFirstCheck) {
  ScanHarness h;
  h.files.addFile("C:\\f1", 1);
  h.content.definitions.push_back(fileDefinition("D1", {{"C:\\f1", "default", "파일"}}));
  h.files.addFile("C:\\Tree\\a", 1);
  h.load();
  scan::ScanSetup setup;
  setup.database = &h.database;
  setup.processTable = &h.processTable;
  setup.digestTable = &h.digestTable;
  setup.pathContext = h.context();
  setup.fullScan = true;
  setup.topFolder = "C:\\Tree";
  setup.elapsedText = [] { return std::string("00:00:01"); };
  setup.stoppedBeforeStart = true;
  ASSERT_TRUE(h.engine.run(setup, h.observer));
  EXPECT_TRUE(h.observer.rows.empty());
  EXPECT_EQ(h.engine.examinedFiles(), 0);
  ASSERT_EQ(h.observer.messages.size(), 1u);
  EXPECT_EQ(h.observer.messages[0], scan::texts::scanFinished(0, "00:00:01"));
  EXPECT_EQ(h.flags.stopRequest.load(), 1);
  EXPECT_EQ(h.flags.busy.load(), 0);
}

TEST(ScanStop, ASecondScanWhileOneRunsIsRefused) {
  ScanHarness h;
  h.content.definitions.push_back(fileDefinition("D", {{"C:\\x", "default", "파일"}}));
  h.load();
  scan::ScanSetup setup;
  setup.database = &h.database;
  setup.processTable = &h.processTable;
  setup.digestTable = &h.digestTable;
  bool inner = true;
  h.observer.onLabel = [&](ScanLabel, const std::string&) {
    if (inner) {
      inner = false;
      scanharness::RecordingObserver other;
      EXPECT_FALSE(h.engine.run(setup, other));
      EXPECT_TRUE(other.history.empty());
    }
  };
  EXPECT_TRUE(h.engine.run(setup, h.observer));
  EXPECT_FALSE(inner);
  EXPECT_TRUE(h.engine.run(setup, h.observer)) << "free again after the scan";
}

// Stop pressed on another thread, as the window's thread would: the scan on
// its worker notices it at the next entry and ends as usual.
TEST(ScanStop, FromAnotherThreadWhileTheWalkRuns) {
  ScanHarness h;
  for (int f = 0; f < 50; ++f)
    for (int i = 0; i < 200; ++i) h.files.addFile("C:\\T\\d" + std::to_string(f) + "\\f" + std::to_string(i), 1);
  std::atomic<int> entries{0};
  // The hundredth entry waits for the press, so the test does not depend on
  // how the two threads are scheduled.
  h.observer.onLabel = [&](ScanLabel label, const std::string&) {
    if (label == ScanLabel::CurrentItem && entries.fetch_add(1) + 1 == 100)
      while (h.flags.stopRequest.load() == 0) std::this_thread::yield();
  };
  std::atomic<bool> finished{false};
  std::thread worker([&] {
    EXPECT_TRUE(h.scan(true, "C:\\T"));
    finished = true;
  });
  while (entries.load() < 100 && !finished) std::this_thread::yield();
  h.flags.stopRequest = 1;
  h.flags.busy = 0;
  worker.join();
  EXPECT_EQ(h.engine.examinedFiles(), 100);
  EXPECT_EQ(h.observer.messages.size(), 1u);
  EXPECT_EQ(h.flags.busy.load(), 0);
}

// The index must give what a walk over the whole table gives, row for row.
TEST(DigestIndex, GivesExactlyTheRowsOfALinearWalk) {
  std::mt19937 random(7);
  std::vector<scan::DigestRow> table;
  const char* names[] = {"a.exe", "b.dll", "c.com", "a.EXE", ""};
  const char* sizes[] = {"1", "2", "68", "-1", "007", "default", "", "4294967295", "2147483647"};
  for (int i = 0; i < 300; ++i)
    table.push_back({names[random() % 5], "n", "t", "d", sizes[random() % 9]});
  const scan::DigestIndex index(table);
  std::vector<uint32_t> got;
  for (const char* name : names) {
    for (uint64_t size : {0ull, 1ull, 2ull, 7ull, 68ull, 0xFFFFFFFFull, 0x7FFFFFFFull, 0x100000002ull}) {
      std::vector<uint32_t> linear;
      for (uint32_t i = 0; i < table.size(); ++i)
        if (table[i].fileName == name || table[i].size == scan::sizeText(size)) linear.push_back(i);
      index.matches(name, scan::sizeTextValue(size), &got);
      EXPECT_EQ(got, linear) << name << " " << size;
    }
  }
}

}  // namespace
