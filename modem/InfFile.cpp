#include "modem/InfFile.h"

#include "platform/TextRules.h"

#include <algorithm>

namespace vantaro {

namespace {

constexpr char kControlZ = '\x1A';
constexpr std::size_t kMaxSectionName = 255;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

// UTF-16LE after its byte-order mark, as UTF-8; a surrogate without its partner becomes U+FFFD
// and an odd last byte is dropped.
std::string Utf16ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    const std::size_t units = bytes.size() / 2;
    auto unit = [&](std::size_t i) {
        return static_cast<unsigned>(static_cast<unsigned char>(bytes[2 * i])) |
               static_cast<unsigned>(static_cast<unsigned char>(bytes[2 * i + 1])) << 8;
    };
    for (std::size_t i = 0; i < units; ++i) {
        const unsigned first = unit(i);
        if (first >= 0xD800 && first <= 0xDBFF && i + 1 < units && unit(i + 1) >= 0xDC00 && unit(i + 1) <= 0xDFFF) {
            AppendUtf8(out, 0x10000 + ((first - 0xD800) << 10) + (unit(i + 1) - 0xDC00));
            ++i;
        } else if (first >= 0xD800 && first <= 0xDFFF) {
            AppendUtf8(out, 0xFFFD);
        } else {
            AppendUtf8(out, first);
        }
    }
    return out;
}

bool StartsWith(std::string_view bytes, std::string_view prefix) { return bytes.substr(0, prefix.size()) == prefix; }

constexpr std::string_view kUtf16Bom("\xFF\xFE", 2);
constexpr std::string_view kUtf8Bom("\xEF\xBB\xBF", 3);

// The language of a section named Strings.<language id>: one to four hexadecimal digits.
std::optional<std::uint16_t> StringsLanguage(std::string_view name) {
    constexpr std::string_view kPrefix = "strings.";
    constexpr std::size_t kMaxDigits = 4;
    if (name.size() <= kPrefix.size() || name.size() > kPrefix.size() + kMaxDigits) return std::nullopt;
    if (AsciiLower(name.substr(0, kPrefix.size())) != kPrefix) return std::nullopt;
    unsigned value = 0;
    for (char c : name.substr(kPrefix.size())) {
        const char lower = static_cast<char>(c >= 'A' && c <= 'F' ? c - 'A' + 'a' : c);
        if (lower >= '0' && lower <= '9') value = value * 16 + static_cast<unsigned>(lower - '0');
        else if (lower >= 'a' && lower <= 'f') value = value * 16 + static_cast<unsigned>(lower - 'a' + 10);
        else return std::nullopt;
    }
    return static_cast<std::uint16_t>(value);
}

} // namespace

bool InfTextIsUnicode(std::string_view bytes) { return StartsWith(bytes, kUtf16Bom) || StartsWith(bytes, kUtf8Bom); }

std::string InfNameKey(std::string_view name) { return AsciiLower(name); }

// One pass over the text, line by line. The token being built keeps its unquoted trailing
// blanks only until something else follows them: `kept_` is how much of it counts so far.
class InfFile::Parser {
public:
    Parser(InfFile& file, std::string_view text) : file_(file), text_(text) {}

    void Run() {
        while (at_ < text_.size() && !Failed()) {
            const char c = text_[at_];
            if (c == '\n') {
                ++lineNumber_;
                ++at_;
            } else if (IsBlank(c)) {
                ++at_;
            } else if (c == ';') {
                SkipToLineEnd();
            } else if (c == '[') {
                SectionHeader();
            } else {
                ContentLine();
            }
        }
    }

private:
    bool Failed() const { return file_.errorLine_ != 0; }
    void Fail() { file_.errorLine_ = lineNumber_; }
    bool AtLineEnd() const { return at_ >= text_.size() || text_[at_] == '\n'; }
    void SkipToLineEnd() {
        while (!AtLineEnd()) ++at_;
    }

    void SectionHeader() {
        const std::size_t begin = ++at_;
        while (!AtLineEnd() && text_[at_] != ']') ++at_;
        if (AtLineEnd() || at_ - begin > kMaxSectionName) {
            Fail();
            return;
        }
        std::string name(text_.substr(begin, at_ - begin));
        for (char& c : name)
            if (c == '\0') c = ' ';
        const auto [entry, added] = file_.sectionIndex_.emplace(InfNameKey(name), file_.sections_.size());
        if (added) file_.sections_.push_back(Section{std::move(name), {}});
        section_ = entry->second;
        hasSection_ = true;
        SkipToLineEnd();  // whatever follows the ']' is ignored
    }

