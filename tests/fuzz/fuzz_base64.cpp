// Base64Decoder on arbitrary text: never crashes, never reads out of bounds,
// and a standard encoding of what it returns decodes back to the same text.
#include <cstddef>
#include <cstdint>
#include <string>

#include "scan/base64_decoder.h"
#include "scan/base64_encoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string in(reinterpret_cast<const char*>(data), size);
  const std::string out = scan::decodeBase64(in);
  if (out.size() > (size / 4) * 3) __builtin_trap();
  if (scan::decodeBase64(scan::encodeBase64(out)) != out) __builtin_trap();
  return 0;
}
