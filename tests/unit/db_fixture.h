// Builds small definition databases for tests, record by record.
#pragma once

#include <string>

#include "common/text.h"
#include "scan/base64_encoder.h"

namespace dbfixture {

// A Base64 value of the CP949 form of a UTF-8 text.
inline std::string b64(const std::string& utf8) {
  return scan::encodeBase64(text::utf8ToCp949(utf8));
}

}  // namespace dbfixture
