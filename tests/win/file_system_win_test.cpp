// The file-system and process adapters against real files and processes.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "common/text.h"
#include "platform/win32/system_folders.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_processes.h"
#include "scan/file_digest.h"
#include "scan/remedy.h"
#include "support/temp_dir.h"

namespace {

using testing_support::TempDir;
using testing_support::writeFile;

// Creates a file through the extended form, which keeps any name as it is.
void writeExact(const std::string& path, const std::string& bytes) {
  HANDLE h = CreateFileW(text::widen("\\\\?\\" + path).c_str(), GENERIC_WRITE, 0, nullptr,
                         CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE) << path;
  DWORD written = 0;
  WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(h);
}

std::string folderOf(const TempDir& dir) {
  std::string p = dir.path();
  p.pop_back();
  return p;
}

TEST(Win32FileSystem, ListingGivesNamesAttributesAndSizesOfAnyName) {
  TempDir dir;
  const std::string root = folderOf(dir);
  win32::Win32FileSystem files;
  writeExact(root + "\\바탕 화면 \xF0\x9F\x98\x80.bin", std::string(3000, 'x'));
  writeExact(root + "\\trailing dot.", "12345");
  writeExact(root + "\\trailing space ", "1");
  ASSERT_TRUE(CreateDirectoryW(text::widen(root + "\\폴더").c_str(), nullptr));
  std::map<std::string, platform::FolderEntry> seen;
  ASSERT_TRUE(files.listFolder(root, [&](const platform::FolderEntry& e) {
    seen[e.name] = e;
    return true;
  }));
  EXPECT_EQ(seen.size(), 6u) << "., .., three files and a folder";
  EXPECT_EQ(seen["바탕 화면 \xF0\x9F\x98\x80.bin"].size, 3000u);
  EXPECT_EQ(seen["trailing dot."].size, 5u);
  EXPECT_TRUE(seen["폴더"].isFolder());
  EXPECT_FALSE(seen["폴더"].isLink());
  EXPECT_TRUE(seen.count("trailing space "));

  // Every name the listing gave is reached as it is.
  for (const char* name : {"trailing dot.", "trailing space "}) {
    const std::string path = root + "\\" + name;
    EXPECT_TRUE(files.exists(path)) << name;
    EXPECT_TRUE(files.fileSize(path).has_value()) << name;
  }
  scan::FileDigest digest(files);
  digest.setSourceKind(2);
  digest.setPath(root + "\\trailing dot.");
  digest.setEnabled(1);
  EXPECT_EQ(digest.digestText(), "827ccb0eea8a706c4c34a16891f84e7b");
  EXPECT_EQ(files.fileSize(root + "\\폴더"), 0u);
  EXPECT_FALSE(files.fileSize(root + "\\none").has_value());
  EXPECT_FALSE(files.listFolder(root + "\\none", [](const platform::FolderEntry&) { return true; }));

  // deleteFolderTree removes them all, odd names included.
  writeExact(root + "\\폴더\\inner dot.", "1");
  scan::deleteFolderTree(files, root);
  EXPECT_FALSE(files.exists(root));
}

TEST(Win32FileSystem, ReadOnlyAndLockedFilesStayAndSoDoTheirFolders) {
  TempDir dir;
  const std::string root = folderOf(dir) + "\\tree";
  win32::Win32FileSystem files;
  ASSERT_TRUE(CreateDirectoryW(text::widen(root).c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryW(text::widen(root + "\\a").c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryW(text::widen(root + "\\b").c_str(), nullptr));
  writeFile(root + "\\a\\ro.txt", "r");
  writeFile(root + "\\b\\locked.txt", "l");
  writeFile(root + "\\b\\free.txt", "f");
  writeFile(root + "\\free.txt", "f");
  ASSERT_TRUE(SetFileAttributesW(text::widen(root + "\\a\\ro.txt").c_str(), FILE_ATTRIBUTE_READONLY));
  HANDLE locked = CreateFileW(text::widen(root + "\\b\\locked.txt").c_str(), GENERIC_READ,
                              FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(locked, INVALID_HANDLE_VALUE);
  scan::deleteFolderTree(files, root);
  EXPECT_TRUE(files.exists(root + "\\a\\ro.txt"));
  EXPECT_TRUE(files.exists(root + "\\b\\locked.txt"));
  EXPECT_FALSE(files.exists(root + "\\b\\free.txt"));
  EXPECT_FALSE(files.exists(root + "\\free.txt"));
  CloseHandle(locked);
  SetFileAttributesW(text::widen(root + "\\a\\ro.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(Win32Processes, SnapshotNamesThisProcessWithItsImagePath) {
  win32::Win32Processes processes;
  std::vector<platform::ProcessInfo> list;
  ASSERT_TRUE(processes.snapshot(true, &list));
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  const auto me = std::find_if(list.begin(), list.end(), [](const platform::ProcessInfo& p) {
    return p.id == GetCurrentProcessId();
  });
  ASSERT_NE(me, list.end());
  EXPECT_EQ(me->imagePath, text::narrow(self));
  EXPECT_EQ(me->exeName, std::string(text::afterLastBackslash(text::narrow(self))));
  ASSERT_TRUE(processes.snapshot(false, &list));
  EXPECT_TRUE(std::all_of(list.begin(), list.end(), [](auto& p) { return p.imagePath.empty(); }));
}

// Starts a copy of the sleeper under `path`; the caller ends it.
PROCESS_INFORMATION startCopyOfSleeper(const std::string& path) {
  const std::string sleeper = win32::programFolder() + "tv_sleeper.exe";
  EXPECT_TRUE(CopyFileW(text::widen(sleeper).c_str(), text::widen(path).c_str(), FALSE)) << sleeper;
  STARTUPINFOW si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  std::wstring commandLine = L"\"" + text::widen(path) + L"\"";
  EXPECT_TRUE(CreateProcessW(text::widen(path).c_str(), commandLine.data(), nullptr, nullptr,
                             FALSE, 0, nullptr, nullptr, &si, &pi));
  return pi;
}

TEST(Win32Processes, EndsTheProcessesOfAFileAndWaitsForThem) {
  TempDir dir;
  win32::Win32Processes processes;
  const std::string evil = dir.file("악성 프로그램.exe");
  const PROCESS_INFORMATION a = startCopyOfSleeper(evil);
  // The same name in another folder is another file: its process stays.
  TempDir elsewhere;
  const std::string sameName = elsewhere.file("악성 프로그램.exe");
  const PROCESS_INFORMATION b = startCopyOfSleeper(sameName);
  Sleep(300);
  std::string upper = text::toUpperAscii(evil);
  EXPECT_EQ(scan::terminateProcessesOfFile(processes, upper, 2000), 1);
  EXPECT_EQ(WaitForSingleObject(a.hProcess, 0), WAIT_OBJECT_0) << "ended and waited for";
  EXPECT_EQ(WaitForSingleObject(b.hProcess, 0), static_cast<DWORD>(WAIT_TIMEOUT));
  EXPECT_TRUE(DeleteFileW(text::widen(evil).c_str())) << "the file is free once its program ended";
  TerminateProcess(b.hProcess, 0);
  EXPECT_EQ(WaitForSingleObject(b.hProcess, 5000), WAIT_OBJECT_0);
  for (const auto& pi : {a, b}) {
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
}

TEST(Win32Processes, RunHiddenStartsAProgramAndWaitsAtMostTheLimit) {
  win32::Win32Processes processes;
  const std::string sleeper = win32::programFolder() + "tv_sleeper.exe";
  const DWORD before = GetTickCount();
  EXPECT_TRUE(processes.runHidden(sleeper, "", 300));
  const DWORD waited = GetTickCount() - before;
  EXPECT_GE(waited, 250u);
  EXPECT_LT(waited, 5000u);
  EXPECT_EQ(scan::terminateProcessByName(processes, "tv_sleeper.exe"), 1);
  EXPECT_FALSE(processes.runHidden(win32::programFolder() + "none.exe", "", 300));
}

}  // namespace
