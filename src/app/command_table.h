// Where each command of the main window goes: the frame itself, or the page
// or subsystem that owns it. The window dispatches every WM_COMMAND through
// this table, so a command id is routed exactly once.
#pragma once

#include <optional>
#include <span>

namespace app {

enum class CommandOwner {
  Frame,        // the shell: pages, tray, show and hide, menus, exit
  ScanPage,     // scan, stop, remedy, scan type
  Options,      // the eight option boxes and the two option tray commands
  Update,       // the update check
  Optimisation, // the junk-file search and its delete
  ActiveX,
  ProcessStartup,
  Plugins,
  RealTime,     // the trusted-zone manager
};

struct CommandRoute {
  int id;
  CommandOwner owner;
};

std::span<const CommandRoute> commandRoutes();
std::optional<CommandOwner> ownerOf(int commandId);

// Command ids of the main window's menus and buttons that more than one
// piece needs to name.
namespace command {
inline constexpr int kCancel = 2;  // IDCANCEL: ends the program
inline constexpr int kClose = 1010;
inline constexpr int kTabInformation = 1011;
inline constexpr int kTabScan = 1012;
inline constexpr int kTabUpdate = 1013;
inline constexpr int kTabTools = 1014;
inline constexpr int kTabHelp = 1015;
inline constexpr int kScan = 1021;
inline constexpr int kStop = 1022;
inline constexpr int kRemedy = 1023;
inline constexpr int kScanType = 1024;
inline constexpr int kSearch = 1036;
inline constexpr int kDelete = 1037;
inline constexpr int kToolsTweak = 1042;
inline constexpr int kToolsActiveX = 1043;
inline constexpr int kToolsProcess = 1044;
inline constexpr int kToolsStartup = 1045;
inline constexpr int kToolsPlugins = 1046;
inline constexpr int kToolsOptions = 1047;
inline constexpr int kQuickScan = 32771;
inline constexpr int kFullScan = 32772;
inline constexpr int kProgramInfo = 32773;
inline constexpr int kHomePage = 32774;
inline constexpr int kTrayReturn = 32775;
inline constexpr int kTrayExit = 32776;
inline constexpr int kTrayOpen = 32777;
inline constexpr int kTrayProgramInfo = 32778;
inline constexpr int kTrayHomePage = 32779;
inline constexpr int kTrayUpdate = 32780;
inline constexpr int kTraySettings = 32781;
inline constexpr int kTrayHide = 32783;
inline constexpr int kTrayRealTime = 32784;
inline constexpr int kTrayTrustedZone = 32785;
inline constexpr int kTrayAutoRun = 32787;
}  // namespace command

}  // namespace app
