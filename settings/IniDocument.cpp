#include "settings/IniDocument.h"

#include <cstdint>
#include <cstring>
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

std::string StripEnclosingQuotes(const std::string& value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

// The value a read returns for a stored value: quotes stripped, then cut to the read buffer.
// A cut never splits a double-byte character: the platform's read keeps whole characters only.
std::string ReadableValue(const std::string& stored, LeadByteTest isLeadByte) {
    std::string value = StripEnclosingQuotes(stored);
    if (value.size() <= kMaxProfileString) return value;
    std::size_t kept = 0;
    while (kept < value.size()) {
        const bool pair = isLeadByte && isLeadByte(static_cast<unsigned char>(value[kept])) && kept + 1 < value.size();
        const std::size_t next = kept + (pair ? 2 : 1);
        if (next > kMaxProfileString) break;
        kept = next;
    }
    value.resize(kept);
    return value;
}

} // namespace

std::vector<ProfileSectionEntry> ParseSectionLines(const std::string& lines, LeadByteTest isLeadByte) {
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
            entry.value = ReadableValue(std::string(line.substr(equals + 1)), isLeadByte);
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::optional<std::string> FindSectionValue(const std::vector<ProfileSectionEntry>& entries, const std::string& key) {
    const std::string_view asked = Trim(key);
    for (const ProfileSectionEntry& entry : entries)
        if (EqualsIgnoringAsciiCase(entry.key, asked)) return entry.value;
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
    entries_.clear();
    sections_.push_back(Section{});  // keys before the first header
    // Room for every line at once: growing the lists line by line copies them again and again.
    const auto countOf = [this](char wanted) {
        std::size_t count = 0;
        for (const char *at = text_.data(), *end = at + text_.size();
             (at = static_cast<const char*>(std::memchr(at, wanted, static_cast<std::size_t>(end - at)))) != nullptr;
             ++at)
            ++count;
        return count;
    };
    std::size_t lineEnds = countOf('\n');
    if (lineEnds == 0) lineEnds = countOf('\r');
    lines_.reserve(lineEnds + 1);
    entries_.reserve(lineEnds + 1);

    // Once the text holds no '\n' past a point, '\r' ends the lines from there on; knowing it
    // keeps a file of '\r' endings from being searched to its end for every line.
    bool lineFeedsLeft = true;
    std::size_t position = 0;
    while (position < text_.size()) {
        std::size_t next = lineFeedsLeft ? text_.find('\n', position) : std::string::npos;
        if (next == std::string::npos) {
            lineFeedsLeft = false;
            next = text_.find('\r', position);
        }
        next = next == std::string::npos ? text_.size() : next + 1;
        lines_.push_back(Line{position, next});
        position = next;

        const std::size_t index = lines_.size() - 1;
        const std::string_view body = lines_.back().Body(text_);
        if (body.empty()) continue;
        if (body.front() == '[') {
            const std::size_t close = body.rfind(']');
            if (close != std::string_view::npos) {
                Section section;
                section.name = SpanOf(Trim(body.substr(1, close - 1)));
                section.firstEntry = entries_.size();
                section.headerLine = index;
                section.hasHeader = true;
                sections_.push_back(section);
                continue;
            }
        }
        Entry entry;
        entry.line = index;
        const std::size_t equals = body.find('=');
        if (equals == std::string_view::npos) {
            entry.name = SpanOf(body);
        } else {
            entry.name = SpanOf(Trim(body.substr(0, equals)));
            entry.value = SpanOf(Trim(body.substr(equals + 1)));
            entry.hasValue = true;
        }
        entries_.push_back(entry);
        ++sections_.back().entryCount;
    }
}

const IniDocument::Section* IniDocument::FindSection(const std::string& name) const {
    std::string_view asked = Trim(name);
    for (const Section& section : sections_) {
        // The unnamed first section exists only when it holds keys.
        if (!section.hasHeader && section.entryCount == 0) continue;
        if (EqualsIgnoringAsciiCase(View(section.name), asked)) return &section;
    }
    return nullptr;
}

std::optional<std::string> IniDocument::Get(const std::string& section, const std::string& key) const {
    const Section* found = FindSection(section);
    if (!found) return std::nullopt;
    std::string_view asked = Trim(key);
    for (std::size_t i = found->firstEntry; i < found->firstEntry + found->entryCount; ++i) {
        const Entry& entry = entries_[i];
        // A key line without '=' has no value: it reads as missing, and hides later lines of its name.
        if (EqualsIgnoringAsciiCase(View(entry.name), asked)) {
            if (!entry.hasValue) return std::nullopt;
            return StripEnclosingQuotes(std::string(View(entry.value)));
        }
    }
    return std::nullopt;
}

std::vector<ProfileSectionEntry> IniDocument::SectionEntries(const std::string& section) const {
    std::vector<ProfileSectionEntry> entries;
    const Section* found = FindSection(section);
    if (!found) return entries;
    for (std::size_t i = found->firstEntry; i < found->firstEntry + found->entryCount; ++i) {
        const Entry& entry = entries_[i];
        const std::string_view name = View(entry.name);
        if (!name.empty() && name.front() == ';') continue;
        entries.push_back({std::string(name), entry.hasValue ? std::optional<std::string>(ReadableValue(
                                                                   std::string(View(entry.value)), nullptr))
                                                             : std::nullopt});
    }
    return entries;
}

std::vector<IniDocument::SectionView> IniDocument::Outline() const {
    std::vector<SectionView> outline;
    outline.reserve(sections_.size());
    for (const Section& section : sections_) {
        SectionView view{View(section.name), section.hasHeader, {}};
        view.keys.reserve(section.entryCount);
        for (std::size_t i = section.firstEntry; i < section.firstEntry + section.entryCount; ++i)
            view.keys.push_back({View(entries_[i].name), View(entries_[i].value), entries_[i].hasValue});
        outline.push_back(std::move(view));
    }
    return outline;
}

std::string IniDocument::EndingAfter(std::size_t lineIndex) const {
    // A new line takes the ending of the line before it, or of the one before that when the
    // last line has none. The ending must not change where the lines before it end: in a file
    // without any '\n' the lines end at '\r', and a '\n' written after them would join them
    // all into one.
    auto endsLine = [this](const Line& line) {
        return line.end > line.begin && (text_[line.end - 1] == '\n' || text_[line.end - 1] == '\r');
    };
    const Line* model = &lines_[lineIndex];
    if (!endsLine(*model) && lineIndex > 0) model = &lines_[lineIndex - 1];
    if (!endsLine(*model)) return "\r\n";
    if (text_[model->end - 1] == '\r') return "\r";
    return model->end - model->begin >= 2 && text_[model->end - 2] == '\r' ? "\r\n" : "\n";
}

void IniDocument::Set(const std::string& section, const std::string& key, const std::string& value) {
    const std::string sectionName = TrimProfileBlanks(section);
    const std::string keyName = TrimProfileBlanks(key);

    if (const Section* found = FindSection(sectionName)) {
        std::string_view asked = keyName;
        for (std::size_t i = found->firstEntry; i < found->firstEntry + found->entryCount; ++i) {
            const Entry& entry = entries_[i];
            if (!EqualsIgnoringAsciiCase(View(entry.name), asked)) continue;
            // Only the value changes: the key as the file spells it, the blanks around the
            // equals sign and the line's ending stay.
            const Line& line = lines_[entry.line];
            std::size_t bodyEnd = line.end;
            while (bodyEnd > line.begin && (text_[bodyEnd - 1] == '\n' || text_[bodyEnd - 1] == '\r')) --bodyEnd;
            const std::size_t equals = text_.find('=', line.begin);
            if (equals == std::string::npos || equals >= bodyEnd) {
                // A key without a value: the value follows the name.
                std::size_t nameEnd = bodyEnd;
                while (nameEnd > line.begin && IsProfileBlank(text_[nameEnd - 1])) --nameEnd;
                text_.replace(nameEnd, bodyEnd - nameEnd, "=" + value);
            } else {
                std::size_t valueBegin = equals + 1;
                while (valueBegin < bodyEnd && IsProfileBlank(text_[valueBegin])) ++valueBegin;
                std::size_t valueEnd = bodyEnd;
                while (valueEnd > valueBegin && IsProfileBlank(text_[valueEnd - 1])) --valueEnd;
                text_.replace(valueBegin, valueEnd - valueBegin, value);
            }
            Parse();
            return;
        }
        // A new key goes right after the section's last entry (or its header).
        const std::size_t after =
            found->entryCount == 0 ? found->headerLine : entries_[found->firstEntry + found->entryCount - 1].line;
        const std::string ending = EndingAfter(after);
        std::size_t insertAt = lines_[after].end;
        std::string inserted = keyName + "=" + value + ending;
        if (insertAt > 0 && text_[insertAt - 1] != '\n' && text_[insertAt - 1] != '\r') inserted = ending + inserted;
        text_.insert(insertAt, inserted);
        Parse();
        return;
    }

    const std::string ending = lines_.empty() ? std::string("\r\n") : EndingAfter(lines_.size() - 1);
    if (!text_.empty() && text_.back() != '\n' && text_.back() != '\r') text_ += ending;
    text_ += "[" + sectionName + "]" + ending + keyName + "=" + value + ending;
    Parse();
}

// How much of a value an integer read looks at: the platform reads it into 30 characters.
constexpr std::size_t kProfileIntCharacters = 29;

std::string ProfileString(const IniDocument& document, const std::string& section, const std::string& key,
                          const std::string& defaultValue) {
    std::string value = document.Get(section, key).value_or(defaultValue);
    if (value.size() > kMaxProfileString) value.resize(kMaxProfileString);
    return value;
}

int ProfileInt(const IniDocument& document, const std::string& section, const std::string& key, int defaultValue) {
    const std::optional<std::string> value = document.Get(section, key);
    if (!value || value->empty()) return defaultValue;
    return LeadingDecimal(value->substr(0, kProfileIntCharacters));
}

} // namespace vantaro
