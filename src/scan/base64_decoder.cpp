#include "scan/base64_decoder.h"

namespace scan {
namespace {

// 0..63 for the alphabet, 64 for "=", -1 for anything else.
constexpr int kPad = 64;

struct SextetTable {
  signed char value[256];
  constexpr SextetTable() : value() {
    for (int c = 0; c < 256; ++c) value[c] = -1;
    for (int c = 'A'; c <= 'Z'; ++c) value[c] = static_cast<signed char>(c - 'A');
    for (int c = 'a'; c <= 'z'; ++c) value[c] = static_cast<signed char>(c - 'a' + 26);
    for (int c = '0'; c <= '9'; ++c) value[c] = static_cast<signed char>(c - '0' + 52);
    value[static_cast<int>('+')] = 62;
    value[static_cast<int>('/')] = 63;
    value[static_cast<int>('=')] = kPad;
  }
};
constexpr SextetTable kSextets;

int sextet(unsigned char c) { return kSextets.value[c]; }

}  // namespace

void Base64Decoder::decode(std::string_view text) {
  result_.clear();
  result_.reserve(text.size() / 4 * 3);
  int group[4];
  int filled = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const int v = sextet(static_cast<unsigned char>(text[i]));
    if (v < 0) continue;
    group[filled++] = v;
    if (filled < 4) continue;
    filled = 0;

    // "=" inside a group that is not the last one counts as zero bits.
    const auto bits = [&](int k) { return group[k] == kPad ? 0 : group[k]; };
    const auto byte0 = [&] { return static_cast<char>((bits(0) << 2) | (bits(1) >> 4)); };
    const auto byte1 = [&] { return static_cast<char>(((bits(1) & 0x0F) << 4) | (bits(2) >> 2)); };
    const auto byte2 = [&] { return static_cast<char>(((bits(2) & 0x03) << 6) | bits(3)); };

    const size_t following = text.size() - i - 1;
    if (following < 4) {
      if (group[1] == kPad) {
        result_ += static_cast<char>(bits(0) << 2);
        return;
      }
      if (group[2] == kPad) {
        result_ += byte0();
        return;
      }
      if (group[3] == kPad) {
        result_ += byte0();
        result_ += byte1();
        return;
      }
    }
    result_ += byte0();
    result_ += byte1();
    result_ += byte2();
  }
}

std::string Base64Decoder::result() const {
  const size_t nul = result_.find('\0');
  return nul == std::string::npos ? result_ : result_.substr(0, nul);
}

std::string decodeBase64(std::string_view text) {
  Base64Decoder decoder;
  decoder.decode(text);
  return decoder.result();
}

}  // namespace scan
