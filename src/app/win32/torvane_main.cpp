// torvane.exe: the main window, run modally until the program ends.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "app/win32/main_window.h"
#include "common/text.h"

namespace {

// The arguments after the program name, leading blanks removed.
std::string argumentsOf(const wchar_t* commandLine) {
  while (*commandLine == L' ' || *commandLine == L'\t') ++commandLine;
  return text::narrow(commandLine);
}

// How long the end of the program waits for workers that still run (a scan
// stops at its next step); what still runs then ends with the process.
constexpr uint32_t kWorkerExitWaitMs = 3000;

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, wchar_t* commandLine, int) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  {
    app::MainWindow window(argumentsOf(commandLine));
    window.run();
    if (!window.waitForWorkers(kWorkerExitWaitMs)) ExitProcess(0);
  }
  return 0;
}
