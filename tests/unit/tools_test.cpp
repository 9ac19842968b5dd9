// The system tools' engines against the in-memory ports.
#include <gtest/gtest.h>

#include <map>

#include "common/file_io.h"
#include "common/text.h"
#include "fakes/fake_file_system.h"
#include "fakes/fake_processes.h"
#include "fakes/fake_registry.h"
#include "settings/key_layout.h"
#include "support/temp_dir.h"
#include "tools/addon_list.h"
#include "tools/filter_list.h"
#include "tools/junk_rules.h"
#include "tools/junk_search.h"
#include "tools/killbits.h"
#include "tools/process_list.h"
#include "tools/startup_list.h"

namespace {

using platform::RootKey;

tools::JunkSwitches allSearched() {
  tools::JunkSwitches s;
  s.fill(true);
  return s;
}

// ---- Junk rules ----------------------------------------------------------

TEST(JunkRules, FilesAreJudgedByFolderExtensionExceptionAndSwitch) {
  struct Case {
    const char* path;
    bool tmpSwitch;
    bool listed;
  };
  const Case cases[] = {
      {"C:\\WINDOWS\\Temp\\setup.ini", true, true},       // special folder, extension not in the table
      {"C:\\WINDOWS\\Temp\\desktop.ini", true, false},
      {"C:\\WINDOWS\\Temp\\index.dat", true, false},
      {"C:\\WINDOWS\\Temp\\sub\\setup.ini", true, false}, // its folder is named sub
      {"C:\\WINDOWS\\temp\\setup.ini", true, false},      // folder names match with their case
      {"C:\\A\\report.tmp", true, true},
      {"C:\\A\\report.tmp", false, false},                // switch "0"
      {"C:\\Temp\\report.tmp", false, false},             // the switch holds in special folders too
      {"C:\\A\\Hpqgends.tmp", true, false},
      {"C:\\A\\hpqgends.tmp", true, false},
      {"C:\\A\\HPQGENDS.TMP", true, true},                // exceptions compare with their case
      {"C:\\A\\archive", true, false},                    // no dot: the whole path is no extension
      {"C:\\A\\x.Log", true, true},
      {"C:\\A\\ntuser.dat.LOG", true, false},
      {"C:\\A\\ntuser.dat.log", true, true},
      {"C:\\A\\Data.bak", true, false},
      {"C:\\A\\data.bak", true, true},
      {"C:\\A\\a.$$$", true, true},
      {"C:\\Recent\\link.lnk", true, true},
      {"C:\\Cookies\\c.txt", true, true},
      {"C:\\x\\Temporary Internet Files\\page.htm", true, true},
      {"C:\\A.OLD\\readme", true, false},                 // "OLD\\README" after the last dot: no extension
  };
  for (const Case& c : cases) {
    tools::JunkSwitches switches = allSearched();
    switches[static_cast<size_t>(tools::junkExtensionIndex("TMP"))] = c.tmpSwitch;
    const std::string path = c.path;
    const std::string name{text::afterLastBackslash(path)};
    EXPECT_EQ(tools::isJunkFile(path, name, switches), c.listed) << path << " tmp=" << c.tmpSwitch;
  }
}

TEST(JunkRules, CacheFoldersAreThoseInsideTheTemporaryInternetFiles) {
  struct Case {
    const char* path;
    bool cache;
  };
  const Case cases[] = {
      {"C:\\U\\Temporary Internet Files\\Content.IE5\\AB12CD34", true},
      {"C:\\U\\Temporary Internet Files\\Content.IE5", false},
      {"C:\\U\\Temporary Internet Files", false},
      {"C:\\U\\temporary internet files\\Content.IE5\\AB12CD34", false},
      {"C:\\U\\Other\\AB12CD34", false},
  };
  for (const Case& c : cases) {
    const std::string path = c.path;
    EXPECT_EQ(tools::isCacheFolder(path, text::afterLastBackslash(path)), c.cache) << path;
  }
}

TEST(JunkRules, SwitchTextsAndTheirTable) {
  EXPECT_TRUE(tools::switchSearched("1"));
  EXPECT_TRUE(tools::switchSearched("default"));
  EXPECT_FALSE(tools::switchSearched("0"));
  EXPECT_FALSE(tools::switchSearched("2"));
  EXPECT_FALSE(tools::switchSearched(""));
  fakes::FakeRegistry registry;
  settings::RegistryStore store(registry);
  store.writeString(keys::kRoot, keys::kFileType, "TMP", "0");
  store.writeString(keys::kRoot, keys::kFileType, "LOG", "1");
  store.writeString(keys::kRoot, keys::kFileType, "BAK", "yes");
  const tools::JunkSwitches s = tools::readJunkSwitches(store);
  EXPECT_FALSE(s[static_cast<size_t>(tools::junkExtensionIndex("TMP"))]);
  EXPECT_TRUE(s[static_cast<size_t>(tools::junkExtensionIndex("LOG"))]);
  EXPECT_FALSE(s[static_cast<size_t>(tools::junkExtensionIndex("BAK"))]);
  EXPECT_TRUE(s[static_cast<size_t>(tools::junkExtensionIndex("WBK"))]);  // unset
}

// ---- Filter list -----------------------------------------------------------

TEST(FilterList, LinesOfEitherEndingAreMembersAndAFailureIsWrittenOnce) {
  testing_support::TempDir dir;
  testing_support::writeFile(dir.file("filter.txt"), "C:\\a\\x.tmp\r\nC:\\b\\y.log\n");
  const tools::FilterFile file(dir.path());
  tools::FilterList list;
  ASSERT_TRUE(file.load(list));
  EXPECT_TRUE(list.contains("C:\\a\\x.tmp"));
  EXPECT_TRUE(list.contains("C:\\b\\y.log"));
  EXPECT_FALSE(list.contains("C:\\A\\X.TMP"));  // exact text
  ASSERT_TRUE(file.append({"C:\\c\\z.bak", "C:\\a\\x.tmp"}, list));
  ASSERT_TRUE(file.append({"C:\\c\\z.bak"}, list));
  std::string text;
  ASSERT_TRUE(fileio::readWholeFile(dir.file("filter.txt"), &text));
  EXPECT_EQ(text, "C:\\a\\x.tmp\r\nC:\\b\\y.log\nC:\\c\\z.bak\n");
}

TEST(FilterList, AMissingFileIsCreatedEmpty) {
  testing_support::TempDir dir;
  const tools::FilterFile file(dir.path());
  tools::FilterList list;
  ASSERT_TRUE(file.load(list));
  std::string text = "x";
  EXPECT_TRUE(fileio::readWholeFile(dir.file("filter.txt"), &text));
  EXPECT_EQ(text, "");
  EXPECT_EQ(list.size(), 0u);
}

// ---- Junk search and delete ------------------------------------------------

struct RecordingJunkObserver : tools::JunkObserver, tools::JunkDeleteObserver {
  void insertRow(const tools::JunkRow& row) override { rows.insert(rows.begin(), row); }
  void setLabel(tools::JunkLabel label, const std::string& text) override { labels[label] = text; }
  void removeRow(size_t index) override { removed.push_back(index); }
  std::vector<tools::JunkRow> rows;
  std::map<tools::JunkLabel, std::string> labels;
  std::vector<size_t> removed;
};

std::vector<std::string> locations(const std::vector<tools::JunkRow>& rows) {
  std::vector<std::string> out;
  for (const auto& r : rows) out.push_back(r.kind + " " + r.location);
  return out;
}

TEST(JunkSearch, WalksTheDriveFoldersSkippingRootFilesLinksFilteredAndRegistryHives) {
  fakes::FakeFileSystem files;
  files.addFile("C:\\root.tmp", 1);
  files.addFile("C:\\A\\report.tmp", 1);
  files.addFile("C:\\A\\keep.txt", 1);
  files.addFile("C:\\A\\filtered.log", 1);
  files.addFolder("C:\\U\\Temporary Internet Files\\Content.IE5\\AB12CD34");
  files.addFile("C:\\U\\Temporary Internet Files\\Content.IE5\\AB12CD34\\p.htm", 1);
  files.addFile("C:\\Windows\\System32\\config\\SYSTEM.LOG", 1);
  files.addFile("C:\\Windows\\System32\\config\\TxR\\t.blf.LOG", 1);
  files.addFile("C:\\Windows\\System32\\other.log", 1);
  files.addFolderLink("C:\\Link", "C:\\A");
  WorkFlags flags;
  flags.busy = 1;
  tools::FilterList filter;
  filter.add("C:\\A\\filtered.log");
  tools::JunkSearchSetup setup;
  setup.systemFolder = "C:\\Windows\\System32\\";
  setup.switches = allSearched();
  setup.filter = &filter;
  setup.rowsBefore = 2;
  RecordingJunkObserver observer;
  tools::JunkSearch search(files, flags);
  EXPECT_EQ(search.run(setup, observer), 5u);
  EXPECT_EQ(locations(observer.rows),
            (std::vector<std::string>{"파일 C:\\Windows\\System32\\other.log",
                                      "폴더 C:\\U\\Temporary Internet Files\\Content.IE5\\AB12CD34",
                                      "파일 C:\\A\\report.tmp"}));
  EXPECT_EQ(observer.labels[tools::JunkLabel::Count], "검사개수 : 5");
  EXPECT_EQ(observer.labels[tools::JunkLabel::CurrentPath], "대기상태");
  EXPECT_EQ(flags.busy.load(), 0);
}

TEST(JunkSearch, StopEndsTheWalk) {
  fakes::FakeFileSystem files;
  files.addFile("C:\\A\\a.tmp", 1);
  WorkFlags flags;
  flags.stopRequest = 1;
  RecordingJunkObserver observer;
  tools::JunkSearchSetup setup;
  setup.switches = allSearched();
  EXPECT_EQ(tools::JunkSearch(files, flags).run(setup, observer), 0u);
  EXPECT_TRUE(observer.rows.empty());
}

TEST(JunkSearch, ClosingMessages) {
  EXPECT_EQ(tools::searchDoneMessage(0),
            "윈도우 최적화를 완료하였습니다. \n\n검색결과 : 최적화 할 항목이 발견되지 않았습니다.");
  EXPECT_EQ(tools::searchDoneMessage(3),
            "윈도우 최적화를 완료하였습니다. \n\n검색결과 : 3 개의 최적화 항목이 발견 되었습니다.");
}

TEST(JunkSearch, UsageTraceRowsFollowTheKeyOrder) {
  fakes::FakeRegistry registry;
  settings::RegistryStore store(registry);
  store.writeString(RootKey::CurrentUser, "Software\\Microsoft\\Internet Explorer\\TypedURLs", "url1",
                    "http://a.example/");
  store.writeString(RootKey::CurrentUser, "Software\\Microsoft\\MediaPlayer\\Player\\RecentFileList",
                    "File0", "C:\\m.mp3");
  const auto rows = tools::usageTraceRows(registry);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].location, "HKEY_CURRENT_USER\\Software\\Microsoft\\MediaPlayer\\Player\\RecentFileList");
  EXPECT_EQ(rows[0].name, "File0");
  EXPECT_EQ(rows[0].other, "C:\\m.mp3");
  EXPECT_EQ(rows[0].kind, "레지");
  EXPECT_EQ(rows[1].name, "url1");
}

