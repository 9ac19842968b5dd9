// The digest and the database reader on real files with any Unicode name.
#include <windows.h>

#include <gtest/gtest.h>

#include "common/text.h"

#include "platform/win32/win32_file_system.h"
#include "scan/definition_database.h"
#include "scan/file_digest.h"
#include "support/temp_dir.h"

namespace {

TEST(RealFiles, DigestOfAFileWithAKoreanAndEmojiName) {
  testing_support::TempDir dir;
  const std::string path = dir.file("바탕 화면 \xF0\x9F\x98\x80.bin");
  testing_support::writeFile(path, "abc");
  win32::Win32FileSystem files;
  scan::FileDigest d(files);
  d.setSourceKind(2);
  d.setPath(path);
  d.setFormat(3);
  d.setEnabled(1);
  EXPECT_EQ(d.digestText(), "900150983CD24FB0D6963F7D28E17F72");
}

TEST(RealFiles, FileOpenedWithoutSharingCannotBeDigested) {
  testing_support::TempDir dir;
  const std::string path = dir.file("locked.bin");
  testing_support::writeFile(path, "abc");
  HANDLE h = CreateFileW(text::widen(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  win32::Win32FileSystem files;
  scan::FileDigest d(files);
  d.setSourceKind(2);
  d.setPath(path);
  d.setFormat(1);
  d.setEnabled(1);
  EXPECT_EQ(d.digestText(), "");
  CloseHandle(h);
  EXPECT_EQ(d.digestText(), "900150983cd24fb0d6963f7d28e17f72");
}

TEST(RealFiles, DatabaseRecordsDecodeThroughCodePage949) {
  testing_support::TempDir dir;
  const std::string path = dir.file("torvane.ini");
  // Name = Base64 of "바탕화면" in CP949.
  testing_support::writeFile(path, "[TotalCount]\r\nCount=1\r\n[Torvane1]\r\nName=udnFwcituOk=\r\n");
  win32::Win32FileSystem files;
  const scan::DefinitionDatabase db = scan::DefinitionDatabase::load(files, path);
  EXPECT_EQ(db.definition(1).name, "바탕화면");
}

}  // namespace
