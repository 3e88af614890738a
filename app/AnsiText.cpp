#include "app/AnsiText.h"

#include <windows.h>

#include <climits>
#include <vector>

namespace vantaro {

std::string Utf8ToAnsi(const std::string& utf8) {
    if (utf8.empty() || utf8.size() > static_cast<std::size_t>(INT_MAX / 4)) return utf8;
    const int length = static_cast<int>(utf8.size());
    const int wideLength = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), length, nullptr, 0);
    if (wideLength <= 0) return utf8;
    std::vector<wchar_t> wide(static_cast<std::size_t>(wideLength));
    if (::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), length, wide.data(), wideLength) != wideLength)
        return utf8;
    const int ansiLength = ::WideCharToMultiByte(CP_ACP, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    if (ansiLength <= 0) return utf8;
    std::string ansi(static_cast<std::size_t>(ansiLength), '\0');
    if (::WideCharToMultiByte(CP_ACP, 0, wide.data(), wideLength, ansi.data(), ansiLength, nullptr, nullptr) != ansiLength)
        return utf8;
    return ansi;
}

} // namespace vantaro
