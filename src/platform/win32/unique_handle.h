// One owner template for Win32 handles, with an alias per handle kind. The
// destructor keeps GetLastError intact so a failing call can still be read
// after its handles are released.
#pragma once

#include <windows.h>

#include <utility>

namespace win32 {

// InvalidBits is the handle value that means none, as an integer: a pointer
// constant such as INVALID_HANDLE_VALUE cannot be a template argument.
template <typename T, auto Close, intptr_t InvalidBits>
class UniqueHandle {
 public:
  static T Invalid() noexcept { return reinterpret_cast<T>(InvalidBits); }

  UniqueHandle() = default;
  explicit UniqueHandle(T h) : h_(h) {}
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& o) noexcept : h_(std::exchange(o.h_, Invalid())) {}
  UniqueHandle& operator=(UniqueHandle&& o) noexcept {
    if (this != &o) reset(std::exchange(o.h_, Invalid()));
    return *this;
  }
  ~UniqueHandle() { reset(); }

  void reset(T h = Invalid()) {
    if (h_ != Invalid() && h_ != nullptr) {
      const DWORD saved = GetLastError();
      Close(h_);
      SetLastError(saved);
    }
    h_ = h;
  }
  T get() const { return h_; }
  T* put() {
    reset();
    return &h_;
  }
  [[nodiscard]] T release() { return std::exchange(h_, Invalid()); }
  explicit operator bool() const { return h_ != Invalid() && h_ != nullptr; }

 private:
  T h_ = Invalid();
};

inline void closeHandle(HANDLE h) { CloseHandle(h); }
inline void closeKey(HKEY k) { RegCloseKey(k); }
inline void closeFind(HANDLE h) { FindClose(h); }

using unique_handle = UniqueHandle<HANDLE, closeHandle, 0>;
using unique_file = UniqueHandle<HANDLE, closeHandle, -1>;
using unique_hkey = UniqueHandle<HKEY, closeKey, 0>;
using unique_hfind = UniqueHandle<HANDLE, closeFind, -1>;

}  // namespace win32
