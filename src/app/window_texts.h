// Texts and small rules of the main window that do not need a window: the
// captions, the label colours, the tray tip and the home-page address.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace app {

inline constexpr const char* kProductCaption = "Torvane AntiVirus 2008™";
inline constexpr const char* kBusyMessage = "검사 중에는 다른 곳으로 이동 할 수 없습니다.";

// The label colour of a static control (0x00BBGGRR), or nullopt: unchanged.
std::optional<uint32_t> labelColour(int controlId);

// The tray tip: product caption, database version and last update.
std::string trayTipText(std::string_view versionText, std::string_view lastUpdateText);

// The server address from the "ServerUrl" setting: an http:// or https://
// address without a trailing slash, or the default one.
inline constexpr const char* kDefaultServerUrl = "http://127.0.0.1:8080";
std::string serverUrlFrom(std::string_view stored);

}  // namespace app
