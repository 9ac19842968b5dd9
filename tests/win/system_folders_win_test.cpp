#include "platform/win32/system_folders.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "common/text.h"

#include "scan/win32/item_path_win32.h"

namespace {

TEST(SystemFolders, KnownFoldersExistAndEndInBackslash) {
  for (const std::string& folder : {win32::windowsFolder(), win32::systemFolder(), win32::programFolder()}) {
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '\\') << folder;
    EXPECT_TRUE(win32::pathExists(folder)) << folder;
  }
  EXPECT_FALSE(win32::userName().empty());
  EXPECT_FALSE(win32::pathExists("C:\\no\\such\\torvane\\file"));
}

TEST(SystemFolders, ProgramGroupFoundInTheUsersStartMenu) {
  const scan::ItemPathContext context = scan::currentItemPathContext();
  ASSERT_FALSE(context.userPrograms.empty());
  const std::string folder = context.userPrograms + "\\Torvane Test Group";
  ASSERT_TRUE(CreateDirectoryW(text::widen(folder).c_str(), nullptr) ||
              GetLastError() == ERROR_ALREADY_EXISTS);
  EXPECT_EQ(scan::expandItemPath("Torvane Test Group", "프로그램그룹", context, scan::Expansion::All),
            folder);
  RemoveDirectoryW(text::widen(folder).c_str());
  EXPECT_EQ(scan::expandItemPath("Torvane Test Group", "프로그램그룹", context, scan::Expansion::All),
            "Torvane Test Group");
}

}  // namespace

namespace {

// The Wine harness runs every test as on a Korean Windows.
TEST(Harness, AnsiCodePageIs949) { EXPECT_EQ(GetACP(), 949u); }

}  // namespace
