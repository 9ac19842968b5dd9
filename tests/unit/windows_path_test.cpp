#include "common/windows_path.h"

#include <gtest/gtest.h>

namespace {

TEST(WindowsPath, Join) {
  EXPECT_EQ(winpath::join("C:\\", "a.txt"), "C:\\a.txt");
  EXPECT_EQ(winpath::join("C:\\Data", "a.txt"), "C:\\Data\\a.txt");
  EXPECT_EQ(winpath::join("", "a"), "\\a");
}

TEST(WindowsPath, ExtendedLengthOnlyWhereTheRewriteIsSafe) {
  struct Case {
    const char* in;
    const char* out;
  };
  const Case cases[] = {
      {"C:\\Data\\name.", "\\\\?\\C:\\Data\\name."},
      {"c:\\", "\\\\?\\c:\\"},
      {"\\\\server\\share\\f", "\\\\?\\UNC\\server\\share\\f"},
      {"\\\\?\\C:\\x", "\\\\?\\C:\\x"},
      {"\\\\.\\pipe\\x", "\\\\.\\pipe\\x"},
      {"C:/Data/x", "C:/Data/x"},
      {"C:\\Data\\..\\x", "C:\\Data\\..\\x"},
      {"C:\\Data\\.\\x", "C:\\Data\\.\\x"},
      {"C:\\\\Data", "C:\\\\Data"},
      {"relative\\x", "relative\\x"},
      {"C:x", "C:x"},
  };
  for (const Case& c : cases) EXPECT_EQ(winpath::extendedLength(c.in), c.out) << c.in;
}

}  // namespace
