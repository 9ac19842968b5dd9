#include "scan/remedy.h"

#include <gtest/gtest.h>

#include "fakes/fake_file_system.h"
#include "fakes/fake_processes.h"
#include "fakes/fake_registry.h"
#include "scan/scan_texts.h"

namespace {

using scan::ResultRow;

struct RecordingRemedyObserver : scan::RemedyObserver {
  void removeRow(size_t index) override { events.push_back("remove " + std::to_string(index)); }
  void uncheckRow(size_t index) override { events.push_back("uncheck " + std::to_string(index)); }
  void setLabel(scan::ScanLabel label, const std::string& text) override { labels[label] = text; }
  void showMessage(const std::string& text) override { messages.push_back(text); }
  std::vector<std::string> events;
  std::map<scan::ScanLabel, std::string> labels;
  std::vector<std::string> messages;
};

struct RemedyHarness {
  fakes::FakeFileSystem files;
  fakes::FakeProcesses processes;
  fakes::FakeRegistry registry;
  settings::RegistryStore store{registry};
  scan::Remedy remedy{{files, processes, store, "D:\\Win\\System32\\"}};
  RecordingRemedyObserver observer;
  std::vector<ResultRow> rows;

  scan::RemedyOutcome run() { return remedy.run(rows, "1234", observer); }
  std::vector<std::string> locations() const {
    std::vector<std::string> out;
    for (const auto& r : rows) out.push_back(r.location + (r.checked ? "" : " (unchecked)"));
    return out;
  }
};

ResultRow row(const std::string& location, const std::string& kind, bool checked = true) {
  return {"이름", location, "종류", kind, checked};
}

TEST(Remedy, LibrariesAreUnregisteredByTheToolOfTheSystemFolder) {
  RemedyHarness h;
  h.files.addFile("C:\\a\\evil.dll", 1);
  h.files.addFile("C:\\a\\EVIL.DLL2", 1);
  h.files.addFile("C:\\a\\big.DLL", 1);
  h.rows = {row("C:\\a\\evil.dll", "파일"), row("C:\\a\\big.DLL", "시스템")};
  h.run();
  ASSERT_EQ(h.processes.started().size(), 1u);
  EXPECT_EQ(h.processes.started()[0].program, "D:\\Win\\System32\\regsvr32.exe");
  EXPECT_EQ(h.processes.started()[0].parameters, "/u /s \"C:\\a\\evil.dll\"");
  EXPECT_EQ(h.processes.started()[0].waitMs, scan::kRemedyWaitMs);
  EXPECT_FALSE(h.files.exists("C:\\a\\evil.dll"));
  EXPECT_FALSE(h.files.exists("C:\\a\\big.DLL"));
  EXPECT_TRUE(h.rows.empty());
  EXPECT_EQ(h.observer.messages, (std::vector<std::string>{"악성코드 치료를 완료 하였습니다."}));
}

TEST(Remedy, EndsEveryProcessRunningFromTheFileAndNoOther) {
  RemedyHarness h;
  h.files.addFile("C:\\Bad\\evil.exe", 1);
  h.files.addFile("C:\\Bad\\CAPS.EXE", 1);
  h.processes.add(1, "evil.exe", "c:\\bad\\EVIL.exe");      // same file, other case
  h.processes.add(2, "evil.exe", "C:\\Good\\evil.exe");     // same name, other file
  h.processes.add(3, "evil.exe.bak", "C:\\Bad\\evil.exe.bak");
  h.processes.add(4, "evil.exe", "C:\\Bad\\evil.exe");
  h.processes.add(5, "CAPS.EXE", "C:\\Bad\\CAPS.EXE");
  h.rows = {row("C:\\Bad\\evil.exe", "파일"), row("C:\\Bad\\CAPS.EXE", "파일")};
  h.run();
  EXPECT_EQ(h.processes.terminated(), (std::vector<uint32_t>{1, 4}))
      << "\"EXE\" in capitals ends nothing";
  EXPECT_TRUE(h.processes.started().empty());
}

TEST(Remedy, ARowWhoseObjectStaysIsKeptUncheckedAndCounted) {
  RemedyHarness h;
  h.files.addFile("C:\\x\\readonly.exe", 1, platform::kAttributeReadOnly);
  h.files.addFile("C:\\x\\gone.com", 1);
  h.rows = {row("C:\\x\\readonly.exe", "MD5"), row("C:\\x\\gone.com", "MD5"),
            row("C:\\x\\never-there.com", "파일")};
  const scan::RemedyOutcome outcome = h.run();
  EXPECT_EQ(h.locations(), (std::vector<std::string>{"C:\\x\\readonly.exe (unchecked)"}));
  EXPECT_EQ(outcome.removed, 2u);
  EXPECT_EQ(outcome.notRemoved, 1u);
  EXPECT_EQ(h.observer.events, (std::vector<std::string>{"uncheck 0", "remove 1", "remove 1"}));
  EXPECT_EQ(h.observer.messages,
            (std::vector<std::string>{"악성코드 치료를 완료 하였습니다.\n\n치료하지 못한 항목 : 1 개"}));
  EXPECT_EQ(h.observer.labels[scan::ScanLabel::Progress], "진행정보 : 대기상태");
  EXPECT_EQ(h.observer.labels[scan::ScanLabel::Count], "검사개수 : 000 / 1234");
}

TEST(Remedy, UncheckedRowsAndOtherKindsStayInTheirOrder) {
  RemedyHarness h;
  h.files.addFile("C:\\1", 1);
  h.files.addFile("C:\\2", 1);
  h.files.addFile("C:\\3", 1);
  h.rows = {row("C:\\1", "파일", false), row("C:\\2", "파일"), row("C:\\3", "모름"), row("C:\\2", "파일")};
  h.run();
  EXPECT_EQ(h.locations(), (std::vector<std::string>{"C:\\1 (unchecked)", "C:\\3"}));
  EXPECT_TRUE(h.files.exists("C:\\1"));
  EXPECT_TRUE(h.files.exists("C:\\3"));
}

TEST(Remedy, NoRowsNoMessageNoneCheckedStillTheMessage) {
  RemedyHarness h;
  EXPECT_FALSE(h.run().ran);
  EXPECT_TRUE(h.observer.messages.empty());
  EXPECT_TRUE(h.observer.labels.empty());
  h.rows = {row("C:\\1", "파일", false)};
  EXPECT_TRUE(h.run().ran);
  EXPECT_EQ(h.observer.messages.size(), 1u);
  EXPECT_EQ(h.rows.size(), 1u);
}

TEST(Remedy, FolderTreesKeepWhatCannotBeDeletedAndNeverFollowALink) {
  RemedyHarness h;
  h.files.addFile("C:\\Keep\\precious.doc", 1);
  h.files.addFile("C:\\Bad\\a.exe", 1);
  h.files.addFile("C:\\Bad\\Sub\\ro.txt", 1, platform::kAttributeReadOnly);
  h.files.addFile("C:\\Bad\\Sub\\b.txt", 1);
  h.files.addFile("C:\\Bad\\Other\\c.txt", 1);
  h.files.addFolderLink("C:\\Bad\\ToKeep", "C:\\Keep");
  h.files.addFile("C:\\Gone\\x\\y\\z.txt", 1);
  h.rows = {row("C:\\Bad", "폴더"), row("C:\\Gone", "프로그램그룹")};
  h.run();
  EXPECT_TRUE(h.files.exists("C:\\Keep\\precious.doc"));
  EXPECT_FALSE(h.files.exists("C:\\Bad\\ToKeep"));
  EXPECT_TRUE(h.files.exists("C:\\Bad\\Sub\\ro.txt"));
  EXPECT_FALSE(h.files.exists("C:\\Bad\\Sub\\b.txt"));
  EXPECT_FALSE(h.files.exists("C:\\Bad\\Other"));
  EXPECT_FALSE(h.files.exists("C:\\Bad\\a.exe"));
  EXPECT_FALSE(h.files.exists("C:\\Gone"));
  EXPECT_EQ(h.locations(), (std::vector<std::string>{"C:\\Bad (unchecked)"}));
}

TEST(Remedy, ALinkGivenAsTheFolderIsRemovedItself) {
  fakes::FakeFileSystem files;
  files.addFile("C:\\Keep\\precious.doc", 1);
  files.addFolderLink("C:\\Link", "C:\\Keep");
  scan::deleteFolderTree(files, "C:\\Link");
  EXPECT_FALSE(files.exists("C:\\Link"));
  EXPECT_TRUE(files.exists("C:\\Keep\\precious.doc"));
}

TEST(Remedy, RegistryRows) {
  RemedyHarness h;
  const auto hkcu = platform::RootKey::CurrentUser;
  h.store.writeString(hkcu, "Software\\X\\Deep\\Deeper", "v", "1");
  h.store.writeString(hkcu, "Software\\X", "a", "1");
  h.store.writeString(hkcu, "Software\\Y", "a", "keep");
  h.store.writeString(hkcu, "Software\\Y", "a/b", "slash");
  h.rows = {row("HKEY_CURRENT_USER\\Software\\X/a/whatever", "레지키"),
            row("HKEY_CURRENT_USER\\Software\\Y/a/b/slash", "레지값"),
            row("HKEY_USERS\\Software\\Y/a/keep", "레지값")};
  h.run();
  EXPECT_FALSE(h.store.keyExists(hkcu, "Software\\X"));
  EXPECT_FALSE(h.store.valueExists(hkcu, "Software\\Y", "a")) << "the name before the \"/\"";
  EXPECT_TRUE(h.store.valueExists(hkcu, "Software\\Y", "a/b"));
  EXPECT_TRUE(h.rows.empty()) << "a row with an unknown root is removed, as before";
  EXPECT_EQ(h.registry.openHandles(), 0);
}

TEST(Remedy, ParseRegistryLocation) {
  struct Case {
    const char* location;
    const char* root;
    const char* keyPath;
    const char* valueName;
  };
  const Case cases[] = {
      {"HKEY_CURRENT_USER\\Software\\X/v/d", "HKEY_CURRENT_USER", "Software\\X", "v"},
      {"HKEY_LOCAL_MACHINE\\A\\B/v/d/e", "HKEY_LOCAL_MACHINE", "A\\B", "v"},
      {"NoBackslash/v/d", "", "NoBackslash", "v"},
      {"HKEY_CLASSES_ROOT\\K", "HKEY_CLASSES_ROOT", "K", ""},
  };
  for (const Case& c : cases) {
    const scan::RegistryLocation got = scan::parseRegistryLocation(c.location);
    EXPECT_EQ(got.root, c.root) << c.location;
    EXPECT_EQ(got.keyPath, c.keyPath) << c.location;
    EXPECT_EQ(got.valueName, c.valueName) << c.location;
  }
}

TEST(TerminateProcessByName, EndsTheFirstProcessContainingTheTextInAnyCase) {
  fakes::FakeProcesses processes;
  processes.add(1, "notepad.exe");
  processes.add(2, "Evil.exe");
  processes.add(3, "evil.exe");
  EXPECT_EQ(scan::terminateProcessByName(processes, "EVIL"), 1);
  EXPECT_EQ(processes.terminated(), (std::vector<uint32_t>{2}));
  processes.protect(3);
  EXPECT_EQ(scan::terminateProcessByName(processes, "evil.exe"), 0);
  EXPECT_EQ(scan::terminateProcessByName(processes, "none"), 0);
  processes.failSnapshot(true);
  EXPECT_EQ(scan::terminateProcessByName(processes, "notepad"), 0);
}

}  // namespace
