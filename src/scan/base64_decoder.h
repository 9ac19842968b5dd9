// Base64 decoding as the definition database needs it: characters outside the
// alphabet are skipped, "=" is honoured only in the group at the end of the
// input, and an incomplete last group gives nothing.
#pragma once

#include <string>
#include <string_view>

namespace scan {

class Base64Decoder {
 public:
  // Replaces the result with the decoding of `text`.
  void decode(std::string_view text);
  // The decoded bytes as a text: like every record of the database it ends at
  // its first NUL byte.
  std::string result() const;

 private:
  std::string result_;
};

// Convenience: one decoder, one value.
std::string decodeBase64(std::string_view text);

}  // namespace scan
