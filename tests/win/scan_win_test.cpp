// The scan and the remedy against the real machine: files of every location
// kind on C:, a running program, the registry, a digest hit, and files that
// cannot be deleted.
#include <windows.h>

#include <gtest/gtest.h>

#include "common/text.h"
#include "common/file_io.h"
#include "common/windows_path.h"
#include "platform/win32/system_folders.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_processes.h"
#include "platform/win32/win32_registry.h"
#include "scan/database_writer.h"
#include "scan/win32/item_path_win32.h"
#include "scan/remedy.h"
#include "scan/scan_engine.h"
#include "scan/scan_texts.h"
#include "support/temp_dir.h"

namespace {

using scan::ResultRow;

const char kEicar[] = "X5O!P%@AP[4\\PZX54(P^)7CC)7}$EICAR-STANDARD-ANTIVIRUS-TEST-FILE!$H+H*";
const char kTestKey[] = "Software\\TorvaneScanTest";

// Records the programs the remedy starts, and passes everything on.
class RecordingProcesses final : public platform::Processes {
 public:
  bool snapshot(bool withImagePaths, std::vector<platform::ProcessInfo>* out) override {
    return real.snapshot(withImagePaths, out);
  }
  bool terminate(uint32_t id, uint32_t waitMs) override { return real.terminate(id, waitMs); }
  bool runHidden(const std::string& program, const std::string& parameters, uint32_t waitMs) override {
    started.push_back(program + " " + parameters);
    return real.runHidden(program, parameters, waitMs);
  }
  win32::Win32Processes real;
  std::vector<std::string> started;
};

struct Observer final : scan::ScanObserver, scan::RemedyObserver {
  void setLabel(scan::ScanLabel, const std::string&) override {}
  void showCurrentItem(bool) override {}
  void clearResults() override {}
  void insertResult(const ResultRow& row) override { rows.insert(rows.begin(), row); }
  void showMessage(const std::string& text, scan::MessageIcon) override { messages.push_back(text); }
  void startRemedy() override {}
  void removeRow(size_t) override {}
  void uncheckRow(size_t) override {}
  void showMessage(const std::string& text) override { messages.push_back(text); }
  std::vector<ResultRow> rows;
  std::vector<std::string> messages;
};

void makeFolders(const std::string& path) {
  for (size_t i = 3; i <= path.size(); ++i)
    if (i == path.size() || path[i] == '\\') CreateDirectoryW(text::widen(path.substr(0, i)).c_str(), nullptr);
}

void writeFile(const std::string& path, const std::string& bytes) {
  makeFolders(path.substr(0, path.rfind('\\')));
  testing_support::writeFile(path, bytes);
}

// Everything the test puts on the machine, and its removal on every path.
struct Fixture {
  win32::Win32FileSystem files;
  win32::Win32Registry registry;
  settings::RegistryStore store{registry};
  const std::string user = win32::userName();
  const std::string root = "C:\\tvscan fixture " + std::to_string(GetCurrentProcessId());
  const std::string desktopFolder = "C:\\Documents and Settings\\" + user + "\\바탕화면";
  const std::string desktopFile = desktopFolder + "\\tv광고 " + std::to_string(GetCurrentProcessId()) + ".exe";
  const std::string windowsDll = win32::windowsFolder() + "tvtest_악성.DLL";
  const std::string programGroup = winpath::join(win32::specialFolder(0x02), "TvTest 광고");
  HANDLE locked = INVALID_HANDLE_VALUE;
  PROCESS_INFORMATION running = {};

  ~Fixture() {
    if (running.hProcess) {
      TerminateProcess(running.hProcess, 0);
      WaitForSingleObject(running.hProcess, 5000);
      CloseHandle(running.hProcess);
      CloseHandle(running.hThread);
    }
    if (locked != INVALID_HANDLE_VALUE) CloseHandle(locked);
    SetFileAttributesW(text::widen(root + "\\readonly.com").c_str(), FILE_ATTRIBUTE_NORMAL);
    scan::deleteFolderTree(files, root);
    scan::deleteFolderTree(files, programGroup);
    DeleteFileW(text::widen(desktopFile).c_str());
    DeleteFileW(text::widen(windowsDll).c_str());
    store.deleteKey(platform::RootKey::CurrentUser, kTestKey, true);
  }