    // A line of keys and fields, with the lines that '\' joins to it.
    void ContentLine() {
        RawLine line;
        line.firstField = file_.fields_.size();
        bool inKey = true;  // until an '=' or a ',' says what the first part is
        BeginToken();
        while (true) {
            if (AtLineEnd()) {
                EndField(line);
                break;
            }
            const char c = text_[at_];
            if (c == ';') {
                EndField(line);
                SkipToLineEnd();
                break;
            }
            if (c == '"') {
                Quoted();
            } else if (c == '\\') {
                if (Backslash()) SkipBlanks();
            } else if (c == '=' && inKey) {
                ++at_;
                inKey = false;
                line.hasKey = true;
                line.key = EndToken();
                BeginToken();
                SkipBlanks();
            } else if (c == ',') {
                ++at_;
                inKey = false;
                EndField(line);
                BeginToken();
                SkipBlanks();
            } else {
                Plain();
            }
        }
        if (!hasSection_) {
            Fail();
            return;
        }
        file_.sections_[section_].lines.push_back(file_.lines_.size());
        file_.lines_.push_back(line);
    }

    void BeginToken() {
        token_.clear();
        kept_ = 0;
    }
    Span EndToken() {
        const Span span{file_.text_.size(), kept_};
        file_.text_.append(token_, 0, kept_);
        return span;
    }
    void EndField(RawLine& line) {
        file_.fields_.push_back(EndToken());
        ++line.fieldCount;
    }
    // Blanks, and the line ends that a '\' among them joins.
    void SkipBlanks() {
        while (true) {
            while (!AtLineEnd() && IsBlank(text_[at_])) ++at_;
            if (AtLineEnd() || text_[at_] != '\\' || !Backslash()) return;
        }
    }

    // A run of text without any character the line's syntax gives a meaning to, taken at once
    // (most of a file is such runs); its first character is text whatever it is. Blanks count
    // only once something follows them.
    void Plain() {
        const std::size_t begin = at_++;
        while (at_ < text_.size()) {
            const char c = text_[at_];
            if (c == '\n' || c == ';' || c == '"' || c == '\\' || c == '=' || c == ',') break;
            ++at_;
        }
        const std::size_t start = token_.size();
        token_.append(text_, begin, at_ - begin);
        std::replace(token_.begin() + static_cast<std::ptrdiff_t>(start), token_.end(), '\0', ' ');
        // A NUL counts as text here, though it reads as a blank.
        for (std::size_t end = at_; end > begin; --end) {
            if (!IsBlank(text_[end - 1])) {
                kept_ = start + (end - begin);
                break;
            }
        }
    }

    // Up to the closing quote or the line end; "" is one quote.
    void Quoted() {
        ++at_;
        while (!AtLineEnd()) {
            const char c = text_[at_++];
            if (c == '"') {
                if (at_ < text_.size() && text_[at_] == '"') {
                    ++at_;
                } else {
                    break;
                }
            }
            token_ += c == '\0' ? ' ' : c;
        }
        kept_ = token_.size();
    }

    // At a '\': true when it joins the next line (blanks and a note may stand between), which
    // is then read on from its first character; otherwise the backslashes and blanks are text.
    // The unquoted blanks before the '\' are dropped either way, as the platform drops them.
    bool Backslash() {
        token_.resize(kept_);
        const std::size_t begin = at_;
        std::size_t p = at_;
        while (p < text_.size() && (text_[p] == '\\' || IsBlank(text_[p]))) ++p;
        if (p < text_.size() && text_[p] == ';') {
            while (p < text_.size() && text_[p] != '\n') ++p;
        }
        if (p >= text_.size()) {
            at_ = p;
            return false;
        }
        if (text_[p] == '\n') {
            ++lineNumber_;
            at_ = p + 1;
            return true;
        }
        token_.append(text_.substr(begin, p - begin));
        kept_ = token_.size();
        at_ = p;
        return false;
    }

    InfFile& file_;
    std::string_view text_;
    std::size_t at_ = 0;
    std::size_t lineNumber_ = 1;
    std::size_t section_ = 0;
    bool hasSection_ = false;
    std::string token_;
    std::size_t kept_ = 0;
};

