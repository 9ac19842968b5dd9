// What a console program needs at its edges: its arguments as UTF-8, and
// UTF-8 output on a Windows console.
#pragma once

#include <string>
#include <vector>

namespace cli {

// The arguments after the program name, UTF-8 (wide command line on Windows).
std::vector<std::string> programArguments(int argc, char** argv);

// Makes a Windows console show UTF-8 output; nothing elsewhere.
void useUtf8Console();

}  // namespace cli
