#include "scan/file_digest.h"

#include "common/text.h"
#include "scan/md5.h"

namespace scan {

std::string hexDigest(const uint8_t digest[16]) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string out(32, '0');
  for (int i = 0; i < 16; ++i) {
    out[2 * i] = kDigits[digest[i] >> 4];
    out[2 * i + 1] = kDigits[digest[i] & 15];
  }
  return out;
}

std::string FileDigest::digestText() {
  std::string result;
  if (enabled_ != 1) return result;
  Md5Context context;
  if (sourceKind_ == kText) {
    md5Init(&context, 0);
    md5Update(&context, sourceText_.data(), sourceText_.size());
    md5Final(&context);
    result = hexDigest(context.digest);
  } else if (!path_.empty()) {
    if (readBuffer_.empty()) readBuffer_.resize(kDigestReadBufferSize);
    if (digestFile(files_, path_, 0, &context, readBuffer_) != 0) result = hexDigest(context.digest);
  }
  if (format_ == 2 || format_ == 4) {
    spacedText_.clear();
    for (size_t i = 0; i < result.size(); ++i) {
      spacedText_ += result[i];
      if (i % 2 == 1) spacedText_ += ' ';
    }
    result = spacedText_;
  }
  if (format_ == 3 || format_ == 4) result = text::toUpperAscii(result);
  return result;
}

}  // namespace scan