  std::string path(const std::string& name) const { return root + "\\" + name; }
};

TEST(ScanOnTheRealMachine, FindsEveryKindAndTheRemedyReportsWhatStays) {
  Fixture f;
  makeFolders(f.root);
  writeFile(f.desktopFile, "desktop");
  writeFile(f.windowsDll, "dll");
  writeFile(f.programGroup + "\\광고 제거.lnk", "lnk");
  writeFile(f.path("library.dll"), "not really a library");
  writeFile(f.path("Bad Folder\\inner\\a.txt"), "a");
  writeFile(f.path("readonly.com"), "12345");
  ASSERT_TRUE(SetFileAttributesW(text::widen(f.path("readonly.com")).c_str(), FILE_ATTRIBUTE_READONLY));
  writeFile(f.path("locked.com"), "locked");
  f.locked = CreateFileW(text::widen(f.path("locked.com")).c_str(), GENERIC_READ, FILE_SHARE_READ,
                         nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(f.locked, INVALID_HANDLE_VALUE);
  writeFile(f.path("tree\\sub\\eicar.com"), kEicar);
  writeFile(f.path("tree\\Temporary Internet Files\\eicar.com"), kEicar);
  writeFile(f.path("tree\\sub\\same size.txt"), std::string(68, 'x'));
  const auto hkcu = platform::RootKey::CurrentUser;
  ASSERT_TRUE(f.store.writeString(hkcu, kTestKey, "Run", "광고.exe"));
  ASSERT_TRUE(f.store.writeString(hkcu, std::string(kTestKey) + "\\Sub\\Deeper", "x", "1"));

  // A running copy of a small program, named like a process-table row.
  const std::string evil = f.path("evilproc.exe");
  ASSERT_TRUE(CopyFileW(text::widen(win32::programFolder() + "tv_sleeper.exe").c_str(),
                        text::widen(evil).c_str(), FALSE));
  STARTUPINFOW si = {};
  si.cb = sizeof si;
  std::wstring commandLine = L"\"" + text::widen(evil) + L"\"";
  ASSERT_TRUE(CreateProcessW(text::widen(evil).c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                             0, nullptr, nullptr, &si, &f.running));

  scan::DatabaseContent content;
  scan::Definition desktop{"바탕광고", "애드웨어", {{"C:\\Documents and Settings\\사용자이름\\바탕화면\\" +
                                                      f.desktopFile.substr(f.desktopFolder.size() + 1),
                                                  "default", "바탕화면"}}};
  scan::Definition windows{"윈도우악성", "트로이", {{"tvtest_악성.DLL", "3", "윈도우"}}};
  scan::Definition group{"광고그룹", "애드웨어", {{"TvTest 광고", "default", "프로그램그룹"}}};
  scan::Definition local{"로컬", "웜",
                         {{evil, "default", "파일"},
                          {f.path("library.dll"), "default", "파일"},
                          {f.path("Bad Folder"), "0", "폴더"},
                          {f.path("readonly.com"), "5", "파일"},
                          {f.path("locked.com"), "default", "파일"},
                          {f.path("missing.exe"), "default", "파일"}},
                         {{"HKEY_CURRENT_USER", kTestKey, "Run", "default", "레지값"},
                          {"HKEY_CURRENT_USER", std::string(kTestKey) + "\\Sub", "x", "메모", "레지키"}}};
  content.definitions = {desktop, windows, group, local};
  content.digestDefinitions = {
      {"EICAR-Test-File", "테스트 파일", {{"eicar.com", "68", "44d88612fea8a8f36de82e1278abb02f"}}}};
  const std::string dbPath = f.path("torvane.ini");
  ASSERT_TRUE(fileio::writeWholeFile(dbPath, scan::writeDatabase(content)));
  const scan::DefinitionDatabase db = scan::DefinitionDatabase::load(f.files, dbPath);

  RecordingProcesses processes;
  WorkFlags flags;
  scan::ScanEngine engine({f.files, processes, f.store}, flags);
  scan::ScanSetup setup;
  setup.pathContext = scan::currentItemPathContext();
  const auto processTable = scan::loadProcessDefinitions(db, setup.pathContext, nullptr);
  const auto digestTable = scan::loadDigestDefinitions(db, nullptr);
  setup.database = &db;
  setup.processTable = &processTable;
  setup.digestTable = &digestTable;
  setup.fullScan = true;
  setup.topFolder = f.path("tree");
  Observer observer;
  ASSERT_TRUE(engine.run(setup, observer));

  const std::string testKey = kTestKey;
  const std::vector<ResultRow> expected = {
      scan::pathRow("EICAR-Test-File", f.path("tree\\sub\\eicar.com"), "테스트 파일", "MD5"),
      scan::registryRow("로컬", "웜", "레지키", "HKEY_CURRENT_USER", testKey + "\\Sub", "x", "메모"),
      scan::registryRow("로컬", "웜", "레지값", "HKEY_CURRENT_USER", testKey, "Run", "광고.exe"),
      scan::pathRow("로컬", f.path("locked.com"), "웜", "파일"),
      scan::pathRow("로컬", f.path("readonly.com"), "웜", "파일"),
      scan::pathRow("로컬", f.path("Bad Folder"), "웜", "폴더"),
      scan::pathRow("로컬", f.path("library.dll"), "웜", "파일"),
      scan::pathRow("로컬", evil, "웜", "파일"),
      scan::pathRow("광고그룹", f.programGroup, "애드웨어", "프로그램그룹"),
      scan::pathRow("윈도우악성", f.windowsDll, "트로이", "윈도우"),
      scan::pathRow("바탕광고", f.desktopFile, "애드웨어", "바탕화면"),
      scan::pathRow("로컬", evil, "웜", "파일"),  // the process phase
  };
  EXPECT_EQ(expected[1].location, "HKEY_CURRENT_USER\\Software\\TorvaneScanTest\\Sub/x/메모");
  EXPECT_EQ(expected[2].location, "HKEY_CURRENT_USER\\Software\\TorvaneScanTest/Run/광고.exe");
  EXPECT_EQ(observer.rows, expected);
  ASSERT_EQ(observer.messages.size(), 1u);
  EXPECT_EQ(observer.messages[0].substr(0, observer.messages[0].rfind(' ')),
            scan::texts::scanFinished(expected.size(), "").substr(0, observer.messages[0].rfind(' ')));

  scan::Remedy remedy({f.files, processes, f.store, win32::systemFolder()});
  std::vector<ResultRow> rows = observer.rows;
  const scan::RemedyOutcome outcome = remedy.run(rows, db.countText(), observer);
  EXPECT_EQ(outcome.notRemoved, 2u);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].location, f.path("locked.com"));
  EXPECT_EQ(rows[1].location, f.path("readonly.com"));
  EXPECT_FALSE(rows[0].checked || rows[1].checked);
  EXPECT_EQ(observer.messages.back(), "악성코드 치료를 완료 하였습니다.\n\n치료하지 못한 항목 : 2 개");

