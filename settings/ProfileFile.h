#pragma once
// Writing values into the settings file without disturbing anything else in it.
//
// The platform's profile functions read a file in the ANSI code page, or, after a byte-order
// mark, as UTF-8 or UTF-16. Wine's writer reads the whole file into its own form and writes
// that back: blank lines, blanks around names and values, line endings, bytes the code page
// cannot carry (invalid GBK becomes '?') and everything after a NUL on a line are lost with the
// first save. The program therefore edits the file's bytes itself: the written key's value
// changes, a missing key or section is added, and every other byte stays where it was. The
// platform still does all the reading, and a write is checked by reading it back through it.

#include "platform/Profile.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantaro {

enum class ProfileEncoding { Ansi, Utf8, Utf16LittleEndian, Utf16BigEndian };

// How the profile functions take a file's bytes: by its byte-order mark, ANSI without one.
ProfileEncoding DetectProfileEncoding(std::string_view bytes);

// UTF-16 as bytes that every sequence of code units survives: UTF-8, with a lone surrogate
// written as the three bytes its value would take. Line ends, blanks, brackets, quotes and
// the equals sign keep their one-byte values, so IniDocument edits such text as it is.
std::string Utf16ToWtf8(std::u16string_view units);
// Back again; nothing when the bytes are not of that form.
std::optional<std::u16string> Wtf8ToUtf16(std::string_view bytes);

// The platform's conversion of ANSI bytes (the system code page) to UTF-16.
using AnsiToUtf16 = std::function<std::u16string(const std::string&)>;

// A name or value that a line of the file can carry: no line break and no NUL (which would end
// the line for the platform), and a key that neither starts like a section header nor holds
// an equals sign.
bool CanWriteProfileValue(const std::string& section, const std::string& key, const std::string& value);

// The file's bytes with `entries` written into `section` (each value as StoredProfileValue
// stores it), in the file's own encoding. Nothing
// when a name or value cannot be written (CanWriteProfileValue) or the file's text cannot be
// carried through its encoding unchanged.
std::optional<std::string> WriteProfileValues(const std::string& file, const std::string& section,
                                              const std::vector<ProfileEntry>& entries, const AnsiToUtf16& toUtf16);

// The value as its line stores it, so that the platform reads it back exactly as given: a read
// drops the blanks around a value and one pair of enclosing quotes, so a value with blanks at
// either end, or itself enclosed in matching quotes, is stored in one more pair of double quotes.
std::string StoredProfileValue(const std::string& value);

// Whether `read`, a value read back through the platform after `written` was stored, is the
// value as given; a read stops at kMaxProfileString bytes.
bool ReadsBackAsWritten(const std::string& read, const std::string& written);

} // namespace vantaro
