// Which texts may be opened as web pages: only http:// and https://
// addresses (letter case of the scheme ignored) with a host, and nothing
// that a shell could take for something else.
#pragma once

#include <string_view>

namespace web {

bool isWebAddress(std::string_view text);

}  // namespace web