  EXPECT_EQ(WaitForSingleObject(f.running.hProcess, 0), WAIT_OBJECT_0) << "its program was ended";
  for (const std::string& gone : {evil, f.path("library.dll"), f.path("Bad Folder"), f.desktopFile,
                                  f.windowsDll, f.programGroup, f.path("tree\\sub\\eicar.com")})
    EXPECT_FALSE(f.files.exists(gone)) << gone;
  EXPECT_TRUE(f.files.exists(f.path("tree\\Temporary Internet Files\\eicar.com")));
  EXPECT_FALSE(f.store.valueExists(hkcu, kTestKey, "Run"));
  EXPECT_FALSE(f.store.keyExists(hkcu, std::string(kTestKey) + "\\Sub"));
  // The tool of the system folder for the ".dll", nothing for the ".DLL".
  EXPECT_EQ(processes.started,
            (std::vector<std::string>{win32::systemFolder() + "regsvr32.exe /u /s \"" +
                                      f.path("library.dll") + "\""}));
}

// Registry names may hold "/" (keys and values) and "\\" (values), and any
// Korean text: the scan keeps what it found field by field, and the remedy
// deletes exactly that value or key, not a neighbour whose name is a prefix.
TEST(ScanOnTheRealMachine, RegistryNamesWithSlashesReachTheRemedyWhole) {
  Fixture f;
  makeFolders(f.root);
  const auto hkcu = platform::RootKey::CurrentUser;
  const std::string key = kTestKey;
  struct Entry {
    std::string keyPath;
    std::string valueName;
    std::string data;
  };
  const Entry found[] = {{key, "a/b", "슬래시"}, {key, "경로\\이름", "역슬래시"},
                         {key + "\\키/하위", "v", "1"}};
  const Entry neighbours[] = {{key, "a", "keep"}, {key + "\\경로", "이름", "keep"},
                              {key + "\\키", "v", "keep"}};
  for (const Entry& e : found) ASSERT_TRUE(f.store.writeString(hkcu, e.keyPath, e.valueName, e.data));
  for (const Entry& e : neighbours)
    ASSERT_TRUE(f.store.writeString(hkcu, e.keyPath, e.valueName, e.data));
  ASSERT_TRUE(f.store.writeString(hkcu, key + "\\키/하위\\더 깊이", "w", "1"));

  scan::DatabaseContent content;
  content.definitions = {{"레지", "애드웨어", {},
                          {{"HKEY_CURRENT_USER", key, "a/b", "default", "레지값"},
                           {"HKEY_CURRENT_USER", key, "경로\\이름", "역슬래시", "레지값"},
                           {"HKEY_CURRENT_USER", key + "\\키/하위", "-", "-", "레지키"}}}};
  const std::string dbPath = f.path("torvane.ini");
  ASSERT_TRUE(fileio::writeWholeFile(dbPath, scan::writeDatabase(content)));
  const scan::DefinitionDatabase db = scan::DefinitionDatabase::load(f.files, dbPath);

  RecordingProcesses processes;
  WorkFlags flags;
  scan::ScanEngine engine({f.files, processes, f.store}, flags);
  scan::ScanSetup setup;
  setup.pathContext = scan::currentItemPathContext();
  const std::vector<scan::ProcessDefinitionRow> processTable;
  const std::vector<scan::DigestRow> digestTable;
  setup.database = &db;
  setup.processTable = &processTable;
  setup.digestTable = &digestTable;
  Observer observer;
  ASSERT_TRUE(engine.run(setup, observer));
  const std::vector<ResultRow> expected = {
      scan::registryRow("레지", "애드웨어", "레지키", "HKEY_CURRENT_USER", key + "\\키/하위", "-", "-"),
      scan::registryRow("레지", "애드웨어", "레지값", "HKEY_CURRENT_USER", key, "경로\\이름", "역슬래시"),
      scan::registryRow("레지", "애드웨어", "레지값", "HKEY_CURRENT_USER", key, "a/b", "슬래시"),
  };
  ASSERT_EQ(observer.rows, expected);

  scan::Remedy remedy({f.files, processes, f.store, win32::systemFolder()});
  std::vector<ResultRow> rows = observer.rows;
  const scan::RemedyOutcome outcome = remedy.run(rows, db.countText(), observer);
  EXPECT_EQ(outcome.removed, 3u);
  EXPECT_TRUE(rows.empty());
  EXPECT_FALSE(f.store.valueExists(hkcu, key, "a/b"));
  EXPECT_FALSE(f.store.valueExists(hkcu, key, "경로\\이름"));
  EXPECT_FALSE(f.store.keyExists(hkcu, key + "\\키/하위"));
  for (const Entry& e : neighbours)
    EXPECT_EQ(f.store.readString(hkcu, e.keyPath, e.valueName, "gone"), "keep")
        << e.keyPath << " " << e.valueName;
}

}  // namespace
