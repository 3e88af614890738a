#pragma once
// The rules of the platform's initialization-file functions, in portable code: the host tests
// read and write settings files through this, and a Windows test holds it to the platform's
// own GetPrivateProfileStringA on the same files.
//
// - A line is split at the first '\n' (or, with none left, at the first '\r'); blanks around a
//   line are not part of it.
// - "[name]" starts a section; the name is what stands between '[' and the last ']', without
//   the blanks around it.
// - "key=value": blanks around the key and the value are dropped; a line without '=' is a key
//   with no value, which reads as missing. Keys before the first section belong to a section
//   with an empty name.
// - Names match without regard to ASCII letter case; the names asked for are trimmed first.
//   The first section of a name is the only one searched, and its first key of a name wins.
// - A value wholly enclosed in matching single or double quotes is returned without them.

#include <optional>
#include <string>
#include <vector>

namespace vantaro {

class IniDocument {
public:
    IniDocument() = default;
    explicit IniDocument(std::string text);

    // The value as the platform returns it, quotes stripped; nullopt when section or key is missing.
    std::optional<std::string> Get(const std::string& section, const std::string& key) const;
    // The names of the first matching section's keys that have a value, in file order; blank
    // names and notes (";...") are not listed, as with the platform.
    std::vector<std::string> KeyNames(const std::string& section) const;
    // Replaces the value of the first matching key, or adds the key (and the section). Every
    // byte outside the written line stays as it was, and so does where each other line ends.
    void Set(const std::string& section, const std::string& key, const std::string& value);

    const std::string& Text() const { return text_; }

private:
    struct Line {
        std::size_t begin = 0;      // the line's bytes in text_, blanks included
        std::size_t end = 0;
        std::string_view Body(const std::string& text) const;
    };
    struct Entry {
        std::string name;
        std::optional<std::string> value;
        std::size_t line = 0;
    };
    struct Section {
        std::string name;
        std::vector<Entry> entries;
        std::size_t headerLine = 0;  // index into lines_; no header for the unnamed first section
        bool hasHeader = false;
    };

    void Parse();
    const Section* FindSection(const std::string& name) const;
    std::string EndingAfter(std::size_t lineIndex) const;

    std::string text_;
    std::vector<Line> lines_;
    std::vector<Section> sections_;
};

// Blanks as the profile functions see them: the C blanks and the DOS end-of-file mark.
bool IsProfileBlank(char c);
// The name without the profile blanks around it.
std::string TrimProfileBlanks(const std::string& text);
// Leading blanks, an optional sign, then decimal digits; 0 when there are none.
int LeadingDecimal(const std::string& text);

} // namespace vantaro