TEST(JunkDelete, EachKindIsDeletedItsWayAndAFileThatStaysIsReported) {
  fakes::FakeFileSystem files;
  fakes::FakeRegistry registry;
  settings::RegistryStore store(registry);
  files.addFile("C:\\A\\a.tmp", 1);
  files.addFile("C:\\A\\locked.tmp", 1, platform::kAttributeReadOnly);
  files.addFile("C:\\A\\unchecked.tmp", 1);
  files.addFile("C:\\C\\AB12\\p.htm", 1);
  store.writeString(RootKey::CurrentUser, "Software\\T", "v", "x");
  store.writeString(RootKey::ClassesRoot, "T", "v", "x");
  std::vector<tools::JunkRow> rows = {
      {"C:\\A\\a.tmp", "a.tmp", "", "파일"},
      {"C:\\A\\locked.tmp", "locked.tmp", "", "파일"},
      {"C:\\A\\gone.tmp", "gone.tmp", "", "파일"},
      {"C:\\A\\unchecked.tmp", "unchecked.tmp", "", "파일", false},
      {"C:\\C\\AB12", "AB12", "", "폴더"},
      {"HKEY_CURRENT_USER\\Software\\T", "v", "x", "레지"},
      {"HKEY_CLASSES_ROOT\\T", "v", "x", "레지"},
      {"C:\\A\\other", "other", "", "기타"},
  };
  RecordingJunkObserver observer;
  std::vector<std::string> failed;
  tools::deleteCheckedRows(rows, {files, store}, observer, &failed);
  EXPECT_EQ(locations(rows), (std::vector<std::string>{"파일 C:\\A\\unchecked.tmp", "기타 C:\\A\\other"}));
  EXPECT_EQ(observer.removed, (std::vector<size_t>{0, 0, 0, 1, 1, 1}));
  EXPECT_EQ(failed, (std::vector<std::string>{"C:\\A\\locked.tmp"}));
  EXPECT_FALSE(files.exists("C:\\A\\a.tmp"));
  EXPECT_FALSE(files.exists("C:\\C\\AB12"));
  EXPECT_TRUE(files.exists("C:\\A\\unchecked.tmp"));
  EXPECT_FALSE(store.valueExists(RootKey::CurrentUser, "Software\\T", "v"));
  EXPECT_TRUE(store.valueExists(RootKey::ClassesRoot, "T", "v"));  // other roots are left alone
}

