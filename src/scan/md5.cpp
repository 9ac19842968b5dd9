#include "scan/md5.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>


namespace scan {
namespace {

inline uint32_t rotl(uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }

inline uint32_t load32(const uint8_t* p) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
  uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
#else
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
#endif
}

// The message word and constant are added first: they do not depend on the
// previous step, so the processor can add them while that step finishes.
#define MD5_STEP(f, a, b, c, d, x, t, s) \
  a += (x) + (t);                        \
  a += f(b, c, d);                       \
  a = rotl(a, s) + (b)

#define MD5_F(x, y, z) ((z) ^ ((x) & ((y) ^ (z))))
// (x & z) | (y & ~z): the two halves have no bit in common, so they can be
// added separately, which shortens the dependency chain.
#define MD5_G(x, y, z) (((x) & (z)) + ((y) & ~(z)))
#define MD5_H(x, y, z) ((x) ^ (y) ^ (z))
#define MD5_I(x, y, z) ((y) ^ ((x) | ~(z)))

// Compresses `blocks` whole 64-byte blocks straight from `p`.
void compress(uint32_t state[4], const uint8_t* p, size_t blocks) {
  uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
  for (; blocks > 0; --blocks, p += 64) {
    uint32_t x[16];
    for (int i = 0; i < 16; ++i) x[i] = load32(p + 4 * i);
    const uint32_t aa = a, bb = b, cc = c, dd = d;

    MD5_STEP(MD5_F, a, b, c, d, x[0], 0xd76aa478, 7);
    MD5_STEP(MD5_F, d, a, b, c, x[1], 0xe8c7b756, 12);
    MD5_STEP(MD5_F, c, d, a, b, x[2], 0x242070db, 17);
    MD5_STEP(MD5_F, b, c, d, a, x[3], 0xc1bdceee, 22);
    MD5_STEP(MD5_F, a, b, c, d, x[4], 0xf57c0faf, 7);
    MD5_STEP(MD5_F, d, a, b, c, x[5], 0x4787c62a, 12);
    MD5_STEP(MD5_F, c, d, a, b, x[6], 0xa8304613, 17);
    MD5_STEP(MD5_F, b, c, d, a, x[7], 0xfd469501, 22);
    MD5_STEP(MD5_F, a, b, c, d, x[8], 0x698098d8, 7);
    MD5_STEP(MD5_F, d, a, b, c, x[9], 0x8b44f7af, 12);
    MD5_STEP(MD5_F, c, d, a, b, x[10], 0xffff5bb1, 17);
    MD5_STEP(MD5_F, b, c, d, a, x[11], 0x895cd7be, 22);
    MD5_STEP(MD5_F, a, b, c, d, x[12], 0x6b901122, 7);
    MD5_STEP(MD5_F, d, a, b, c, x[13], 0xfd987193, 12);
    MD5_STEP(MD5_F, c, d, a, b, x[14], 0xa679438e, 17);
    MD5_STEP(MD5_F, b, c, d, a, x[15], 0x49b40821, 22);

    MD5_STEP(MD5_G, a, b, c, d, x[1], 0xf61e2562, 5);
    MD5_STEP(MD5_G, d, a, b, c, x[6], 0xc040b340, 9);
    MD5_STEP(MD5_G, c, d, a, b, x[11], 0x265e5a51, 14);
    MD5_STEP(MD5_G, b, c, d, a, x[0], 0xe9b6c7aa, 20);
    MD5_STEP(MD5_G, a, b, c, d, x[5], 0xd62f105d, 5);
    MD5_STEP(MD5_G, d, a, b, c, x[10], 0x02441453, 9);
    MD5_STEP(MD5_G, c, d, a, b, x[15], 0xd8a1e681, 14);
    MD5_STEP(MD5_G, b, c, d, a, x[4], 0xe7d3fbc8, 20);
    MD5_STEP(MD5_G, a, b, c, d, x[9], 0x21e1cde6, 5);
    MD5_STEP(MD5_G, d, a, b, c, x[14], 0xc33707d6, 9);
    MD5_STEP(MD5_G, c, d, a, b, x[3], 0xf4d50d87, 14);
    MD5_STEP(MD5_G, b, c, d, a, x[8], 0x455a14ed, 20);
    MD5_STEP(MD5_G, a, b, c, d, x[13], 0xa9e3e905, 5);
    MD5_STEP(MD5_G, d, a, b, c, x[2], 0xfcefa3f8, 9);
    MD5_STEP(MD5_G, c, d, a, b, x[7], 0x676f02d9, 14);
    MD5_STEP(MD5_G, b, c, d, a, x[12], 0x8d2a4c8a, 20);

    MD5_STEP(MD5_H, a, b, c, d, x[5], 0xfffa3942, 4);
    MD5_STEP(MD5_H, d, a, b, c, x[8], 0x8771f681, 11);
    MD5_STEP(MD5_H, c, d, a, b, x[11], 0x6d9d6122, 16);
    MD5_STEP(MD5_H, b, c, d, a, x[14], 0xfde5380c, 23);
    MD5_STEP(MD5_H, a, b, c, d, x[1], 0xa4beea44, 4);
    MD5_STEP(MD5_H, d, a, b, c, x[4], 0x4bdecfa9, 11);
    MD5_STEP(MD5_H, c, d, a, b, x[7], 0xf6bb4b60, 16);
    MD5_STEP(MD5_H, b, c, d, a, x[10], 0xbebfbc70, 23);
    MD5_STEP(MD5_H, a, b, c, d, x[13], 0x289b7ec6, 4);
    MD5_STEP(MD5_H, d, a, b, c, x[0], 0xeaa127fa, 11);
    MD5_STEP(MD5_H, c, d, a, b, x[3], 0xd4ef3085, 16);
    MD5_STEP(MD5_H, b, c, d, a, x[6], 0x04881d05, 23);
    MD5_STEP(MD5_H, a, b, c, d, x[9], 0xd9d4d039, 4);
    MD5_STEP(MD5_H, d, a, b, c, x[12], 0xe6db99e5, 11);
    MD5_STEP(MD5_H, c, d, a, b, x[15], 0x1fa27cf8, 16);
    MD5_STEP(MD5_H, b, c, d, a, x[2], 0xc4ac5665, 23);

    MD5_STEP(MD5_I, a, b, c, d, x[0], 0xf4292244, 6);
    MD5_STEP(MD5_I, d, a, b, c, x[7], 0x432aff97, 10);
    MD5_STEP(MD5_I, c, d, a, b, x[14], 0xab9423a7, 15);
    MD5_STEP(MD5_I, b, c, d, a, x[5], 0xfc93a039, 21);
    MD5_STEP(MD5_I, a, b, c, d, x[12], 0x655b59c3, 6);
    MD5_STEP(MD5_I, d, a, b, c, x[3], 0x8f0ccc92, 10);
    MD5_STEP(MD5_I, c, d, a, b, x[10], 0xffeff47d, 15);
    MD5_STEP(MD5_I, b, c, d, a, x[1], 0x85845dd1, 21);
    MD5_STEP(MD5_I, a, b, c, d, x[8], 0x6fa87e4f, 6);
    MD5_STEP(MD5_I, d, a, b, c, x[15], 0xfe2ce6e0, 10);
    MD5_STEP(MD5_I, c, d, a, b, x[6], 0xa3014314, 15);
    MD5_STEP(MD5_I, b, c, d, a, x[13], 0x4e0811a1, 21);
    MD5_STEP(MD5_I, a, b, c, d, x[4], 0xf7537e82, 6);
    MD5_STEP(MD5_I, d, a, b, c, x[11], 0xbd3af235, 10);
    MD5_STEP(MD5_I, c, d, a, b, x[2], 0x2ad7d2bb, 15);
    MD5_STEP(MD5_I, b, c, d, a, x[9], 0xeb86d391, 21);

    a += aa, b += bb, c += cc, d += dd;
  }
  state[0] = a, state[1] = b, state[2] = c, state[3] = d;
}

}  // namespace

