#include "ui/shell_texts.h"

#include "common/text.h"

namespace ui {

std::string cutTrayTip(std::string_view utf8) {
  const std::string cp949 = text::utf8ToCp949(utf8);
  size_t kept = 0;
  while (kept < cp949.size()) {
    const size_t width = static_cast<unsigned char>(cp949[kept]) >= 0x81 ? 2 : 1;
    if (kept + width > kTrayTipBytes) break;
    kept += width;
  }
  return text::cp949ToUtf8(std::string_view(cp949).substr(0, kept));
}

std::string applicationCaption(std::string_view programPath) {
  std::string name(text::afterLastBackslash(programPath));
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.resize(dot);
  return name;
}

}  // namespace ui
