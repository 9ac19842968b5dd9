// MD5 (RFC 1321) with a seeded start, and the digest of a whole file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "platform/file_system.h"

namespace scan {

struct Md5Context {
  uint32_t count[2];   // message bits fed so far, low word first (mod 2^64)
  uint32_t state[4];   // A, B, C, D
  uint8_t buffer[64];  // the current incomplete block
  uint8_t digest[16];  // written by md5Final
};

// Seed 0 gives the RFC 1321 starting words; any other seed moves all four.
void md5Init(Md5Context* context, uint32_t seed);
void md5Update(Md5Context* context, const void* bytes, size_t length);
void md5Final(Md5Context* context);

// Digests the file at `path` (read through `files`) into `context`. Returns the
// number of bytes read, 0 without touching the context when the file cannot
// be opened.
// A read error ends the reading as the end of the file would. `buffer` is the
// read buffer (reused across calls by the caller); without one, a buffer of
// the default size is taken for this call.
int32_t digestFile(platform::FileSystem& files, const std::string& path, uint32_t seed,
                   Md5Context* context, std::span<uint8_t> buffer = {});

inline constexpr size_t kDigestReadBufferSize = 256 * 1024;

}  // namespace scan