// ---- Kill bits --------------------------------------------------------------

TEST(Killbits, TheListAndItsValues) {
  const auto entries = tools::parseKillbitList(
      "[TotalCount]\nCount=4\n[Torvane1]\nCLSID=Alpha#{A1}\n[Torvane2]\nCLSID=NoHash\n"
      "[Torvane4]\nCLSID=Beta#{B2}#ignored\n");
  ASSERT_EQ(entries.size(), 4u);
  EXPECT_EQ(entries[0].name, "Alpha");
  EXPECT_EQ(entries[0].classId, "{A1}");
  EXPECT_EQ(entries[1].name, "NoHash");
  EXPECT_EQ(entries[1].classId, "");
  EXPECT_EQ(entries[2].name, "");  // section missing
  EXPECT_EQ(entries[3].classId, "{B2}");
  EXPECT_TRUE(tools::parseKillbitList("").empty());
}

TEST(Killbits, StatesReadFromBothViewsAndWritesGoToBoth) {
  struct Case {
    std::optional<uint32_t> view64, view32;
    tools::KillbitState state;
  };
  using S = tools::KillbitState;
  const Case cases[] = {
      {1024, 1024, S::Blocked},   {0, 0, S::Released},       {std::nullopt, std::nullopt, S::Released},
      {0, std::nullopt, S::Released}, {1024, 0, S::Neither}, {std::nullopt, 1024, S::Neither},
      {1025, 1025, S::Neither},   {1024, 1025, S::Neither},
  };
  const std::string key = std::string(tools::kActiveXCompatibility) + "{C}";
  for (const Case& c : cases) {
    fakes::FakeRegistry r64, r32;
    settings::RegistryStore s64(r64), s32(r32);
    if (c.view64) s64.writeDword(keys::kRoot, key, tools::kCompatibilityFlags, *c.view64);
    if (c.view32) s32.writeDword(keys::kRoot, key, tools::kCompatibilityFlags, *c.view32);
    tools::KillBits bits({&s64, &s32});
    EXPECT_EQ(bits.read("{C}"), c.state) << (c.view64 ? *c.view64 : 9999) << "/" << (c.view32 ? *c.view32 : 9999);
    bits.write("{C}", true);
    EXPECT_EQ(s64.readDword(keys::kRoot, key, tools::kCompatibilityFlags, 7), 1024u);
    EXPECT_EQ(s32.readDword(keys::kRoot, key, tools::kCompatibilityFlags, 7), 1024u);
    EXPECT_EQ(bits.read("{C}"), S::Blocked);
    bits.write("{C}", false);
    EXPECT_EQ(bits.read("{C}"), S::Released);
    EXPECT_EQ(r64.openHandles() + r32.openHandles(), 0);
  }
}

