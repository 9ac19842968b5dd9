// RegistryStore against the real registry of the Wine prefix. Every test
// works below a scratch key of its own under HKEY_CURRENT_USER and removes it.
#include <windows.h>

#include <gtest/gtest.h>

#include "common/text.h"
#include "platform/win32/win32_registry.h"
#include "settings/registry_store.h"

namespace {

using platform::RootKey;

class RealRegistry : public ::testing::Test {
 protected:
  void SetUp() override {
    base = "Software\\TorvaneTest\\" + std::to_string(GetCurrentProcessId()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name();
  }
  void TearDown() override {
    store.deleteKey(RootKey::CurrentUser, base, true);
    EXPECT_FALSE(store.keyExists(RootKey::CurrentUser, base));
  }
  // What RegQueryValueExW itself says about a value.
  DWORD rawType(const std::string& path, const std::string& name, DWORD* size) {
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, text::widen(path).c_str(), 0, KEY_READ, &key) != 0) return 0;
    DWORD type = 0;
    *size = 0;
    RegQueryValueExW(key, text::widen(name).c_str(), nullptr, &type, nullptr, size);
    RegCloseKey(key);
    return type;
  }

  settings::RegistryStore store{win32::systemRegistry()};
  std::string base;
};

TEST_F(RealRegistry, CreateWriteReadDeleteValue) {
  const std::string key = base + "\\Torvane_KOR";
  EXPECT_TRUE(store.createKey(RootKey::CurrentUser, key));
  EXPECT_TRUE(store.writeString(RootKey::CurrentUser, key, "ScanLocation", "D:\\바탕 화면"));
  EXPECT_EQ(store.readString(RootKey::CurrentUser, key, "ScanLocation", "default"), "D:\\바탕 화면");
  EXPECT_TRUE(store.writeDword(RootKey::CurrentUser, key, "flags", 0x400));
  EXPECT_EQ(store.readDword(RootKey::CurrentUser, key, "flags", 7), 0x400u);
  EXPECT_TRUE(store.deleteValue(RootKey::CurrentUser, key, "ScanLocation"));
  EXPECT_EQ(store.readString(RootKey::CurrentUser, key, "ScanLocation", "default"), "default");
  EXPECT_FALSE(store.deleteValue(RootKey::CurrentUser, key, "ScanLocation"));
}

TEST_F(RealRegistry, StringsAreRegSzWithTheirNul) {
  store.writeString(RootKey::CurrentUser, base, "empty", "");
  store.writeString(RootKey::CurrentUser, base, "one", "1");
  DWORD size = 0;
  EXPECT_EQ(rawType(base, "empty", &size), static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(size, 2u);
  EXPECT_EQ(rawType(base, "one", &size), static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(size, 4u);
}

TEST_F(RealRegistry, ReadLimitsAndDwordOfAString) {
  store.writeString(RootKey::CurrentUser, base, "fits", std::string(259, 'x'));
  store.writeString(RootKey::CurrentUser, base, "long", std::string(260, 'x'));
  store.writeString(RootKey::CurrentUser, base, "abc", "abc");
  EXPECT_EQ(store.readString(RootKey::CurrentUser, base, "fits", "default").size(), 259u);
  EXPECT_EQ(store.readString(RootKey::CurrentUser, base, "long", "default"), "default");
  EXPECT_EQ(store.readDword(RootKey::CurrentUser, base, "abc", 9), 0x00636261u);
  EXPECT_EQ(store.readDword(RootKey::CurrentUser, base, "long", 9), 9u);
}

TEST_F(RealRegistry, MissingKeyGivesErrorTwo) {
  EXPECT_EQ(store.deleteSubkeys(RootKey::CurrentUser, base + "\\none"), 2);
  EXPECT_EQ(store.deleteKey(RootKey::CurrentUser, base + "\\none", true), 2);
}

TEST_F(RealRegistry, DeleteSubkeysDepthFirstOnThreeLevels) {
  for (const char* p : {"\\a\\b\\c", "\\a\\b\\d", "\\a\\e", "\\f"})
    ASSERT_TRUE(store.createKey(RootKey::CurrentUser, base + p));
  store.writeString(RootKey::CurrentUser, base + "\\a\\b\\c", "v", "1");
  EXPECT_EQ(store.deleteSubkeys(RootKey::CurrentUser, base), 0);
  EXPECT_TRUE(store.keyExists(RootKey::CurrentUser, base));
  EXPECT_FALSE(store.keyExists(RootKey::CurrentUser, base + "\\a"));
  EXPECT_FALSE(store.keyExists(RootKey::CurrentUser, base + "\\f"));
  EXPECT_EQ(store.deleteSubkeys(RootKey::CurrentUser, base), 0) << "no subkeys: 0";
}

TEST_F(RealRegistry, DeleteKeyKeepsOrRemovesTheKey) {
  store.createKey(RootKey::CurrentUser, base + "\\k\\child");
  EXPECT_EQ(store.deleteKey(RootKey::CurrentUser, base + "\\k", false), 0);
  EXPECT_TRUE(store.keyExists(RootKey::CurrentUser, base + "\\k"));
  EXPECT_FALSE(store.keyExists(RootKey::CurrentUser, base + "\\k\\child"));
  EXPECT_EQ(store.deleteKey(RootKey::CurrentUser, base + "\\k", true), 0);
  EXPECT_FALSE(store.keyExists(RootKey::CurrentUser, base + "\\k"));
}

TEST_F(RealRegistry, ChildPathLongerThan260Characters) {
  std::string path = base;
  for (int i = 0; path.size() <= 400; ++i) path += "\\level_" + std::string(40, static_cast<char>('a' + i));
  ASSERT_TRUE(store.createKey(RootKey::CurrentUser, path));
  EXPECT_EQ(store.deleteSubkeys(RootKey::CurrentUser, base), 0);
  EXPECT_FALSE(store.keyExists(RootKey::CurrentUser, path));
}

TEST_F(RealRegistry, KoreanKeyAndValueNames) {
  const std::string key = base + "\\신뢰";
  EXPECT_TRUE(store.writeString(RootKey::CurrentUser, key, "바탕화면.exe", "1"));
  EXPECT_EQ(store.readString(RootKey::CurrentUser, key, "바탕화면.exe", "default"), "1");
  EXPECT_TRUE(store.valueExists(RootKey::CurrentUser, key, "바탕화면.exe"));
}

}  // namespace
