#include "tools/junk_rules.h"

#include <algorithm>

#include "common/text.h"

namespace tools {

std::span<const JunkExtension> junkExtensions() {
  static const std::array<JunkExtension, kJunkExtensionCount> table = {{
      {"$$$", "임시파일", {}},
      {"ASV", "일정 시간마다 생기는 파일", {}},
      {"BAK", "백업파일", {"DATA.BAK", "Data.bak", "OPA11.BAK", "opa11.bak", "OPA12.BAK", "opa12.bak"}},
      {"CHK", "CHKDSK를 써서 복원된 파일", {}},
      {"DMP", "메모리의 덤프 파일", {}},
      {"GID", "도움말 관련 생성파일", {}},
      {"LOG", "로그파일",
       {"ntuser.dat.LOG", "UsrClass.dat.LOG", "UNINSTALL.LOG", "Uninstall.log", "INSTALL.LOG",
        "Install.log"}},
      {"OLD", "백업파일의 총칭", {}},
      {"SYD", "QEMM, 기동 파일 백업", {}},
      {"TMP", "윈도우 임시파일", {"hpqgends.tmp", "Hpqgends.tmp"}},
      {"WBK", "문서관련 백업파일", {}},
  }};
  return table;
}

int junkExtensionIndex(std::string_view upperExtension) {
  const auto table = junkExtensions();
  for (size_t i = 0; i < table.size(); ++i)
    if (upperExtension == table[i].extension) return static_cast<int>(i);
  return -1;
}

std::string extensionOf(std::string_view path) {
  const size_t dot = path.rfind('.');
  return text::toUpperAscii(dot == std::string_view::npos ? path : path.substr(dot + 1));
}

std::string_view containingFolderName(std::string_view path) {
  const size_t last = path.rfind('\\');
  if (last == std::string_view::npos) return {};
  return text::afterLastBackslash(path.substr(0, last));
}

bool isSpecialFolderName(std::string_view name) {
  return name == "Cookies" || name == "Temp" || name == "Temporary Internet Files" ||
         name == "Recent";
}

bool isCacheFolder(std::string_view path, std::string_view name) {
  return path.find("Temporary Internet Files") != std::string_view::npos &&
         name != "Temporary Internet Files" && name != "Content.IE5";
}

bool switchSearched(std::string_view switchText) {
  return switchText == "1" || switchText == "default";
}

bool isJunkFile(std::string_view path, std::string_view name, const JunkSwitches& switches) {
  const int index = junkExtensionIndex(extensionOf(path));
  if (index < 0)
    return isSpecialFolderName(containingFolderName(path)) && name != "index.dat" &&
           name != "desktop.ini";
  if (!switches[static_cast<size_t>(index)]) return false;
  const auto& exceptions = junkExtensions()[static_cast<size_t>(index)].exceptions;
  return std::none_of(exceptions.begin(), exceptions.end(),
                      [&](const char* exception) { return name == exception; });
}

}  // namespace tools
