#include "installer/InstallFolder.h"

#include "platform/TextRules.h"

#include <string_view>

namespace vantaro::installer {
namespace {

std::string_view WithoutTrailingSeparators(std::string_view path) {
    while (!path.empty() && (path.back() == '\\' || path.back() == '/')) path.remove_suffix(1);
    return path;
}

bool ClimbsOrStays(std::string_view path) {
    std::size_t at = 0;
    while (at <= path.size()) {
        const std::size_t end = std::min(path.find_first_of("\\/", at), path.size());
        const std::string_view segment = path.substr(at, end - at);
        if (segment == "." || segment == "..") return true;
        at = end + 1;
    }
    return false;
}

} // namespace

bool InheritsProgramFilesAccess(const std::string& folder, const std::vector<std::string>& programFolders) {
    const std::string_view path = WithoutTrailingSeparators(folder);
    if (path.empty() || ClimbsOrStays(path)) return false;
    for (const std::string& programs : programFolders) {
        const std::string_view root = WithoutTrailingSeparators(programs);
        if (root.empty() || path.size() < root.size()) continue;
        if (!EqualsIgnoringAsciiCase(path.substr(0, root.size()), root)) continue;
        if (path.size() == root.size() || path[root.size()] == '\\' || path[root.size()] == '/') return true;
    }
    return false;
}

} // namespace vantaro::installer
