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

ResultRow row(const std::string& path, const std::string& kind, bool checked = true) {
  ResultRow r = scan::pathRow("이름", path, "종류", kind);
  r.checked = checked;
  return r;
}

ResultRow registryRow(const char* kind, const char* root, const std::string& keyPath,
                      const std::string& valueName, const std::string& data) {
  return scan::registryRow("이름", "종류", kind, root, keyPath, valueName, data);
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

// The remedy deletes what the scan found, field by field: names holding "/"
// or "\\" name exactly that value or key, never a neighbour sharing a prefix.
TEST(Remedy, RegistryRowsDeleteExactlyTheValueOrKeyFound) {
  RemedyHarness h;
  const auto hkcu = platform::RootKey::CurrentUser;
  h.store.writeString(hkcu, "Software\\X\\Deep\\Deeper", "v", "1");
  h.store.writeString(hkcu, "Software\\X", "a", "1");
  h.store.writeString(hkcu, "Software\\Y", "a", "keep");
  h.store.writeString(hkcu, "Software\\Y", "a/b", "slash");
  h.store.writeString(hkcu, "Software\\Y", "경로\\이름", "back");
  h.store.writeString(hkcu, "Software\\Y\\경로", "이름", "keep");
  h.store.writeString(hkcu, "Software\\Z", "a", "keep");
  h.store.writeString(hkcu, "Software\\Z/W\\Sub", "v", "1");
  h.rows = {registryRow("레지키", "HKEY_CURRENT_USER", "Software\\X", "a", "whatever"),
            registryRow("레지값", "HKEY_CURRENT_USER", "Software\\Y", "a/b", "slash"),
            registryRow("레지값", "HKEY_CURRENT_USER", "Software\\Y", "경로\\이름", "back"),
            registryRow("레지키", "HKEY_CURRENT_USER", "Software\\Z/W", "-", "-"),
            registryRow("레지값", "HKEY_USERS", "Software\\Y", "a", "keep")};
  h.run();
  EXPECT_FALSE(h.store.keyExists(hkcu, "Software\\X"));
  EXPECT_FALSE(h.store.valueExists(hkcu, "Software\\Y", "a/b"));
  EXPECT_TRUE(h.store.valueExists(hkcu, "Software\\Y", "a"));
  EXPECT_FALSE(h.store.valueExists(hkcu, "Software\\Y", "경로\\이름"));
  EXPECT_TRUE(h.store.valueExists(hkcu, "Software\\Y\\경로", "이름"));
  EXPECT_FALSE(h.store.keyExists(hkcu, "Software\\Z/W"));
  EXPECT_TRUE(h.store.valueExists(hkcu, "Software\\Z", "a"));
  EXPECT_TRUE(h.rows.empty()) << "a row with an unknown root is removed, as before";
  EXPECT_EQ(h.registry.openHandles(), 0);
}

TEST(ResultRow, TheShownLocationJoinsTheFieldsTheRowKeeps) {
  const ResultRow value = scan::registryRow("n", "t", "레지값", "HKEY_CURRENT_USER", "Software\\A/B",
                                            "c/d", "e/f");
  EXPECT_EQ(value.location, "HKEY_CURRENT_USER\\Software\\A/B/c/d/e/f");
  EXPECT_EQ(value.keyPath, "Software\\A/B");
  EXPECT_EQ(value.valueName, "c/d");
  EXPECT_EQ(value.data, "e/f");
  const ResultRow file = scan::pathRow("n", "C:\\a/b", "t", "파일");
  EXPECT_EQ(file.location, "C:\\a/b");
  EXPECT_EQ(file.filePath, "C:\\a/b");
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