TEST(Killbits, AnEntryWithoutAClassWritesNothing) {
  fakes::FakeRegistry r64;
  settings::RegistryStore s64(r64);
  tools::KillBits bits({&s64});
  bits.write("", true);
  EXPECT_EQ(bits.read(""), tools::KillbitState::Neither);
  EXPECT_FALSE(s64.valueExists(keys::kRoot, "SOFTWARE\\Microsoft\\Internet Explorer\\ActiveX Compatibility",
                               tools::kCompatibilityFlags));
  EXPECT_EQ(tools::killbitStatusLine(5, 2), "현재 5개 중 2개가 차단 상태입니다.");
}

// ---- Processes --------------------------------------------------------------

TEST(ProcessList, RowsKeepIdsAndEndingARowEndsExactlyItsProcess) {
  fakes::FakeProcesses processes;
  processes.add(0, "[System Process]");
  processes.add(4, "System");
  processes.add(100, "keynote.exe", "C:\\k\\keynote.exe");
  processes.add(200, "note.exe", "C:\\n\\note.exe");
  processes.add(300, "note.exe", "C:\\n\\note.exe");
  std::vector<tools::ProcessRow> rows;
  ASSERT_TRUE(tools::runningProcesses(processes, &rows));
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[0].exeName, "System");
  EXPECT_EQ(rows[3].id, 300u);
  EXPECT_TRUE(tools::endProcess(processes, rows[3]));
  EXPECT_EQ(processes.terminated(), (std::vector<uint32_t>{300}));
  EXPECT_FALSE(tools::endProcess(processes, rows[3]));  // already gone
  // An id now used by another program is left alone.
  EXPECT_FALSE(tools::endProcess(processes, {200, "other.exe", ""}));
  EXPECT_FALSE(tools::endProcess(processes, {200, "note.exe", "C:\\elsewhere\\note.exe"}));
  EXPECT_EQ(processes.terminated(), (std::vector<uint32_t>{300}));
  processes.failSnapshot(true);
  EXPECT_FALSE(tools::runningProcesses(processes, &rows));
}

