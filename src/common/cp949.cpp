// CP949 <-> UTF-8: the Win32 code-page tables on Windows, iconv elsewhere.
#include "common/text.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#include <cerrno>
#endif

namespace text {

#ifdef _WIN32

std::string cp949ToUtf8(std::string_view in) {
  if (in.empty()) return {};
  // A lead byte (0x81..0xFE) without its trail byte at the very end is dropped;
  // MultiByteToWideChar would otherwise turn it into a stray character.
  size_t n = in.size();
  {
    size_t i = 0;
    while (i < n) {
      const unsigned char b = static_cast<unsigned char>(in[i]);
      if (b >= 0x81 && b <= 0xFE) {
        if (i + 1 >= n) {
          n = i;
          break;
        }
        i += 2;
      } else {
        ++i;
      }
    }
  }
  if (n == 0) return {};
  const int wlen = MultiByteToWideChar(949, 0, in.data(), static_cast<int>(n), nullptr, 0);
  std::wstring w(static_cast<size_t>(wlen), L'\0');
  MultiByteToWideChar(949, 0, in.data(), static_cast<int>(n), w.data(), wlen);
  return narrow(w);
}

std::string utf8ToCp949(std::string_view in, bool* lossless) {
  if (lossless) *lossless = true;
  if (in.empty()) return {};
  const std::wstring w = widen(in);
  BOOL usedDefault = FALSE;
  const int len = WideCharToMultiByte(949, 0, w.data(), static_cast<int>(w.size()), nullptr, 0,
                                      nullptr, &usedDefault);
  std::string out(static_cast<size_t>(len), '\0');
  WideCharToMultiByte(949, 0, w.data(), static_cast<int>(w.size()), out.data(), len, nullptr,
                      &usedDefault);
  if (lossless && usedDefault) *lossless = false;
  return out;
}

#else

namespace {

// Converts with iconv; an unconvertible or incomplete sequence is replaced by
// `replacement` (or dropped when it is empty) and conversion goes on.
std::string convert(const char* to, const char* from, std::string_view in,
                    std::string_view replacement, bool* lossless) {
  if (lossless) *lossless = true;
  std::string out;
  if (in.empty()) return out;
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(in);
  out.reserve(in.size() * 2);
  char* src = const_cast<char*>(in.data());
  size_t srcLeft = in.size();
  char buf[1024];
  while (srcLeft > 0) {
    char* dst = buf;
    size_t dstLeft = sizeof buf;
    const size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    out.append(buf, static_cast<size_t>(dst - buf));
    if (r == static_cast<size_t>(-1)) {
      if (errno == E2BIG) continue;
      if (lossless) *lossless = false;
      out += replacement;
      // Skip the offending unit: one byte of CP949, one UTF-8 character.
      size_t skip = 1;
      if (std::string_view(from) == "UTF-8") {
        while (skip < srcLeft && (static_cast<unsigned char>(src[skip]) & 0xC0) == 0x80) ++skip;
      }
      src += skip;
      srcLeft -= skip;
    }
  }
  iconv_close(cd);
  return out;
}

}  // namespace

std::string cp949ToUtf8(std::string_view in) { return convert("UTF-8", "CP949", in, "", nullptr); }

std::string utf8ToCp949(std::string_view in, bool* lossless) {
  return convert("CP949", "UTF-8", in, "?", lossless);
}

#endif

}  // namespace text
