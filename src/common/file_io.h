// Whole-file reads and writes and a streaming reader, on UTF-8 paths (wide
// Win32 calls on Windows, POSIX calls elsewhere).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace fileio {

// False (and *out empty) when the file cannot be opened or read.
bool readWholeFile(std::string_view path, std::string* out);
// Writes through a temporary file beside `path` and renames it over `path`,
// so a reader never sees a half-written file.
bool writeWholeFile(std::string_view path, std::string_view bytes);

// A file opened for sequential binary reading, closed by the destructor.
class InputFile {
 public:
  InputFile() = default;
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;
  ~InputFile() { close(); }

  [[nodiscard]] bool open(std::string_view path);
  // The file's size as the system reports it now (0 when unknown).
  size_t sizeHint() const;
  // Bytes read (0 at the end or on a read error).
  size_t read(void* buffer, size_t size);
  void close();

 private:
#ifdef _WIN32
  void* handle_ = nullptr;
#else
  int fd_ = -1;
#endif
};

}  // namespace fileio
