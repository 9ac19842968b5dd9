#include "app/win32/window_page.h"

#include "common/text.h"

namespace app {

void StartupTables::waitUntilLoaded() const {
  processLoader.wait(INFINITE);
  digestLoader.wait(INFINITE);
}

void WindowContext::setText(int id, const std::string& text) const {
  SetDlgItemTextW(window, id, text::widen(text).c_str());
}

}  // namespace app
