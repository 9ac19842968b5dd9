// Reading the windows of another process, as a user's tools would: the rows
// of a list view (through memory of that process) and its message boxes.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace testing_support {

// The texts of every row of list view `list` (another process's), columns 0 … columns-1.
std::vector<std::vector<std::string>> remoteListRows(HWND list, int columns);

// A visible top-level window of class `className` owned by `owner` (of any
// thread or process), or null. Message boxes are "#32770".
HWND findOwnedWindow(HWND owner, const wchar_t* className = L"#32770");
std::string remoteText(HWND window);

}  // namespace testing_support
