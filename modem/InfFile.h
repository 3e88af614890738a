#pragma once
// A driver setup file (INF) read as the platform's setup functions read it, in portable code:
//
// - Text: UTF-16LE with its byte-order mark, or UTF-8 with its byte-order mark, is read as
//   Unicode and handed out as UTF-8; anything else is taken as bytes of the system code page.
//   A NUL reads as a blank; Ctrl-Z (0x1A) ends the file.
// - Lines end at '\n'; a '\r' is a blank. A '\' followed by nothing but blanks (and a note)
//   up to the line end joins the next line to this one; elsewhere it is an ordinary character.
// - ';' outside quotes starts a note that runs to the line end.
// - "[name]" starts a section; the name is what stands between the brackets, blanks included,
//   and the rest of the line is ignored. Sections of one name are one section, their lines in
//   file order. Names (of sections and keys) match without regard to ASCII letter case.
// - A line is "key = field, field, ..." or "field, field, ...": blanks around each part are
//   dropped; a ',' before any '=' means the line has no key. Text in double quotes is taken as
//   it stands (blanks, ',', ';', '=', '\' included), with "" for one quote; quotes can start
//   anywhere in a field and end at the line end at the latest.
// - %name% in a key or a field stands for the value of name in the one Strings section chosen
//   for the language (looked up when the line is read, so it may come last); %% is one '%'; a
//   name that section does not have (a directory number such as %12% among them) stays as it
//   stands. The section chosen is [Strings.<language id>] in hexadecimal (0804), else the one
//   of the primary language with no sub-language (0004), else [Strings], else the first
//   [Strings.<language id>] of the file.
// - The file is not one the platform opens (Valid() is false) when a line that is not a note
//   comes before the first section, or a section's name has no ']' or is longer than 255
//   characters.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vantaro {

struct InfLine {
    bool hasKey = false;
    std::string key;                  // %strings% resolved; empty when the line has none
    std::vector<std::string> fields;  // the values after '=' (or the whole line), resolved
};

class InfFile {
public:
    // `languageId` is the running Windows' LANGID (0x0409 English, United States).
    explicit InfFile(std::string_view bytes, std::uint16_t languageId = 0x0409);

    bool Valid() const { return errorLine_ == 0; }
    // 1-based line of the first fault that makes the platform refuse the file; 0 when none.
    std::size_t ErrorLine() const { return errorLine_; }
    // True when the file was UTF-16 or UTF-8 with a byte-order mark: names and values are UTF-8.
    bool Unicode() const { return unicode_; }

    bool HasSection(std::string_view name) const;
    // The sections' names, each once, in the order they first appear.
    std::vector<std::string> SectionNames() const;
    // Every line of the section, in file order; empty when there is no such section.
    std::vector<InfLine> Lines(std::string_view section) const;
    // The first field of the section's first line with that key (the first line of any key
    // found when several share it), resolved; nothing when there is none.
    std::optional<std::string> Value(std::string_view section, std::string_view key) const;

private:
    struct Span {
        std::size_t begin = 0;
        std::size_t size = 0;
    };
    struct RawLine {
        bool hasKey = false;
        Span key;
        std::size_t firstField = 0;  // index into fields_
        std::size_t fieldCount = 0;
    };
    struct Section {
        std::string name;
        std::vector<std::size_t> lines;  // indexes into lines_
    };
    class Parser;

    const Section* Find(std::string_view name) const;
    const Section* StringsSection(std::uint16_t languageId) const;
    std::string Resolve(Span raw) const;
    InfLine Resolved(const RawLine& line) const;

    std::string text_;    // every key and field, one after the other, as written (quotes gone)
    std::vector<Span> fields_;
    std::vector<RawLine> lines_;
    std::vector<Section> sections_;
    std::unordered_map<std::string, std::size_t> sectionIndex_;  // lower-case name -> sections_
    std::unordered_map<std::string, Span> strings_;              // lower-case name -> value
    std::size_t errorLine_ = 0;
    bool unicode_ = false;
};

// Whether the bytes are an INF that the platform reads as Unicode (UTF-16LE or UTF-8 with a
// byte-order mark), so that the names in it are handed out as UTF-8.
bool InfTextIsUnicode(std::string_view bytes);

// ASCII letters in lower case, every other byte as it is: how INF names are compared.
std::string InfNameKey(std::string_view name);

} // namespace vantaro
