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
// `fileName` in the folder of the running exe, and whether a file (not a folder) is there.
struct FileBesideExecutable {
    std::string path;
    bool exists = false;
};
FileBesideExecutable FindBesideExecutable(const std::string& fileName);
// Finds a file on the executable search path (SearchPathA with no path); empty when not found.
std::string SearchExecutablePath(const std::string& fileName);

} // namespace vantaro
