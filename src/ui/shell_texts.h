// Texts the dialog layer shapes for the shell: the tray tip and the
// application's default message-box caption.
#pragma once

#include <string>
#include <string_view>

namespace ui {

inline constexpr size_t kTrayTipBytes = 63;

// The tray keeps a tip of at most 63 bytes in its CP949 form; a double-byte
// character that would be split is dropped whole.
std::string cutTrayTip(std::string_view utf8);

// The program file's name without its extension ("torvane" for
// "C:\…\torvane.exe").
std::string applicationCaption(std::string_view programPath);

}  // namespace ui
