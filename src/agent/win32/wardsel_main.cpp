// Wardsel: the real-time agent. No arguments; its one window never shows.
#include <windows.h>
#include <commctrl.h>

#include "agent/win32/agent_window.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  agent::AgentWindow window;
  if (!window.create()) return 1;
  return ui::Dialog::runMessageLoop();
}
