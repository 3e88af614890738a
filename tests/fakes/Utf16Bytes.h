#pragma once
// A file's bytes in UTF-16 little-endian with its byte-order mark, as Notepad saves "Unicode".

#include <string>

namespace vantaro::testing {

inline std::string Utf16Le(const std::u16string& text) {
    std::string bytes = "\xFF\xFE";
    for (char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

} // namespace vantaro::testing
