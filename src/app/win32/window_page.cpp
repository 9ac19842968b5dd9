#include "app/win32/window_page.h"

#include "common/text.h"

namespace app {

void StartupTables::waitUntilLoaded() const {
  databaseReader.wait(INFINITE);
  processLoader.wait(INFINITE);
  digestLoader.wait(INFINITE);
}

uint64_t fileStamp(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(text::widen(path).c_str(), GetFileExInfoStandard, &data)) return 0;
  const uint64_t time = (uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) | data.ftLastWriteTime.dwLowDateTime;
  const uint64_t size = (uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
  return time * 1000003u ^ size;
}

void WindowContext::setText(int id, const std::string& text) const {
  SetDlgItemTextW(window, id, text::widen(text).c_str());
}

}  // namespace app