InfFile::InfFile(std::string_view bytes, std::uint16_t languageId) {
    std::string decoded;
    std::string_view text = bytes;
    if (StartsWith(bytes, kUtf16Bom)) {
        decoded = Utf16ToUtf8(bytes.substr(kUtf16Bom.size()));
        text = decoded;
        unicode_ = true;
    } else if (StartsWith(bytes, kUtf8Bom)) {
        text = bytes.substr(kUtf8Bom.size());
        unicode_ = true;
    }
    text = text.substr(0, text.find(kControlZ));  // Ctrl-Z ends the file
    text_.reserve(text.size());
    Parser(*this, text).Run();

    if (const Section* strings = StringsSection(languageId)) {
        for (std::size_t index : strings->lines) {
            const RawLine& line = lines_[index];
            if (!line.hasKey || line.fieldCount == 0) continue;
            strings_.emplace(InfNameKey(std::string_view(text_).substr(line.key.begin, line.key.size)),
                             fields_[line.firstField]);
        }
    }
}

const InfFile::Section* InfFile::Find(std::string_view name) const {
    const auto found = sectionIndex_.find(InfNameKey(name));
    return found == sectionIndex_.end() ? nullptr : &sections_[found->second];
}

const InfFile::Section* InfFile::StringsSection(std::uint16_t languageId) const {
    constexpr std::uint16_t kPrimaryLanguageBits = 0x03FF;
    const Section* primary = nullptr;
    const Section* firstOfALanguage = nullptr;
    for (const Section& section : sections_) {
        const std::optional<std::uint16_t> language = StringsLanguage(section.name);
        if (!language) continue;
        if (*language == languageId) return &section;
        if (*language == (languageId & kPrimaryLanguageBits) && !primary) primary = &section;
        if (!firstOfALanguage) firstOfALanguage = &section;
    }
    if (primary) return primary;
    if (const Section* plain = Find("Strings")) return plain;
    return firstOfALanguage;
}

bool InfFile::HasSection(std::string_view name) const { return Find(name) != nullptr; }

std::vector<std::string> InfFile::SectionNames() const {
    std::vector<std::string> names;
    names.reserve(sections_.size());
    for (const Section& section : sections_) names.push_back(section.name);
    return names;
}

std::string InfFile::Resolve(Span raw) const {
    const std::string_view text = std::string_view(text_).substr(raw.begin, raw.size);
    if (text.find('%') == std::string_view::npos) return std::string(text);
    std::string out;
    out.reserve(text.size());
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t open = text.find('%', at);
        const std::size_t close = open == std::string_view::npos ? open : text.find('%', open + 1);
        if (close == std::string_view::npos) {
            out.append(text.substr(at));
            break;
        }
        out.append(text.substr(at, open - at));
        const std::string_view name = text.substr(open + 1, close - open - 1);
        if (name.empty()) {
            out += '%';
        } else if (const auto value = strings_.find(InfNameKey(name)); value != strings_.end()) {
            out.append(text_, value->second.begin, value->second.size);
        } else {
            out.append(text.substr(open, close - open + 1));
        }
        at = close + 1;
    }
    return out;
}

InfLine InfFile::Resolved(const RawLine& line) const {
    InfLine resolved;
    resolved.hasKey = line.hasKey;
    if (line.hasKey) resolved.key = Resolve(line.key);
    resolved.fields.reserve(line.fieldCount);
    for (std::size_t i = 0; i < line.fieldCount; ++i) resolved.fields.push_back(Resolve(fields_[line.firstField + i]));
    return resolved;
}

std::vector<InfLine> InfFile::Lines(std::string_view section) const {
    std::vector<InfLine> lines;
    if (const Section* found = Find(section)) {
        lines.reserve(found->lines.size());
        for (std::size_t index : found->lines) lines.push_back(Resolved(lines_[index]));
    }
    return lines;
}

std::optional<std::string> InfFile::Value(std::string_view section, std::string_view key) const {
    const Section* found = Find(section);
    if (!found) return std::nullopt;
    const std::string wanted = InfNameKey(key);
    for (std::size_t index : found->lines) {
        const RawLine& line = lines_[index];
        // A line of one field and no key is found by that field, as the platform finds it.
        const bool byField = !line.hasKey && line.fieldCount == 1;
        if (!line.hasKey && !byField) continue;
        if (InfNameKey(Resolve(line.hasKey ? line.key : fields_[line.firstField])) != wanted) continue;
        if (line.fieldCount == 0) return std::string();
        return Resolve(fields_[line.firstField]);
    }
    return std::nullopt;
}

} // namespace vantaro