// ---- Start-up ---------------------------------------------------------------

TEST(StartupList, RowsOfTheThreeKeysAreDeletedFromTheirOwnKey) {
  fakes::FakeRegistry registry;
  settings::RegistryStore store(registry);
  const char* hklm = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
  const char* wow = "SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Run";
  store.writeString(RootKey::LocalMachine, hklm, "Same", "C:\\m.exe");
  store.writeString(RootKey::CurrentUser, hklm, "Same", "C:\\u.exe");
  store.writeString(RootKey::LocalMachine, wow, "Old", "C:\\o.exe");
  const auto rows = tools::startupRows(registry);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].keyText, "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run");
  EXPECT_EQ(rows[1].keyText, "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run");
  EXPECT_EQ(rows[1].data, "C:\\u.exe");
  EXPECT_EQ(rows[2].keyText, std::string("HKEY_LOCAL_MACHINE\\") + wow);
  EXPECT_TRUE(tools::deleteStartupRow(store, rows[1]));
  EXPECT_TRUE(store.valueExists(RootKey::LocalMachine, hklm, "Same"));
  EXPECT_FALSE(store.valueExists(RootKey::CurrentUser, hklm, "Same"));
  EXPECT_TRUE(tools::deleteStartupRow(store, rows[2]));
  EXPECT_FALSE(store.valueExists(RootKey::LocalMachine, wow, "Old"));
  EXPECT_FALSE(tools::deleteStartupRow(store, {"HKEY_CLASSES_ROOT\\X", "v", ""}));
  EXPECT_EQ(registry.openHandles(), 0);
}

