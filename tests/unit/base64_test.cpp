#include "scan/base64_decoder.h"

#include <gtest/gtest.h>

#include "scan/base64_encoder.h"

namespace {

TEST(Base64Decoder, DecodingRulesTable) {
  struct Case {
    const char* in;
    const char* out;
  } cases[] = {
      {"", ""},
      {"QQ==", "A"},
      {"QUI=", "AB"},
      {"QUJD", "ABC"},
      {"QUJDRA", "ABC"},          // a final group of two characters gives nothing
      {"QUJDRA==", "ABCD"},
      {"Q U\tJ\r\nD", "ABC"},      // characters outside the alphabet are skipped
      {"Q*U!J?D", "ABC"},
      {"QUJD\n", "ABC"},           // a complete group near the end, then a newline
      {"QUJDREU=", "ABCDE"},
      {"Q=", ""},                  // incomplete
      {"Q===", "@"},               // second character "=": the first six bits shifted
      {"QUJDREVGR0g=", "ABCDEFGH"},
  };
  for (const auto& c : cases) EXPECT_EQ(scan::decodeBase64(c.in), c.out) << '"' << c.in << '"';
}

TEST(Base64Decoder, PaddingCountsOnlyInTheLastGroup) {
  // "QQ==" is followed by four more characters, so it is a full group whose
  // "=" characters carry zero bits: "A", NUL, NUL; the text ends at the NUL.
  EXPECT_EQ(scan::decodeBase64("QQ==QUJD"), "A");
}

TEST(Base64Decoder, DecoderObjectReplacesItsResult) {
  scan::Base64Decoder d;
  d.decode("QUJD");
  d.decode("QQ==");
  EXPECT_EQ(d.result(), "A");
}

TEST(Base64Encoder, RoundTripsThroughTheDecoder) {
  for (std::string s : {"", "a", "ab", "abc", "abcd", "\xB9\xD9\xC5\xC1 #1536#", "x\x7f\x80\xff"})
    EXPECT_EQ(scan::decodeBase64(scan::encodeBase64(s)), s);
  EXPECT_EQ(scan::encodeBase64("ABCD"), "QUJDRA==");
}

}  // namespace
