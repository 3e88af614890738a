#include "phone/AtResponse.h"

#include "platform/Secret.h"
#include "platform/TextRules.h"

#include <cctype>

namespace vantaro {
namespace {

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

std::string_view Trimmed(std::string_view text) { return TrimmedOf(text, " \t\r\n"); }

// The name a +NAME: or ^NAME: line begins with, upper case; empty for other lines.
std::string LineName(std::string_view line) {
    if (line.empty() || (line[0] != '+' && line[0] != '^')) return {};
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) return {};
    std::string name;
    for (char c : line.substr(0, colon)) name += Upper(c);
    return name;
}

// The words a phone in verbose error mode (AT+CMEE=2) says for the +CME ERROR numbers that the
// check acts on.
struct CmeWords {
    const char* words;
    int code;
};
constexpr CmeWords kCmeWords[] = {
    {"operation not allowed", 3},  {"operation not supported", 4}, {"SIM not inserted", 10},
    {"SIM PIN required", 11},      {"SIM PUK required", 12},        {"SIM failure", 13},
    {"SIM busy", 14},              {"SIM wrong", 15},               {"incorrect password", 16},
    {"SIM PIN2 required", 17},     {"SIM PUK2 required", 18},
};

} // namespace

std::optional<int> AtResponse::ErrorCode() const {
    if (result != FinalResult::CmeError && result != FinalResult::CmsError) return std::nullopt;
    std::string_view number = Trimmed(std::string_view(finalLine).substr(finalLine.find(':') + 1));
    if (result == FinalResult::CmeError)
        for (const CmeWords& known : kCmeWords)
            if (EqualsIgnoringAsciiCase(number, known.words)) return known.code;
    return NumberOf(number, 6);
}

std::string_view TrimmedLine(std::string_view line) { return Trimmed(line); }

std::optional<std::string_view> InformationOf(std::string_view line, std::string_view name) {
    line = Trimmed(line);
    if (name.empty() || line.size() <= name.size() || line[name.size()] != ':' ||
        !EqualsIgnoringAsciiCase(line.substr(0, name.size()), name))
        return std::nullopt;
    return Trimmed(line.substr(name.size() + 1));
}

std::string_view Unquoted(std::string_view text) {
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') return text.substr(1, text.size() - 2);
    return text;
}

std::vector<std::string_view> FieldsOf(std::string_view information) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    bool quoted = false;
    for (std::size_t i = 0; i <= information.size(); ++i) {
        if (i < information.size() && information[i] == '"') quoted = !quoted;
        if (i < information.size() && (information[i] != ',' || quoted)) continue;
        fields.push_back(Unquoted(Trimmed(information.substr(start, i - start))));
        start = i + 1;
    }
    return fields;
}

std::optional<int> NumberOf(std::string_view field, std::size_t mostDigits) {
    // Nine digits always fit an int.
    if (field.empty() || field.size() > mostDigits || field.size() > 9) return std::nullopt;
    int value = 0;
    for (char c : field) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

std::optional<std::vector<std::string_view>> FieldsFor(const std::vector<std::string>& lines, std::string_view name) {
    for (const std::string& line : lines)
        if (const std::optional<std::string_view> information = InformationOf(line, name)) return FieldsOf(*information);
    return std::nullopt;
}

std::string CommandName(std::string_view command) {
    command = Trimmed(command);
    if (command.size() < 3 || !EqualsIgnoringAsciiCase(command.substr(0, 2), "AT")) return {};
    if (command[2] != '+' && command[2] != '^') return {};
    std::string name(1, command[2]);
    for (std::size_t i = 3; i < command.size(); ++i) {
        const char c = command[i];
        if (c == '=' || c == '?' || c == ';' || c == ' ') break;
        name += Upper(c);
    }
    return name;
}

bool IsUnsolicited(std::string_view line, std::string_view commandName) {
    if (line == "RING") return true;
    const std::string name = LineName(line);
    return !name.empty() && name != commandName;
}

FinalResult FinalResultOf(std::string_view line) {
    if (line == "OK") return FinalResult::Ok;
    if (line == "ERROR") return FinalResult::Error;
    if (StartsWith(line, "+CME ERROR:")) return FinalResult::CmeError;
    if (StartsWith(line, "+CMS ERROR:")) return FinalResult::CmsError;
    if (line == "NO CARRIER") return FinalResult::NoCarrier;
    if (line == "CONNECT" || StartsWith(line, "CONNECT ")) return FinalResult::Connect;
    if (line == "BUSY") return FinalResult::Busy;
    if (line == "NO DIALTONE" || line == "NO DIAL TONE") return FinalResult::NoDialtone;
    if (line == "NO ANSWER") return FinalResult::NoAnswer;
    // Some phones' word for a command they do not know.
    if (line == "COMMAND NOT SUPPORT") return FinalResult::Error;
    // A phone left in numeric mode (ATV0) that did not take ATV1: its OK and ERROR.
    if (line == "0") return FinalResult::Ok;
    if (line == "4") return FinalResult::Error;
    return FinalResult::None;
}

ResponseReader::ResponseReader(std::string_view command)
    : command_(Trimmed(command)), commandName_(CommandName(command)) {}

ResponseReader::~ResponseReader() { WipeText(command_); }

std::size_t ResponseReader::Feed(std::string_view bytes) {
    std::size_t taken = 0;
    while (taken < bytes.size() && !Done()) {
        const char c = bytes[taken++];
        ++response_.received;
        if (c == '\r' || c == '\n') {
            TakeLine();
            nulRun_ = 0;
        } else if (c == '\0') {
            // A stray NUL is line noise; a run of them is no modem.
            ++lineBytes_;
            if (++nulRun_ >= kNulRunOfNoModem) End(ResponseEnd::NotAModem);
        } else {
            nulRun_ = 0;
            ++lineBytes_;
            line_ += c;
        }
        if (!Done() && lineBytes_ >= kLongestLineBytes) End(ResponseEnd::NotAModem);
        if (!Done() && response_.received >= kResponseCapBytes) End(ResponseEnd::TooLong);
    }
    return taken;
}

void ResponseReader::End(ResponseEnd why) {
    if (!Done()) response_.end = why;
}

bool ResponseReader::IsEcho(std::string_view line) const {
    if (response_.echoed || command_.empty() || !EqualsIgnoringAsciiCase(line, command_)) return false;
    // Only unsolicited lines come before an echo; the command's own name is no proof that a
    // line answers it (an unsolicited +CREG: before the echo of AT+CREG?), but any other line
    // is an answer, and the command's text after it is part of that answer.
    for (const std::string& early : response_.lines)
        if (commandName_.empty() || LineName(early) != commandName_) return false;
    return true;
}

void ResponseReader::TakeLine() {
    std::string line(Trimmed(line_));
    line_.clear();
    lineBytes_ = 0;
    if (line.empty()) return;
    if (IsEcho(line)) {
        response_.echoed = true;
        // What came before the echo was sent before the command was read: it answers nothing.
        for (std::string& early : response_.lines) response_.unsolicited.push_back(std::move(early));
        response_.lines.clear();
        return;
    }
    const FinalResult result = FinalResultOf(line);
    if (result != FinalResult::None) {
        response_.result = result;
        response_.finalLine = std::move(line);
        response_.end = ResponseEnd::Final;
    } else if (IsUnsolicited(line, commandName_)) {
        response_.unsolicited.push_back(std::move(line));
    } else {
        response_.lines.push_back(std::move(line));
    }
}

} // namespace vantaro
