#pragma once
// The settings file's rules written out once more for the fuzz targets' checks, so that the
// program's own code is not checked against itself.

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace vantaro::fuzz::rules {

inline bool Blank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f' || c == '\x1a';
}

inline std::string Trimmed(const std::string& text) {
    std::size_t begin = 0, end = text.size();
    while (begin < end && Blank(text[begin])) ++begin;
    while (end > begin && Blank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

inline std::string Folded(const std::string& text) {
    std::string folded = Trimmed(text);
    for (char& c : folded)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return folded;
}

inline std::string AsRead(const std::string& value) {
    std::string read = Trimmed(value);
    if (read.size() >= 2 && (read.front() == '"' || read.front() == '\'') && read.back() == read.front())
        read = read.substr(1, read.size() - 2);
    return read;
}

inline bool HoldsLineBreak(const std::string& text) {
    return text.find_first_of("\r\n") != std::string::npos;
}

// A name that a written line can carry: no line break, and a key that would not turn its line
// into a section header or split at its own '='.
inline bool Writable(const std::string& section, const std::string& key, const std::string& value) {
    const std::string trimmedKey = Trimmed(key);
    return !HoldsLineBreak(section) && !HoldsLineBreak(key) && !HoldsLineBreak(value) &&
           trimmedKey.find('=') == std::string::npos && (trimmedKey.empty() || trimmedKey.front() != '[');
}

// The lines of a text, each with its ending. Lines end at the next '\n', or, with none left in
// the file, at the next '\r'.
inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t position = 0;
    while (position < text.size()) {
        std::size_t next = text.find('\n', position);
        if (next == std::string::npos) next = text.find('\r', position);
        const std::size_t end = next == std::string::npos ? text.size() : next + 1;
        lines.push_back(text.substr(position, end - position));
        position = end;
    }
    return lines;
}

// Every line of the old text but one is still there, byte for byte with its ending, and in its
// place: a write changes the written key's line (or gives the last line an ending) and adds at
// most a section header and the key's line.
inline bool ChangedWithinOneLine(const std::string& before, const std::string& after) {
    const std::vector<std::string> old = Lines(before);
    const std::vector<std::string> now = Lines(after);
    const std::size_t shorter = std::min(old.size(), now.size());
    std::size_t prefix = 0;
    while (prefix < shorter && old[prefix] == now[prefix]) ++prefix;
    std::size_t suffix = 0;
    while (suffix < shorter - prefix && old[old.size() - 1 - suffix] == now[now.size() - 1 - suffix]) ++suffix;
    return old.size() - prefix - suffix <= 1 && now.size() - prefix - suffix <= 3;
}

// The bytes readable on a terminal, for the report of a broken property.
inline std::string Shown(const std::string& text) {
    std::string shown;
    for (unsigned char c : text) {
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            shown += static_cast<char>(c);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
            shown += escaped;
        }
    }
    return shown;
}

} // namespace vantaro::fuzz::rules
