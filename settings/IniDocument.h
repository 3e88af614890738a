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

#include "platform/Profile.h"
#include "platform/TextRules.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantaro {

class IniDocument {
public:
    IniDocument() = default;
    explicit IniDocument(std::string text);

    // The value as the platform returns it, quotes stripped; nullopt when section or key is missing.
    std::optional<std::string> Get(const std::string& section, const std::string& key) const;
    // Every line of the section (the first of that name) in file order, each value as a read
    // of its key returns it (quotes stripped, at most 4095 bytes); empty when the section is
    // missing. As in the platform's section read, keys beginning with ';' (notes) are left out.
    std::vector<ProfileSectionEntry> SectionEntries(const std::string& section) const;
    // Replaces the value of the first matching key, or adds the key (and the section). Every
    // byte outside the written line stays as it was, and so does where each other line ends.
    void Set(const std::string& section, const std::string& key, const std::string& value);

    const std::string& Text() const { return text_; }

    // The text as a read sees it, section by section in file order (the unnamed first section
    // too): each key as a read compares it, with its value before quotes are stripped. Lines
    // that hold nothing are left out; notes (keys beginning with ';') are kept. The views point
    // into Text() and last until the next Set.
    struct KeyView {
        std::string_view name;
        std::string_view value;
        bool hasValue = false;
    };
    struct SectionView {
        std::string_view name;
        bool hasHeader = false;
        std::vector<KeyView> keys;
    };
    std::vector<SectionView> Outline() const;

private:
    // Bytes of text_: the document keeps offsets, not copies, so that parsing a large file
    // allocates little and touches little more memory than the file itself.
    struct Span {
        std::size_t begin = 0;
        std::size_t size = 0;
    };
    struct Line {
        std::size_t begin = 0;      // the line's bytes in text_, blanks included
        std::size_t end = 0;
        std::string_view Body(const std::string& text) const;
    };
    struct Entry {
        Span name;
        Span value;
        bool hasValue = false;
        std::size_t line = 0;
    };
    struct Section {
        Span name;
        std::size_t firstEntry = 0;  // its entries in entries_, one after the other
        std::size_t entryCount = 0;
        std::size_t headerLine = 0;  // index into lines_; no header for the unnamed first section
        bool hasHeader = false;
    };

    void Parse();
    const Section* FindSection(const std::string& name) const;
    std::string EndingAfter(std::size_t lineIndex) const;
    std::string_view View(Span span) const { return std::string_view(text_).substr(span.begin, span.size); }
    Span SpanOf(std::string_view part) const {
        return {static_cast<std::size_t>(part.data() - text_.data()), part.size()};
    }

    std::string text_;
    std::vector<Line> lines_;
    std::vector<Section> sections_;
    std::vector<Entry> entries_;
};

// Blanks as the profile functions see them: the C blanks and the DOS end-of-file mark.
bool IsProfileBlank(char c);
// The name without the profile blanks around it.
std::string TrimProfileBlanks(const std::string& text);
// Leading blanks, an optional sign, then decimal digits; 0 when there are none.
int LeadingDecimal(const std::string& text);
// The platform's section read as entries: "key=value" lines, each ended by a NUL, the value
// taken as a read of its key returns it: enclosing quotes stripped, then the whole characters
// (by the code page's lead bytes) that fit 4095 bytes.
std::vector<ProfileSectionEntry> ParseSectionLines(const std::string& lines, LeadByteTest isLeadByte = nullptr);
// A key among the entries of a section, by the rules above: the first line of the name
// decides; nullopt when it is missing or has no value. For every key that does not begin with
// ';' this is what a read of the key gives.
std::optional<std::string> FindSectionValue(const std::vector<ProfileSectionEntry>& entries, const std::string& key);

// Reads of a document as the platform's profile functions read a file: a string stops at
// kMaxProfileString bytes; an integer is the leading decimal of the value's first 29
// characters (the platform reads it into 30), and an empty value reads like a missing one.
std::string ProfileString(const IniDocument& document, const std::string& section, const std::string& key,
                          const std::string& defaultValue);
int ProfileInt(const IniDocument& document, const std::string& section, const std::string& key, int defaultValue);

} // namespace vantaro