void md5Init(Md5Context* ctx, uint32_t seed) {
  ctx->count[0] = ctx->count[1] = 0;
  ctx->state[0] = 0x67452301u + 11u * seed;
  ctx->state[1] = 0xEFCDAB89u + 71u * seed;
  ctx->state[2] = 0x98BADCFEu + 37u * seed;
  ctx->state[3] = 0x10325476u + 97u * seed;
}

void md5Update(Md5Context* ctx, const void* bytes, size_t length) {
  const uint8_t* in = static_cast<const uint8_t*>(bytes);
  size_t index = (ctx->count[0] >> 3) & 63;
  const uint64_t bits = (static_cast<uint64_t>(ctx->count[1]) << 32 | ctx->count[0]) +
                        (static_cast<uint64_t>(length) << 3);
  ctx->count[0] = static_cast<uint32_t>(bits);
  ctx->count[1] = static_cast<uint32_t>(bits >> 32);

  if (index > 0) {  // finish the pending block first
    const size_t take = std::min<size_t>(64 - index, length);
    std::memcpy(ctx->buffer + index, in, take);
    index += take, in += take, length -= take;
    if (index < 64) return;
    compress(ctx->state, ctx->buffer, 1);
  }
  compress(ctx->state, in, length / 64);  // whole blocks straight from the input
  in += length & ~size_t{63};
  std::memcpy(ctx->buffer, in, length & 63);
}

void md5Final(Md5Context* ctx) {
  uint8_t lengthBytes[8];
  for (int i = 0; i < 4; ++i) {
    lengthBytes[i] = static_cast<uint8_t>(ctx->count[0] >> (8 * i));
    lengthBytes[4 + i] = static_cast<uint8_t>(ctx->count[1] >> (8 * i));
  }
  static const uint8_t kPadding[64] = {0x80};
  const size_t index = (ctx->count[0] >> 3) & 63;
  md5Update(ctx, kPadding, index < 56 ? 56 - index : 120 - index);
  md5Update(ctx, lengthBytes, 8);
  for (int i = 0; i < 4; ++i)
    for (int k = 0; k < 4; ++k) ctx->digest[4 * i + k] = static_cast<uint8_t>(ctx->state[i] >> (8 * k));
}

int32_t digestFile(platform::FileSystem& files, const std::string& path, uint32_t seed,
                   Md5Context* context, std::span<uint8_t> buffer) {
  const std::unique_ptr<platform::FileReader> file = files.openForReading(path);
  if (!file) return 0;
  std::vector<uint8_t> own;
  if (buffer.empty()) {
    own.resize(kDigestReadBufferSize);
    buffer = own;
  }
  md5Init(context, seed);
  uint64_t total = 0;
  while (true) {
    const size_t got = file->read(buffer.data(), buffer.size());
    if (got == 0) break;
    total += got;
    md5Update(context, buffer.data(), got);
  }
  md5Final(context);
  // The count is a signed 32-bit number; a file of 2 GiB or more still
  // reports a non-zero count so that it is not taken for an empty file.
  return total > INT32_MAX ? INT32_MAX : static_cast<int32_t>(total);
}

}  // namespace scan
