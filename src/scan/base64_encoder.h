// Standard Base64 with "=" padding, for writing databases (tvdb, tests).
#pragma once

#include <string>
#include <string_view>

namespace scan {

std::string encodeBase64(std::string_view bytes);

}  // namespace scan
