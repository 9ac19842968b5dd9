#include "common/windows_path.h"

#include "common/text.h"

namespace winpath {
namespace {

bool isDriveAbsolute(std::string_view p) {
  return p.size() >= 3 && ((p[0] | 0x20) >= 'a' && (p[0] | 0x20) <= 'z') && p[1] == ':' &&
         p[2] == '\\';
}

// No "/" and no "." or ".." component: nothing the platform would rewrite
// apart from trailing dots and spaces, which the extended form keeps.
bool isPlainComponents(std::string_view p) {
  if (p.find('/') != std::string_view::npos) return false;
  size_t start = 0;
  while (start <= p.size()) {
    size_t end = p.find('\\', start);
    if (end == std::string_view::npos) end = p.size();
    const std::string_view part = p.substr(start, end - start);
    if (part == "." || part == "..") return false;
    start = end + 1;
  }
  return true;
}

}  // namespace

std::string join(std::string_view folder, std::string_view name) {
  std::string out(folder);
  if (out.empty() || out.back() != '\\') out += '\\';
  out += name;
  return out;
}

std::string extendedLength(std::string_view path) {
  if (isDriveAbsolute(path) && isPlainComponents(path.substr(3)) &&
      path.find("\\\\", 2) == std::string_view::npos)
    return "\\\\?\\" + std::string(path);
  if (path.size() > 2 && path[0] == '\\' && path[1] == '\\' && path[2] != '?' && path[2] != '.' &&
      isPlainComponents(path.substr(2)) && path.find("\\\\", 2) == std::string_view::npos)
    return "\\\\?\\UNC\\" + std::string(path.substr(2));
  return std::string(path);
}

bool equalIgnoringCase(std::string_view a, std::string_view b) {
  return text::equalsIgnoreCaseAscii(a, b);
}

}  // namespace winpath
