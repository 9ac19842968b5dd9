#include "app/window_texts.h"

#include "common/text.h"
#include "common/web_address.h"

namespace app {

std::optional<uint32_t> labelColour(int controlId) {
  switch (controlId) {
    case 1004: return 0x0025C225u;
    case 1005: return 0x006666CCu;
    case 1000: case 1001: case 1002: case 1003: case 1006: case 1007: case 1008: case 1009:
    case 1016: case 1017: case 1018: case 1019: case 1020: case 1027:
    case 1033: case 1034: case 1035: case 1039: case 1040:
      return 0x00817F89u;
    default: return std::nullopt;
  }
}

std::string trayTipText(std::string_view versionText, std::string_view lastUpdateText) {
  std::string tip = kProductCaption;
  tip += "\nDB버전 : ";
  tip += versionText;
  tip += "\n업데이트 일자 : ";
  tip += lastUpdateText;
  return tip;
}

std::string serverUrlFrom(std::string_view stored) {
  std::string url = text::trim(stored);
  if (!web::isWebAddress(url)) return kDefaultServerUrl;
  while (url.size() > 1 && url.back() == '/') url.pop_back();
  return url;
}

}  // namespace app
