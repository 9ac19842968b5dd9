// CP949 <-> UTF-8: the Win32 code-page tables on Windows, iconv elsewhere.
#include "common/text.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#include <cerrno>
#endif

namespace text {

// ASCII is the same in CP949 and UTF-8; most paths and numbers are ASCII.
bool isAscii(std::string_view s) {
  for (char c : s)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

#ifdef _WIN32

std::string cp949ToUtf8(std::string_view in) {
  if (isAscii(in)) return std::string(in);
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
  if (isAscii(in)) return std::string(in);
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
// One conversion descriptor per direction and thread, opened on first use.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (valid()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t get() {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
    return cd_;
  }

 private:
  iconv_t cd_;
};

std::string convert(Converter& converter, bool fromUtf8, std::string_view in,
                    std::string_view replacement, bool* lossless) {
  if (lossless) *lossless = true;
  std::string out;
  if (in.empty()) return out;
  if (!converter.valid()) return std::string(in);
  iconv_t cd = converter.get();
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
      // glibc may consume a sequence it cannot convert (CP949 A2E8, for
      // one) and still report it: then there is nothing left to skip.
      if (srcLeft == 0) break;
      // Skip the offending unit: one byte of CP949, one UTF-8 character.
      size_t skip = 1;
      if (fromUtf8) {
        while (skip < srcLeft && (static_cast<unsigned char>(src[skip]) & 0xC0) == 0x80) ++skip;
      }
      src += skip;
      srcLeft -= skip;
    }
  }
  return out;
}

}  // namespace

std::string cp949ToUtf8(std::string_view in) {
  if (isAscii(in)) return std::string(in);
  thread_local Converter converter("UTF-8", "CP949");
  return convert(converter, false, in, "", nullptr);
}

std::string utf8ToCp949(std::string_view in, bool* lossless) {
  if (lossless) *lossless = true;
  if (isAscii(in)) return std::string(in);
  thread_local Converter converter("CP949", "UTF-8");
  return convert(converter, true, in, "?", lossless);
}

#endif

}  // namespace text
