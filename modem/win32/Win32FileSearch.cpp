#include "modem/win32/Win32FileSearch.h"

#include "platform/win32/CodePage.h"
#include "platform/win32/ModulePath.h"
#include "platform/win32/WholeFile.h"

#include <windows.h>

namespace vantaro {

Win32FileSearch::Win32FileSearch() : programFolder_(ExecutableFolder()) {}

std::string Win32FileSearch::SearchExecutablePath(const std::string& fileName) {
    return vantaro::SearchExecutablePath(fileName);
}

std::optional<std::string> Win32FileSearch::ReadFile(const std::string& path, std::size_t maxBytes) {
    WIN32_FILE_ATTRIBUTE_DATA attributes{};
    if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &attributes) ||
        attributes.nFileSizeHigh != 0 || attributes.nFileSizeLow > maxBytes)
        return std::nullopt;
    std::string bytes;
    if (ReadWholeFile(path, bytes) != WholeFileRead::Read || bytes.size() > maxBytes) return std::nullopt;
    return bytes;
}

bool Win32FileSearch::FileExists(const std::string& path) {
    if (::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
    // A Unicode INF names its files in UTF-8.
    const std::optional<std::wstring> wide = WideFromValidUtf8(path.c_str());
    return wide && ::GetFileAttributesW(wide->c_str()) != INVALID_FILE_ATTRIBUTES;
}

} // namespace vantaro
