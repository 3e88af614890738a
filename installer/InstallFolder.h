#pragma once
// Where the packages may install, decided without Windows: the paths are UTF-8.

#include <string>
#include <vector>

namespace vantaro::installer {

// True when `folder` lies inside one of `programFolders` (Program Files and its 32-bit twin),
// whose access a new folder inherits: administrators and SYSTEM may change it, users only read
// and run it. Names match without regard to ASCII case; a path that climbs out with "." or
// ".." segments is taken to lie elsewhere. Any other folder needs that access set on it.
bool InheritsProgramFilesAccess(const std::string& folder, const std::vector<std::string>& programFolders);

} // namespace vantaro::installer
