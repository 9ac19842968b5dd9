// Facts about this machine's folders and user, as UTF-8 texts. Each returns
// the empty text when the system cannot tell.
#pragma once

#include <string>

namespace win32 {

std::string userName();                  // GetUserNameW
std::string windowsFolder();             // ends in a backslash
std::string systemFolder();              // ends in a backslash
std::string specialFolder(int csidl);    // SHGetSpecialFolderPathW, never created
std::string programFolder();             // folder of the running executable, ends in a backslash
bool pathExists(const std::string& path);  // a file or folder

inline constexpr int kCsidlPrograms = 0x02;
inline constexpr int kCsidlCommonStartMenu = 0x16;

}  // namespace win32
