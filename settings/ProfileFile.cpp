#include "settings/ProfileFile.h"

#include "platform/TextRules.h"
#include "settings/IniDocument.h"

namespace vantaro {

namespace {

constexpr char kUtf8Mark[] = "\xEF\xBB\xBF";
constexpr std::size_t kUtf8MarkSize = 3;
constexpr std::size_t kUtf16MarkSize = 2;

bool StartsWith(std::string_view bytes, std::string_view mark) {
    return bytes.substr(0, mark.size()) == mark;
}

std::u16string DecodeUtf16(std::string_view bytes, bool bigEndian) {
    std::u16string units(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i) {
        const auto first = static_cast<unsigned char>(bytes[2 * i]);
        const auto second = static_cast<unsigned char>(bytes[2 * i + 1]);
        units[i] = static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
    }
    return units;
}

std::string EncodeUtf16(std::u16string_view units, bool bigEndian) {
    std::string bytes;
    bytes.reserve(units.size() * 2);
    for (char16_t unit : units) {
        const char high = static_cast<char>(unit >> 8);
        const char low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
}

bool HoldsLineEndOrNul(const std::string& text) {
    return text.find_first_of(std::string("\r\n\0", 3)) != std::string::npos;
}

bool IsHighSurrogate(std::uint32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(std::uint32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// The edit itself, on text in which the structure of the file is plain ASCII.
std::string SetValues(std::string text, const std::string& section, const std::vector<ProfileEntry>& entries,
                      const std::function<std::string(const std::string&)>& encode) {
    IniDocument document(std::move(text));
    for (const ProfileEntry& entry : entries)
        document.Set(encode(section), encode(entry.key), encode(StoredProfileValue(entry.value)));
    return document.Text();
}

} // namespace

ProfileEncoding DetectProfileEncoding(std::string_view bytes) {
    if (StartsWith(bytes, std::string_view(kUtf8Mark, kUtf8MarkSize))) return ProfileEncoding::Utf8;
    if (StartsWith(bytes, "\xFF\xFE")) return ProfileEncoding::Utf16LittleEndian;
    if (StartsWith(bytes, "\xFE\xFF")) return ProfileEncoding::Utf16BigEndian;
    return ProfileEncoding::Ansi;
}

std::string Utf16ToWtf8(std::u16string_view units) {
    std::string bytes;
    bytes.reserve(units.size() * 3);
    for (std::size_t i = 0; i < units.size(); ++i) {
        std::uint32_t unit = units[i];
        if (IsHighSurrogate(unit) && i + 1 < units.size() && IsLowSurrogate(units[i + 1])) {
            const std::uint32_t low = units[++i];
            unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
        }
        AppendUtf8(bytes, unit);
    }
    return bytes;
}

std::optional<std::u16string> Wtf8ToUtf16(std::string_view bytes) {
    std::u16string units;
    units.reserve(bytes.size());
    std::size_t i = 0;
    bool afterLoneHigh = false;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        std::size_t length = 0;
        std::uint32_t codePoint = 0;
        if (lead < 0x80) {
            length = 1, codePoint = lead;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2, codePoint = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3, codePoint = lead & 0x0F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4, codePoint = lead & 0x07;
        } else {
            return std::nullopt;
        }
        if (length > bytes.size() - i) return std::nullopt;
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            if ((next & 0xC0) != 0x80) return std::nullopt;
            codePoint = (codePoint << 6) | (next & 0x3F);
        }
        // Each value in its shortest form only, so that the bytes come back as they were.
        const std::uint32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (codePoint < smallest[length] || codePoint > 0x10FFFF) return std::nullopt;
        // A lone high surrogate before a lone low one would come back as one pair in four bytes.
        if (afterLoneHigh && IsLowSurrogate(codePoint)) return std::nullopt;
        afterLoneHigh = IsHighSurrogate(codePoint);
        if (codePoint >= 0x10000) {
            codePoint -= 0x10000;
            units += static_cast<char16_t>(0xD800 + (codePoint >> 10));
            units += static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF));
        } else {
            units += static_cast<char16_t>(codePoint);
        }
        i += length;
    }
    return units;
}

bool CanWriteProfileValue(const std::string& section, const std::string& key, const std::string& value) {
    if (HoldsLineEndOrNul(section) || HoldsLineEndOrNul(key) || HoldsLineEndOrNul(value)) return false;
    const std::string name = TrimProfileBlanks(key);
    return name.find('=') == std::string::npos && (name.empty() || name.front() != '[');
}

std::optional<std::string> WriteProfileValues(const std::string& file, const std::string& section,
                                              const std::vector<ProfileEntry>& entries, const AnsiToUtf16& toUtf16) {
    for (const ProfileEntry& entry : entries)
        if (!CanWriteProfileValue(section, entry.key, entry.value)) return std::nullopt;

    const auto asWtf8 = [&toUtf16](const std::string& ansi) { return Utf16ToWtf8(toUtf16(ansi)); };
    switch (DetectProfileEncoding(file)) {
    case ProfileEncoding::Ansi:
        return SetValues(file, section, entries, [](const std::string& ansi) { return ansi; });
    case ProfileEncoding::Utf8:
        // The bytes after the mark are edited as they are, valid UTF-8 or not.
        return file.substr(0, kUtf8MarkSize) + SetValues(file.substr(kUtf8MarkSize), section, entries, asWtf8);
    case ProfileEncoding::Utf16LittleEndian:
    case ProfileEncoding::Utf16BigEndian: {
        const bool bigEndian = DetectProfileEncoding(file) == ProfileEncoding::Utf16BigEndian;
        std::string_view body = std::string_view(file).substr(kUtf16MarkSize);
        // A last odd byte belongs to no code unit; it stays where it is, at the end.
        const std::string_view oddByte = body.substr(body.size() - body.size() % 2);
        body.remove_suffix(oddByte.size());
        const std::string edited = SetValues(Utf16ToWtf8(DecodeUtf16(body, bigEndian)), section, entries, asWtf8);
        const std::optional<std::u16string> units = Wtf8ToUtf16(edited);
        if (!units) return std::nullopt;
        return file.substr(0, kUtf16MarkSize) + EncodeUtf16(*units, bigEndian) + std::string(oddByte);
    }
    }
    return std::nullopt;
}

std::string StoredProfileValue(const std::string& value) {
    const bool enclosed =
        value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front();
    if (enclosed || TrimProfileBlanks(value) != value) return '"' + value + '"';
    return value;
}

bool ReadsBackAsWritten(const std::string& read, const std::string& written) {
    if (written.size() <= kMaxProfileString) return read == written;
    // Cut to the read buffer: where exactly depends on the platform's character boundaries.
    return !read.empty() && read.size() <= kMaxProfileString && written.compare(0, read.size(), read) == 0;
}

} // namespace vantaro