// ---- Add-ons ----------------------------------------------------------------

TEST(AddonList, ClassesAndExtensionsOfBothViewsLessTheSwitchedOff) {
  fakes::FakeRegistry native, wow32;
  settings::RegistryStore n(native), w(wow32);
  const std::string stats = tools::kExtStats;
  for (const char* id : {"{C1}", "{C2}", "{C3}", "{C4}", "{C5}"}) n.createKey(RootKey::CurrentUser, stats + "\\" + id);
  n.createKey(RootKey::ClassesRoot, "CLSID\\{C1}\\ProgID");
  n.writeString(RootKey::ClassesRoot, "CLSID\\{C1}", "", "Native helper");
  w.createKey(RootKey::ClassesRoot, "CLSID\\{C2}\\ProgID");
  w.writeString(RootKey::ClassesRoot, "CLSID\\{C2}", "", "32-bit helper");
  n.createKey(RootKey::ClassesRoot, "CLSID\\{C3}\\ProgID");  // no name: not listed
  n.writeString(RootKey::ClassesRoot, "CLSID\\{C4}", "", "No ProgID");
  n.createKey(RootKey::ClassesRoot, "CLSID\\{C5}\\ProgID");
  n.writeString(RootKey::ClassesRoot, "CLSID\\{C5}", "", "Switched off");
  tools::switchOffAddon(n, "{C5}");
  const std::string ext = tools::kIeExtensions;
  n.writeString(RootKey::LocalMachine, ext + "\\{E1}", "ButtonText", "Native button");
  n.writeString(RootKey::LocalMachine, ext + "\\{C1}", "ButtonText", "Also a button");
  w.writeString(RootKey::LocalMachine, ext + "\\{E2}", "ButtonText", "32-bit button");
  w.writeString(RootKey::LocalMachine, ext + "\\{E1}", "ButtonText", "Same extension again");
  w.writeString(RootKey::LocalMachine, ext + "\\{E3}", "MenuText", "Menu only");
  auto names = [](const std::vector<tools::AddonRow>& rows) {
    std::vector<std::string> out;
    for (const auto& r : rows) out.push_back(r.name + " " + r.classId);
    return out;
  };
  EXPECT_EQ(names(tools::collectAddons({&native, &wow32})),
            (std::vector<std::string>{"Native helper {C1}", "32-bit helper {C2}", "Also a button {C1}",
                                      "Native button {E1}", "32-bit button {E2}"}));
  EXPECT_EQ(n.readDword(RootKey::CurrentUser, std::string(tools::kExtSettings) + "\\{C5}", "Flags", 0), 1u);
  EXPECT_EQ(n.readString(RootKey::CurrentUser, std::string(tools::kExtSettings) + "\\{C5}", "Version", ""), "*");
  tools::switchOffAddon(n, "{E2}");
  EXPECT_EQ(tools::collectAddons({&native, &wow32}).size(), 4u);
  tools::recoverAddons(n);
  EXPECT_TRUE(n.keyExists(RootKey::CurrentUser, tools::kExtSettings));
  EXPECT_EQ(names(tools::collectAddons({&native, &wow32})).size(), 6u);
  EXPECT_EQ(native.openHandles() + wow32.openHandles(), 0);
}

}  // namespace
