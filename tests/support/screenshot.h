// Screenshots of windows for a person to look at: the window's area of the
// screen saved as a PNG in the folder TORVANE_SCREENSHOT_DIR names.
#pragma once

#include <windows.h>

#include <string>

namespace testing_support {

// Saves `name`.png; the path written, or empty when nothing was saved.
std::string saveScreenshot(HWND window, const std::string& name);

}  // namespace testing_support
