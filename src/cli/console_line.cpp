#include "cli/console_line.h"

#include <algorithm>

namespace cli {
namespace {

bool isWide(char32_t c) {
  return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) ||
         (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
         (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
         (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
}

// Walks the UTF-8 characters: f(code point, byte offset after it).
template <typename F>
void eachCharacter(std::string_view s, F f) {
  size_t i = 0;
  while (i < s.size()) {
    const unsigned char b = static_cast<unsigned char>(s[i]);
    const size_t len = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 1;
    char32_t c = len == 1 ? b : (b & (0x7F >> len));
    for (size_t k = 1; k < len && i + k < s.size(); ++k)
      c = (c << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
    i = std::min(s.size(), i + len);
    if (!f(c, i)) return;
  }
}

}  // namespace

int displayColumns(std::string_view utf8) {
  int columns = 0;
  eachCharacter(utf8, [&](char32_t c, size_t) {
    columns += isWide(c) ? 2 : 1;
    return true;
  });
  return columns;
}

std::string fitColumns(std::string_view utf8, int columns) {
  int used = 0;
  size_t end = 0;
  eachCharacter(utf8, [&](char32_t c, size_t after) {
    const int w = isWide(c) ? 2 : 1;
    if (used + w > columns) return false;
    used += w;
    end = after;
    return true;
  });
  return std::string(utf8.substr(0, end));
}

}  // namespace cli
