#include "update/update_rules.h"

#include <array>

#include "common/text.h"
#include "scan/ini_file.h"

namespace update {

std::string versionNumberText(std::string_view versionText) {
  const size_t open = versionText.find('(');
  const std::string_view rest = open == std::string_view::npos ? versionText : versionText.substr(open + 1);
  std::string number;
  for (char c : rest)
    if (c != ')') number += c;
  return number;
}

int versionNumber(std::string_view numberText) { return text::atoiLike(numberText); }

bool isUpdateAvailable(int local, int server) { return local < server; }

UpdateAnswer parseUpdateAnswer(std::string text) {
  const scan::IniFile ini(std::move(text));
  UpdateAnswer answer;
  answer.serverVersion = text::atoiLike(ini.value("DBINFO", "Version"));
  answer.url = std::string(ini.value("DOWN", "URL"));
  answer.name = std::string(ini.value("DOWN", "NAME"));
  answer.sha256 = text::toUpperAscii(text::trim(ini.value("DOWN", "SHA256")));
  return answer;
}

bool isSafeFileName(std::string_view name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (char c : name) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || c == '\\' || c == '/' || c == ':' || c == '*' || c == '?' || c == '"' || c == '<' ||
        c == '>' || c == '|')
      return false;
  }
  // Windows drops trailing dots and blanks, so "a.exe." would be "a.exe".
  if (name.back() == '.' || name.back() == ' ') return false;
  const std::string stem = text::toUpperAscii(name.substr(0, name.find('.')));
  std::string base = text::trim(stem);
  static constexpr std::array<const char*, 6> kDevices = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
  for (const char* device : kDevices)
    if (base == device) return false;
  if (base.size() == 4 && (base.starts_with("COM") || base.starts_with("LPT")) && base[3] >= '0' &&
      base[3] <= '9')
    return false;
  return true;
}

bool isCompleteDownload(const Download& d) {
  if (!d.transportOk || d.status != 200 || d.cutShort || d.body.empty()) return false;
  return !d.contentLength || *d.contentLength == d.body.size();
}

bool isUsableDatabase(std::string text) {
  const scan::IniFile ini(std::move(text));
  const std::string count = text::trim(ini.value("TotalCount", "Count"));
  return ini.has("DBINFO", "Version") && !count.empty() && count.find_first_not_of("0123456789") == count.npos;
}

bool isUsableKillbitList(std::string text) {
  const scan::IniFile ini(std::move(text));
  const std::string count = text::trim(ini.value("TotalCount", "Count"));
  return !count.empty() && count.find_first_not_of("0123456789") == count.npos;
}

std::string hexUpper(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string hex;
  for (char c : bytes) {
    const auto u = static_cast<unsigned char>(c);
    hex += kDigits[u >> 4];
    hex += kDigits[u & 15];
  }
  return hex;
}

std::optional<std::string> parseSignatureText(std::string_view text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.remove_suffix(1);
  if (text.size() != 128) return std::nullopt;
  std::string bytes;
  for (size_t i = 0; i < text.size(); i += 2) {
    int value = 0;
    for (char c : text.substr(i, 2)) {
      value <<= 4;
      if (c >= '0' && c <= '9') value |= c - '0';
      else if (c >= 'a' && c <= 'f') value |= c - 'a' + 10;
      else if (c >= 'A' && c <= 'F') value |= c - 'A' + 10;
      else return std::nullopt;
    }
    bytes += static_cast<char>(value);
  }
  return bytes;
}

}  // namespace update
