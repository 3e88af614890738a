#pragma once
// Where the running program lives, and its name.

#include <string>

namespace vantaro {

// Full path of the running exe (ANSI).
std::string ExecutablePath();
// The folder of the running exe, without a trailing backslash.
std::string ExecutableFolder();
// The exe's base name without its extension ("Vantaro"): the title of the message boxes.
std::string ApplicationTitle();
// Finds a file on the executable search path (SearchPathA with no path); empty when not found.
std::string SearchExecutablePath(const std::string& fileName);

} // namespace vantaro
