#include "settings/IniDocument.h"

#include <cstdint>
#include <string_view>

namespace vantaro {

bool IsProfileBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f' || c == '\x1a';
}

namespace {

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsProfileBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsProfileBlank(text.back())) text.remove_suffix(1);
    return text;
}

char FoldCase(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string StripEnclosingQuotes(const std::string& value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

// The value a read returns for a stored value: quotes stripped, then cut to the read buffer.
std::string ReadableValue(const std::string& stored) {
    std::string value = StripEnclosingQuotes(stored);
    if (value.size() > kMaxProfileString) value.resize(kMaxProfileString);
    return value;
}

} // namespace

bool ProfileNamesMatch(std::string_view stored, std::string_view asked) {
    if (stored.size() != asked.size()) return false;
    for (std::size_t i = 0; i < stored.size(); ++i)
        if (FoldCase(stored[i]) != FoldCase(asked[i])) return false;
    return true;
}

std::vector<ProfileSectionEntry> ParseSectionLines(const std::string& lines) {
    std::vector<ProfileSectionEntry> entries;
    std::size_t position = 0;
    while (position < lines.size()) {
        std::size_t end = lines.find('\0', position);
        if (end == std::string::npos) end = lines.size();
        const std::string_view line(lines.data() + position, end - position);
        position = end + 1;
        // An empty line ends the list.
        if (line.empty()) break;
        ProfileSectionEntry entry;
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) {
            entry.key = std::string(line);
        } else {
            entry.key = std::string(line.substr(0, equals));
            entry.value = ReadableValue(std::string(line.substr(equals + 1)));
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::optional<std::string> FindSectionValue(const std::vector<ProfileSectionEntry>& entries, const std::string& key) {
    const std::string_view asked = Trim(key);
    for (const ProfileSectionEntry& entry : entries)
        if (ProfileNamesMatch(entry.key, asked)) return entry.value;
    return std::nullopt;
}

std::string TrimProfileBlanks(const std::string& text) {
    return std::string(Trim(text));
}

int LeadingDecimal(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && (IsProfileBlank(text[i]))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    // Accumulate unsigned so that an over-long number wraps as the platform's does, without
    // undefined behaviour.
    std::uint32_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = value * 10u + static_cast<std::uint32_t>(text[i] - '0');
    if (negative) value = 0u - value;
    return static_cast<int>(value);
}

std::string_view IniDocument::Line::Body(const std::string& text) const {
    return Trim(std::string_view(text).substr(begin, end - begin));
}

IniDocument::IniDocument(std::string text) : text_(std::move(text)) {
    Parse();
}

void IniDocument::Parse() {
    lines_.clear();
    sections_.clear();
    sections_.push_back(Section{});  // keys before the first header

    std::size_t position = 0;
    while (position < text_.size()) {
        std::size_t next = text_.find('\n', position);
        if (next == std::string::npos) next = text_.find('\r', position);
        next = next == std::string::npos ? text_.size() : next + 1;
        lines_.push_back(Line{position, next});
        position = next;

        std::size_t index = lines_.size() - 1;
        std::string_view body = lines_.back().Body(text_);
        if (body.empty()) continue;
        if (body.front() == '[') {
            std::size_t close = body.rfind(']');
            if (close != std::string_view::npos) {
                Section section;
                section.name = std::string(Trim(body.substr(1, close - 1)));
                section.headerLine = index;
                section.hasHeader = true;
                sections_.push_back(std::move(section));
                continue;
            }
        }
        Entry entry;
        entry.line = index;
        std::size_t equals = body.find('=');
        if (equals == std::string_view::npos) {
            entry.name = std::string(body);
        } else {
            entry.name = std::string(Trim(body.substr(0, equals)));
            entry.value = std::string(Trim(body.substr(equals + 1)));
        }
        sections_.back().entries.push_back(std::move(entry));
    }
}

const IniDocument::Section* IniDocument::FindSection(const std::string& name) const {
    std::string_view asked = Trim(name);
    for (const Section& section : sections_) {
        // The unnamed first section exists only when it holds keys.
        if (!section.hasHeader && section.entries.empty()) continue;
        if (ProfileNamesMatch(section.name, asked)) return &section;
    }
    return nullptr;
}

std::optional<std::string> IniDocument::Get(const std::string& section, const std::string& key) const {
    const Section* found = FindSection(section);
    if (!found) return std::nullopt;
    std::string_view asked = Trim(key);
    for (const Entry& entry : found->entries) {
        // A key line without '=' has no value: it reads as missing, and hides later lines of its name.
        if (ProfileNamesMatch(entry.name, asked)) {
            if (!entry.value) return std::nullopt;
            return StripEnclosingQuotes(*entry.value);
        }
    }
    return std::nullopt;
}

std::vector<ProfileSectionEntry> IniDocument::SectionEntries(const std::string& section) const {
    std::vector<ProfileSectionEntry> entries;
    const Section* found = FindSection(section);
    if (!found) return entries;
    for (const Entry& entry : found->entries) {
        if (!entry.name.empty() && entry.name.front() == ';') continue;
        entries.push_back({entry.name, entry.value ? std::optional<std::string>(ReadableValue(*entry.value)) : std::nullopt});
    }
    return entries;
}

void IniDocument::Set(const std::string& section, const std::string& key, const std::string& value) {
    const std::string sectionName = TrimProfileBlanks(section);
    const std::string keyName = TrimProfileBlanks(key);
    const std::string newLine = keyName + "=" + value + "\r\n";

    if (const Section* found = FindSection(sectionName)) {
        std::string_view asked = keyName;
        for (const Entry& entry : found->entries) {
            if (ProfileNamesMatch(entry.name, asked)) {
                const Line& line = lines_[entry.line];
                // Keep the line's own ending; replace only what stands on it.
                std::size_t bodyEnd = line.end;
                while (bodyEnd > line.begin && (text_[bodyEnd - 1] == '\n' || text_[bodyEnd - 1] == '\r')) --bodyEnd;
                std::string ending = text_.substr(bodyEnd, line.end - bodyEnd);
                text_.replace(line.begin, line.end - line.begin, keyName + "=" + value + (ending.empty() ? "\r\n" : ending));
                Parse();
                return;
            }
        }
        // A new key goes right after the section's last entry (or its header).
        std::size_t after = found->entries.empty() ? found->headerLine : found->entries.back().line;
        std::size_t insertAt = lines_[after].end;
        if (insertAt > 0 && text_[insertAt - 1] != '\n' && text_[insertAt - 1] != '\r') {
            text_.insert(insertAt, "\r\n");
            insertAt += 2;
        }
        text_.insert(insertAt, newLine);
        Parse();
        return;
    }

    if (!text_.empty() && text_.back() != '\n' && text_.back() != '\r') text_ += "\r\n";
    text_ += "[" + sectionName + "]\r\n" + newLine;
    Parse();
}

} // namespace vantaro
