#include "scan/item_path.h"

#include "common/text.h"
#include "scan/definition_database.h"

namespace scan {
namespace {

std::string replaceAll(std::string_view s, std::string_view token, std::string_view with) {
  std::string out;
  size_t start = 0;
  while (true) {
    const size_t pos = s.find(token, start);
    if (pos == std::string_view::npos) break;
    out.append(s.substr(start, pos - start)).append(with);
    start = pos + token.size();
  }
  out.append(s.substr(start));
  return out;
}

// The fourth backslash-separated piece of the all-users Start-menu folder
// (empty pieces skipped): on the classic layout the localised "Start Menu".
std::string startMenuName(std::string_view commonStartMenu) {
  int seen = 0;
  for (const std::string& piece : text::split(commonStartMenu, '\\')) {
    if (piece.empty()) continue;
    if (++seen == 4) return piece;
  }
  return {};
}

}  // namespace

std::string expandProgramGroup(std::string_view path, const ItemPathContext& context) {
  const auto exists = [&](const std::string& p) { return context.exists && context.exists(p); };
  const std::string base = "C:\\Documents and Settings\\" + context.userName;
  const std::string menu = startMenuName(context.commonStartMenu);
  for (const char* programs : {"Programs", "프로그램"}) {
    const std::string candidate =
        base + "\\" + menu + "\\" + programs + "\\" + std::string(path);
    if (exists(candidate)) return candidate;
  }
  // Windows Vista and later keep the Start menu outside "Documents and Settings".
  if (!context.userPrograms.empty()) {
    std::string candidate = context.userPrograms;
    if (candidate.back() != '\\') candidate += '\\';
    candidate += path;
    if (exists(candidate)) return candidate;
  }
  return std::string(path);
}

std::string expandItemPath(std::string_view path, std::string_view kindText,
                           const ItemPathContext& context, Expansion expansion) {
  if (kindText == kind::kDesktop) return replaceAll(path, kUserNameToken, context.userName);
  if (kindText == kind::kWindows) return context.windowsFolder + std::string(path);
  if (kindText == kind::kProgramGroup && expansion == Expansion::All)
    return expandProgramGroup(path, context);
  return std::string(path);
}

}  // namespace scan
