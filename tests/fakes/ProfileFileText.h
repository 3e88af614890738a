#pragma once
// A settings file's text as the program's writer edits it: the bytes after a UTF-8 mark, and
// UTF-16 of either byte order as WTF-8 (lone surrogates kept), without a last odd byte, which
// belongs to no character.

#include "settings/ProfileFile.h"

#include <string>

namespace vantaro::testing {

inline std::string ProfileFileText(const std::string& bytes) {
    const ProfileEncoding encoding = DetectProfileEncoding(bytes);
    switch (encoding) {
    case ProfileEncoding::Ansi:
        return bytes;
    case ProfileEncoding::Utf8:
        return bytes.substr(3);
    case ProfileEncoding::Utf16LittleEndian:
    case ProfileEncoding::Utf16BigEndian: {
        const bool big = encoding == ProfileEncoding::Utf16BigEndian;
        std::u16string units;
        for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
            const auto a = static_cast<unsigned char>(bytes[i]), b = static_cast<unsigned char>(bytes[i + 1]);
            units += static_cast<char16_t>(big ? (a << 8) | b : (b << 8) | a);
        }
        return Utf16ToWtf8(units);
    }
    }
    return bytes;
}

} // namespace vantaro::testing
