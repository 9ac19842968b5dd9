#include "common/web_address.h"

#include "common/text.h"

namespace web {

bool isWebAddress(std::string_view text) {
  size_t rest = 0;
  if (text.size() > 7 && text::equalsIgnoreCaseAscii(text.substr(0, 7), "http://")) rest = 7;
  else if (text.size() > 8 && text::equalsIgnoreCaseAscii(text.substr(0, 8), "https://")) rest = 8;
  else return false;
  // A host must follow, and the whole text must be one printable token:
  // no blanks, quotes or control characters a command line could split at.
  const char first = text[rest];
  if (first == '/' || first == ':' || first == '?' || first == '#' || first == '@') return false;
  for (char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (u <= 0x20 || u == 0x7F || c == '"' || c == '<' || c == '>' || c == '\\' || c == '^' ||
        c == '`' || c == '|' || c == '{' || c == '}')
      return false;
  }
  return true;
}

}  // namespace web
