#pragma once
// Small text rules that several subsystems and both helper tools share, each written once.
// Header only: the helper tools include it and link nothing of Vantaro's.

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

namespace vantaro {

// Whole-string comparison ignoring the case of ASCII letters only, as the platform compares
// device ids, class GUIDs and profile names.
inline bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return true;
}

// The text with its ASCII letters in upper case (phones answer "ok" as well as "OK").
inline std::string AsciiUpper(std::string_view text) {
    std::string upper(text);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return upper;
}

// The text with its ASCII letters in lower case: a key under which names that differ only in
// letter case meet.
inline std::string AsciiLower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

// The text without the given characters at either end.
inline std::string_view TrimmedOf(std::string_view text, std::string_view characters) {
    const std::size_t first = text.find_first_not_of(characters);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(characters) - first + 1);
}

// The C library's atoi as the platform's runtime has it: blanks, a sign, then digits up to the
// first other character; 0 when there are none. A number beyond the range of a 32-bit int
// stops at the nearest limit.
inline std::int32_t LeadingInteger(std::string_view text) {
    constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
    std::size_t at = 0;
    while (at < text.size() && (text[at] == ' ' || (text[at] >= '\t' && text[at] <= '\r'))) ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
    std::int64_t value = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at)
        if ((value = value * 10 + (text[at] - '0')) > kMax + 1) value = kMax + 1;
    if (negative) return static_cast<std::int32_t>(-value);
    return static_cast<std::int32_t>(value > kMax ? kMax : value);
}

// A setting that must be a plain count: blanks around it allowed, then decimal digits only, at
// most `largest`. Nothing for an empty text, a sign, any other character or a larger number, so
// that "-1", "5s" and "99999999999999999999" are told apart from a number and never wrap.
inline std::optional<std::uint64_t> WholeDecimal(std::string_view text, std::uint64_t largest) {
    const std::string_view digits = TrimmedOf(text, " \t\r\n\v\f");
    if (digits.empty()) return std::nullopt;
    std::uint64_t value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        const std::uint64_t digit = static_cast<std::uint64_t>(c - '0');
        if (digit > largest || value > (largest - digit) / 10) return std::nullopt;
        value = value * 10 + digit;
    }
    return value;
}

// Appends the code point as UTF-8: one to four bytes. A surrogate (U+D800 to U+DFFF) is written
// as its own three bytes, as WTF-8 keeps an unpaired one; callers that want strict UTF-8 replace
// it first.
inline void AppendUtf8(std::string& bytes, std::uint32_t codePoint) {
    if (codePoint < 0x80) {
        bytes += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        bytes += static_cast<char>(0xC0 | (codePoint >> 6));
        bytes += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        bytes += static_cast<char>(0xE0 | (codePoint >> 12));
        bytes += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        bytes += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        bytes += static_cast<char>(0xF0 | (codePoint >> 18));
        bytes += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        bytes += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        bytes += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

// Whether a byte starts a double-byte character in the ANSI code page (GBK on a Chinese
// system). The code page's own test is Windows' (platform/win32/CodePage.h); portable
// rules take it as an argument, null where every character is one byte.
using LeadByteTest = bool (*)(unsigned char);

} // namespace vantaro
