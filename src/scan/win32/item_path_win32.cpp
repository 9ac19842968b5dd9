#include "scan/win32/item_path_win32.h"

#include "platform/win32/system_folders.h"

namespace scan {

ItemPathContext currentItemPathContext() {
  ItemPathContext context;
  context.userName = win32::userName();
  context.windowsFolder = win32::windowsFolder();
  context.commonStartMenu = win32::specialFolder(win32::kCsidlCommonStartMenu);
  context.userPrograms = win32::specialFolder(win32::kCsidlPrograms);
  context.exists = win32::pathExists;
  return context;
}

}  // namespace scan
