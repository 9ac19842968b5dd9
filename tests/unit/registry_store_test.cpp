#include "settings/registry_store.h"

#include <gtest/gtest.h>

#include "fakes/fake_registry.h"
#include "settings/key_layout.h"

namespace {

using platform::RootKey;
using settings::RegistryStore;

constexpr RootKey kHklm = RootKey::LocalMachine;
constexpr const char* kKey = "SOFTWARE\\Torvane_KOR";

class RegistryStoreTest : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(registry.openHandles(), 0) << "a key was left open"; }

  fakes::FakeRegistry registry;
  RegistryStore store{registry};
};

TEST_F(RegistryStoreTest, AbsentValueReadsAsDefault) {
  std::string out;
  EXPECT_FALSE(store.readString(kHklm, kKey, "AutoUpdate", keys::kDefault, &out));
  EXPECT_EQ(out, "default");
  EXPECT_TRUE(store.keyExists(kHklm, kKey)) << "a read opens or creates the key";
}

TEST_F(RegistryStoreTest, StringRoundTripIncludingKorean) {
  for (const char* text : {"1", "0", "", "C:\\", "바탕 화면\\사용자이름"}) {
    ASSERT_TRUE(store.writeString(kHklm, kKey, "ScanLocation", text));
    EXPECT_EQ(store.readString(kHklm, kKey, "ScanLocation", keys::kDefault), text);
  }
}

TEST_F(RegistryStoreTest, EmptyTextStoresOneNul) {
  ASSERT_TRUE(store.writeString(kHklm, kKey, "v", ""));
  platform::ScopedKey key(registry);
  ASSERT_EQ(key.open(kHklm, kKey, platform::RegistryAccess::Read), 0);
  uint32_t type = 0;
  std::string data;
  ASSERT_EQ(registry.queryValue(key.get(), "v", 100, &type, &data), 0);
  EXPECT_EQ(type, platform::kRegSz);
  EXPECT_EQ(data, std::string(2, '\0'));  // one UTF-16 NUL
}

TEST_F(RegistryStoreTest, ValueLongerThan259CharactersReadsAsDefault) {
  store.writeString(kHklm, kKey, "fits", std::string(259, 'x'));
  store.writeString(kHklm, kKey, "long", std::string(260, 'x'));
  EXPECT_EQ(store.readString(kHklm, kKey, "fits", "default"), std::string(259, 'x'));
  EXPECT_EQ(store.readString(kHklm, kKey, "long", "default"), "default");
}

TEST_F(RegistryStoreTest, ReadDwordTable) {
  store.writeDword(kHklm, kKey, "dword", 0x12345678);
  store.writeString(kHklm, kKey, "three", "abc");
  store.writeString(kHklm, kKey, "four", "abcd");
  store.writeString(kHklm, kKey, "one", "1");
  struct Case {
    const char* name;
    uint32_t expected;
  } cases[] = {
      {"dword", 0x12345678},
      {"three", 0x00636261},  // the bytes of "abc" and its NUL
      {"one", 0x31},
      {"four", 77},           // too long for four bytes: the default
      {"absent", 77},
  };
  for (const auto& c : cases) EXPECT_EQ(store.readDword(kHklm, kKey, c.name, 77), c.expected) << c.name;
}

TEST_F(RegistryStoreTest, WithoutRightsEveryValueReadsDefaultAndDwordReadsZero) {
  registry.denyCreate(true);
  EXPECT_EQ(store.readString(kHklm, kKey, "RealTime", "default"), "default");
  EXPECT_EQ(store.readDword(kHklm, kKey, "x", 5), 0u);
  EXPECT_FALSE(store.writeString(kHklm, kKey, "RealTime", "1"));
}

TEST_F(RegistryStoreTest, DeleteValueNeedsAnExistingKey) {
  EXPECT_FALSE(store.deleteValue(kHklm, "SOFTWARE\\Missing", "x"));
  EXPECT_FALSE(store.keyExists(kHklm, "SOFTWARE\\Missing")) << "deleteValue must not create";
  store.writeString(kHklm, kKey, "x", "1");
  EXPECT_TRUE(store.deleteValue(kHklm, kKey, "x"));
  EXPECT_FALSE(store.valueExists(kHklm, kKey, "x"));
}

TEST_F(RegistryStoreTest, DeleteSubkeysDepthFirstKeepsTheKey) {
  for (const char* p : {"T\\a\\b\\c", "T\\a\\d", "T\\e"}) store.createKey(kHklm, p);
  store.writeString(kHklm, "T", "keep", "1");
  EXPECT_EQ(store.deleteSubkeys(kHklm, "T"), 0);
  EXPECT_TRUE(store.keyExists(kHklm, "T"));
  EXPECT_FALSE(store.keyExists(kHklm, "T\\a"));
  EXPECT_FALSE(store.keyExists(kHklm, "T\\e"));
  EXPECT_EQ(store.readString(kHklm, "T", "keep", "default"), "1");
}

TEST_F(RegistryStoreTest, DeleteSubkeysOfMissingKeyReturnsOpenError) {
  EXPECT_EQ(store.deleteSubkeys(kHklm, "Nope"), platform::kErrorFileNotFound);
  EXPECT_EQ(store.deleteKey(kHklm, "Nope", true), platform::kErrorFileNotFound);
  EXPECT_EQ(store.deleteSubkeys(kHklm, kKey), platform::kErrorFileNotFound);
}

TEST_F(RegistryStoreTest, DeleteKeyWithAndWithoutTheKeyItself) {
  store.createKey(kHklm, "T\\a\\b");
  EXPECT_EQ(store.deleteKey(kHklm, "T", false), 0);
  EXPECT_TRUE(store.keyExists(kHklm, "T"));
  EXPECT_FALSE(store.keyExists(kHklm, "T\\a"));
  store.createKey(kHklm, "T\\a\\b");
  EXPECT_EQ(store.deleteKey(kHklm, "T", true), 0);
  EXPECT_FALSE(store.keyExists(kHklm, "T"));
}

TEST_F(RegistryStoreTest, LongChildPathsDoNotOverrun) {
  std::string path = "T";
  for (int i = 0; i < 30; ++i) path += "\\" + std::string(20, static_cast<char>('a' + i % 26));
  ASSERT_GT(path.size(), 600u);
  store.createKey(kHklm, path);
  EXPECT_EQ(store.deleteKey(kHklm, "T", true), 0);
  EXPECT_FALSE(store.keyExists(kHklm, "T"));
}

TEST(RegistryConventions, HandleTextIsSignedDecimal) {
  EXPECT_EQ(settings::handleText(0x1234), "4660");
  EXPECT_EQ(settings::handleText(static_cast<intptr_t>(0xFFFFFFFFu)), "-1");
  EXPECT_EQ(settings::parseHandleText("-1"), -1);
  EXPECT_EQ(settings::parseHandleText("default"), 0);
}

TEST(RegistryConventions, RootNamesAreExact) {
  EXPECT_EQ(settings::parseRootName("HKEY_LOCAL_MACHINE"), RootKey::LocalMachine);
  EXPECT_EQ(settings::parseRootName("HKEY_CURRENT_USER"), RootKey::CurrentUser);
  EXPECT_EQ(settings::parseRootName("HKEY_CLASSES_ROOT"), RootKey::ClassesRoot);
  EXPECT_FALSE(settings::parseRootName("hkey_local_machine"));
  EXPECT_FALSE(settings::parseRootName("HKEY_USERS"));
}

}  // namespace
