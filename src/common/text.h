// Text conversions and small string helpers shared by every layer.
//
// Inside the programs every text is UTF-8. Windows file and key names may hold
// unpaired UTF-16 surrogates, so the UTF-16 <-> UTF-8 conversions use WTF-8
// (surrogates encoded as three-byte sequences): any name the system hands us
// converts back to exactly the same name.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace text {

// UTF-16 (possibly ill-formed) to WTF-8. Never fails.
std::string utf16ToUtf8(std::u16string_view in);
// UTF-8/WTF-8 to UTF-16. Malformed bytes become U+FFFD.
std::u16string utf8ToUtf16(std::string_view in);

#ifdef _WIN32
// The W-API edge: UTF-8 in, wide text out, and back.
std::wstring widen(std::string_view in);
std::string narrow(std::wstring_view in);
#endif

// No byte of 0x80 or above: the same text in CP949 and UTF-8.
bool isAscii(std::string_view s);

// CP949 (Korean Windows ANSI code page) bytes to UTF-8. Bytes that do not form
// a CP949 character (a lone lead byte at the end, for example) are dropped.
std::string cp949ToUtf8(std::string_view in);
// UTF-8 to CP949. Sets *lossless to false when a character has no CP949 form
// (it is written as "?").
std::string utf8ToCp949(std::string_view in, bool* lossless = nullptr);

// Splits at every occurrence of sep; "a##b" gives {"a", "", "b"}, "" gives {""}.
std::vector<std::string> split(std::string_view s, char sep);

// C atoi: optional spaces, optional sign, leading decimal digits; 0 when none.
// Saturates instead of overflowing.
int atoiLike(std::string_view s);

// ASCII-only case mapping (what INI names and MD5 texts need).
std::string toLowerAscii(std::string_view s);
std::string toUpperAscii(std::string_view s);
bool equalsIgnoreCaseAscii(std::string_view a, std::string_view b);

// Text after the last backslash; the whole text when it has none.
std::string_view afterLastBackslash(std::string_view path);

std::string trim(std::string_view s);

}  // namespace text
