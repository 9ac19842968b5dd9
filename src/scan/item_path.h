// Turning a stored file-item path into the path on this machine.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace scan {

// What expansion needs to know about the machine. The Win32 side fills it
// (currentItemPathContext); tests fill it by hand.
struct ItemPathContext {
  std::string userName;
  std::string windowsFolder;    // ends in a backslash
  std::string commonStartMenu;  // all users' Start-menu folder; empty when unknown
  std::string userPrograms;     // this user's Start-menu Programs folder; empty when unknown
  std::function<bool(const std::string&)> exists;  // file or folder exists
};

enum class Expansion {
  DesktopAndWindows,  // the table loaders and the agent
  All,                // the scan also finds program-group folders
};

std::string expandItemPath(std::string_view path, std::string_view kind,
                           const ItemPathContext& context, Expansion expansion);

// The program-group folder for a stored relative path: the first candidate
// that exists, else the path as stored.
std::string expandProgramGroup(std::string_view path, const ItemPathContext& context);

}  // namespace scan
