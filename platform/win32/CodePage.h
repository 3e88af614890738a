#pragma once
// The program's texts and the platform's: the ANSI code page (GBK on a Chinese Windows), UTF-8
// and UTF-16, and the conversions between them, each written once. The program keeps its texts
// as ANSI bytes and converts only at the edge that needs another form: a wide call, a console, a
// UTF-8 file, a package's properties. Header only: the helper tools include it and link nothing
// of Vantaro's.
//
// A text longer than the platform's calls take (INT_MAX units) converts to nothing.

#include <windows.h>

#include <climits>
#include <optional>
#include <string>
#include <string_view>

namespace vantaro {

// Whether a byte starts a double-byte character in the ANSI code page, for the portable rules
// that take a LeadByteTest (platform/TextRules.h).
inline bool IsAnsiLeadByte(unsigned char byte) { return ::IsDBCSLeadByte(byte) != FALSE; }

namespace codepage {

inline bool Fits(std::size_t size) { return size > 0 && size <= static_cast<std::size_t>(INT_MAX); }

// The bytes in that code page as UTF-16; `flags` as MultiByteToWideChar takes them. Nothing when
// the platform refuses them (with MB_ERR_INVALID_CHARS: a byte sequence the code page lacks).
inline std::optional<std::wstring> Widened(UINT codePage, DWORD flags, std::string_view bytes) {
    if (bytes.empty()) return std::wstring();
    if (!Fits(bytes.size())) return std::nullopt;
    const int size = static_cast<int>(bytes.size());
    const int length = ::MultiByteToWideChar(codePage, flags, bytes.data(), size, nullptr, 0);
    if (length <= 0) return std::nullopt;
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    if (::MultiByteToWideChar(codePage, flags, bytes.data(), size, &wide[0], length) != length) return std::nullopt;
    return wide;
}

// The UTF-16 text in that code page. With `usedDefault` given (the ANSI code page only), no
// best-fit look-alike is taken and it says whether a character had to become the default one.
inline std::optional<std::string> Narrowed(UINT codePage, std::wstring_view wide, BOOL* usedDefault) {
    if (wide.empty()) return std::string();
    if (!Fits(wide.size())) return std::nullopt;
    const int size = static_cast<int>(wide.size());
    const DWORD flags = usedDefault ? WC_NO_BEST_FIT_CHARS : 0;
    const int length = ::WideCharToMultiByte(codePage, flags, wide.data(), size, nullptr, 0, nullptr, usedDefault);
    if (length <= 0) return std::nullopt;
    std::string bytes(static_cast<std::size_t>(length), '\0');
    if (::WideCharToMultiByte(codePage, flags, wide.data(), size, &bytes[0], length, nullptr, usedDefault) != length)
        return std::nullopt;
    return bytes;
}

} // namespace codepage

// ANSI bytes as UTF-16; every byte sequence has a form there (empty when the platform fails).
inline std::wstring WideFromAnsi(std::string_view ansi) {
    return codepage::Widened(CP_ACP, 0, ansi).value_or(std::wstring());
}

// UTF-8 as UTF-16, a byte that is not UTF-8 becoming U+FFFD.
inline std::wstring WideFromUtf8(std::string_view utf8) {
    return codepage::Widened(CP_UTF8, 0, utf8).value_or(std::wstring());
}

// UTF-8 as UTF-16; nothing when the bytes are not UTF-8, so that no name is guessed at.
inline std::optional<std::wstring> WideFromValidUtf8(std::string_view utf8) {
    return codepage::Widened(CP_UTF8, MB_ERR_INVALID_CHARS, utf8);
}

// UTF-16 in the ANSI code page, a character that it lacks becoming '?' or its best-fit look-alike.
inline std::string AnsiFromWide(std::wstring_view wide) {
    return codepage::Narrowed(CP_ACP, wide, nullptr).value_or(std::string());
}

// UTF-16 in the ANSI code page, the one Setting.ini and the program speak; nothing when a
// character has no exact form there (no best-fit look-alike is taken, and the bytes must read
// back as the same text).
inline std::optional<std::string> ExactAnsiFromWide(std::wstring_view wide) {
    BOOL usedDefault = FALSE;
    std::optional<std::string> ansi = codepage::Narrowed(CP_ACP, wide, &usedDefault);
    if (!ansi || usedDefault || WideFromAnsi(*ansi) != wide) return std::nullopt;
    return ansi;
}

// UTF-16 as UTF-8 (an unpaired surrogate becomes U+FFFD).
inline std::string Utf8FromWide(std::wstring_view wide) {
    return codepage::Narrowed(CP_UTF8, wide, nullptr).value_or(std::string());
}

// ANSI bytes as UTF-8 (Vantaro.log is UTF-8 whatever the code page).
inline std::string Utf8FromAnsi(std::string_view ansi) { return Utf8FromWide(WideFromAnsi(ansi)); }

// UTF-8 (the operator database, the English defaults) in the ANSI code page, a character that
// it lacks becoming '?'. Text that is not UTF-8 comes back unchanged.
inline std::string AnsiFromUtf8(const std::string& utf8) {
    const std::optional<std::wstring> wide = WideFromValidUtf8(utf8);
    if (!wide || wide->empty()) return utf8;
    const std::string ansi = AnsiFromWide(*wide);
    return ansi.empty() ? utf8 : ansi;
}

// The same UTF-16 units as the portable code keeps them (char16_t) and as the platform's wide
// calls take them (wchar_t, 16 bits on Windows).
static_assert(sizeof(wchar_t) == sizeof(char16_t));
inline std::u16string Utf16FromWide(std::wstring_view wide) { return std::u16string(wide.begin(), wide.end()); }
inline std::wstring WideFromUtf16(std::u16string_view units) { return std::wstring(units.begin(), units.end()); }
inline std::u16string Utf16FromAnsi(std::string_view ansi) { return Utf16FromWide(WideFromAnsi(ansi)); }
inline std::optional<std::string> ExactAnsiFromUtf16(std::u16string_view units) {
    return ExactAnsiFromWide(WideFromUtf16(units));
}

} // namespace vantaro
