// Where the system keeps its settings and shared state in the registry, and
// the texts its values hold. Every key path and value name is spelled here once.
#pragma once

#include "platform/registry.h"

namespace keys {

// All of the system's own keys live under HKEY_LOCAL_MACHINE.
inline constexpr platform::RootKey kRoot = platform::RootKey::LocalMachine;

inline constexpr const char* kMain = "SOFTWARE\\Torvane_KOR";
inline constexpr const char* kFileType = "SOFTWARE\\Torvane_KOR\\FileType";
inline constexpr const char* kConfidence = "SOFTWARE\\Torvane_KOR\\Confidence";
inline constexpr const char* kConfidenceFile = "SOFTWARE\\Torvane_KOR\\Confidence\\File";
inline constexpr const char* kConfidenceReg = "SOFTWARE\\Torvane_KOR\\Confidence\\Reg";

// The Windows start-up key (HKEY_CURRENT_USER for the "AutoRun" entry; the
// agent watches it under both roots).
inline constexpr const char* kRun = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

// Values of kMain.
namespace value {
inline constexpr const char* kAutoUpdate = "AutoUpdate";
inline constexpr const char* kAutoRun = "AutoRun";
inline constexpr const char* kAutoRemedy = "AutoRemedy";
inline constexpr const char* kAutoMenu = "AutoMenu";
inline constexpr const char* kRealTime = "RealTime";
inline constexpr const char* kScanPath = "ScanPath";
inline constexpr const char* kRealTimeMsg = "RealTimeMsg";
inline constexpr const char* kTweakOptions = "TweakOptions";
inline constexpr const char* kScanLocation = "ScanLocation";
inline constexpr const char* kHwnd = "hwnd";
inline constexpr const char* kHwndAgent = "hwnd_agent";
inline constexpr const char* kLastScanDate = "LastScanDate";
inline constexpr const char* kQuickScan = "QuickScan";
inline constexpr const char* kFullScan = "FullScan";
inline constexpr const char* kMessage = "Message";
}  // namespace value

// The main program's entry in the Run key of HKEY_CURRENT_USER.
inline constexpr const char* kRunEntryName = "Torvane_KOR";

// Texts of on/off values and the default every read falls back to.
inline constexpr const char* kOn = "1";
inline constexpr const char* kOff = "0";
inline constexpr const char* kDefault = "default";
inline constexpr const char* kNoWindow = "0";  // default of the window-handle values

}  // namespace keys
