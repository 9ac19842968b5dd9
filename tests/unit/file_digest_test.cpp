#include "scan/file_digest.h"

#include <gtest/gtest.h>

#include <string>

#include "scan/md5.h"
#include "fakes/fake_file_system.h"

namespace {

std::string md5Of(const std::string& bytes, uint32_t seed = 0) {
  scan::Md5Context c;
  scan::md5Init(&c, seed);
  scan::md5Update(&c, bytes.data(), bytes.size());
  scan::md5Final(&c);
  return scan::hexDigest(c.digest);
}

TEST(Md5, Rfc1321Suite) {
  struct Case {
    const char* in;
    const char* digest;
  } cases[] = {
      {"", "d41d8cd98f00b204e9800998ecf8427e"},
      {"a", "0cc175b9c0f1b6a831c399e269772661"},
      {"abc", "900150983cd24fb0d6963f7d28e17f72"},
      {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
      {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
       "d174ab98d277d9f5a5611c2c9f419d9f"},
      {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
       "57edf4a22be3c955ac49da2e2107b67a"},
  };
  for (const auto& c : cases) EXPECT_EQ(md5Of(c.in), c.digest) << c.in;
}

TEST(Md5, PieceBoundariesDoNotMatter) {
  std::string data(5000, '\0');
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 7 + 3);
  const std::string whole = md5Of(data);
  for (size_t piece : {1u, 3u, 63u, 64u, 65u, 2048u}) {
    scan::Md5Context c;
    scan::md5Init(&c, 0);
    for (size_t i = 0; i < data.size(); i += piece)
      scan::md5Update(&c, data.data() + i, std::min(piece, data.size() - i));
    scan::md5Final(&c);
    EXPECT_EQ(scan::hexDigest(c.digest), whole) << piece;
  }
}

TEST(Md5, SeedMovesAllFourStartingWords) {
  scan::Md5Context zero, one;
  scan::md5Init(&zero, 0);
  scan::md5Init(&one, 1);
  EXPECT_EQ(zero.state[0], 0x67452301u);
  EXPECT_EQ(one.state[0], 0x67452301u + 11);
  EXPECT_EQ(one.state[1], 0xEFCDAB89u + 71);
  EXPECT_EQ(one.state[2], 0x98BADCFEu + 37);
  EXPECT_EQ(one.state[3], 0x10325476u + 97);
  EXPECT_NE(md5Of("abc", 1), md5Of("abc", 0));
}

class FileDigestTest : public ::testing::Test {
 protected:
  std::string digestOfFile(const std::string& bytes, int format = 1) {
    files.addFileWithContent("C:\\f.bin", bytes);
    scan::FileDigest d(files);
    d.setSourceKind(2);
    d.setPath("C:\\f.bin");
    d.setFormat(format);
    d.setEnabled(1);
    return d.digestText();
  }
  fakes::FakeFileSystem files;
};

TEST_F(FileDigestTest, FilesAroundThePieceSizeGiveTheirDigests) {
  for (size_t size : {3u, 2047u, 2048u, 2049u, 4096u, 300000u}) {
    std::string data(size, '\0');
    for (size_t i = 0; i < size; ++i) data[i] = static_cast<char>((i * 131) >> 3);
    if (size == 3) data = "abc";
    EXPECT_EQ(digestOfFile(data), md5Of(data)) << size;
  }
  EXPECT_EQ(digestOfFile("abc"), "900150983cd24fb0d6963f7d28e17f72");
}

TEST_F(FileDigestTest, EmptyFileGivesEmptyText) { EXPECT_EQ(digestOfFile(""), ""); }

TEST_F(FileDigestTest, FileThatCannotBeOpenedGivesEmptyText) {
  files.addFolder("C:\\folder");
  scan::FileDigest d(files);
  d.setSourceKind(2);
  d.setFormat(1);
  d.setEnabled(1);
  d.setPath("C:\\missing.bin");
  EXPECT_EQ(d.digestText(), "");
  d.setPath("C:\\folder");
  EXPECT_EQ(d.digestText(), "");
  d.setPath("");
  EXPECT_EQ(d.digestText(), "");
  scan::Md5Context untouched{};
  untouched.state[0] = 42;
  EXPECT_EQ(scan::digestFile(files, "C:\\missing.bin", 0, &untouched), 0);
  EXPECT_EQ(untouched.state[0], 42u);
}

TEST_F(FileDigestTest, FormatsTable) {
  scan::FileDigest d(files);
  d.setSourceKind(1);
  d.setSourceText("abc");
  d.setEnabled(1);
  struct Case {
    int format;
    const char* text;
  } cases[] = {
      {1, "900150983cd24fb0d6963f7d28e17f72"},
      {2, "90 01 50 98 3c d2 4f b0 d6 96 3f 7d 28 e1 7f 72 "},
      {3, "900150983CD24FB0D6963F7D28E17F72"},
      {4, "90 01 50 98 3C D2 4F B0 D6 96 3F 7D 28 E1 7F 72 "},
      {0, "900150983cd24fb0d6963f7d28e17f72"},  // out of range: format 1
      {9, "900150983cd24fb0d6963f7d28e17f72"},
  };
  for (const auto& c : cases) {
    d.setFormat(c.format);
    EXPECT_EQ(d.digestText(), c.text) << c.format;
  }
}

TEST_F(FileDigestTest, TextSourceEmptyIsTheEmptyMessageDigest) {
  scan::FileDigest d(files);
  d.setSourceKind(1);
  d.setFormat(1);
  d.setEnabled(1);
  EXPECT_EQ(d.digestText(), "d41d8cd98f00b204e9800998ecf8427e");
  d.setSourceKind(7);  // unknown kinds are the text source
  EXPECT_EQ(d.digestText(), "d41d8cd98f00b204e9800998ecf8427e");
}

TEST_F(FileDigestTest, NotEnabledGivesEmptyTextInEveryFormat) {
  scan::FileDigest d(files);
  d.setSourceKind(1);
  d.setSourceText("abc");
  for (int enabled : {0, 2, -1}) {
    d.setEnabled(enabled);
    for (int format = 1; format <= 4; ++format) {
      d.setFormat(format);
      EXPECT_EQ(d.digestText(), "") << enabled << "/" << format;
    }
  }
}

TEST(HexDigest, LeadingZeroKept) {
  uint8_t bytes[16] = {0x0A, 0x00, 0xFF};
  EXPECT_EQ(scan::hexDigest(bytes).substr(0, 6), "0a00ff");
}

}  // namespace
