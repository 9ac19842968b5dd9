// One line of a text console: how many columns a text takes, and a text cut
// to fit a width (East Asian wide characters take two columns).
#pragma once

#include <string>
#include <string_view>

namespace cli {

int displayColumns(std::string_view utf8);
// The longest start of the text that fits `columns`; "…"-free, cut at a character.
std::string fitColumns(std::string_view utf8, int columns);

}  // namespace cli
