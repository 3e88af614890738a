#include "modem/win32/Win32FileSearch.h"

#include "platform/win32/ModulePath.h"

namespace vantaro {

Win32FileSearch::Win32FileSearch() : programFolder_(ExecutableFolder()) {}

std::string Win32FileSearch::SearchExecutablePath(const std::string& fileName) {
    return vantaro::SearchExecutablePath(fileName);
}

} // namespace vantaro
