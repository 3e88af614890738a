#include "log/Log.h"

#include <algorithm>
#include <cstdio>

namespace vantaro {

namespace {

// A cut never splits a UTF-8 sequence: it backs off over continuation bytes.
std::size_t Utf8CutPoint(std::string_view text, std::size_t limit) {
    if (text.size() <= limit) return text.size();
    std::size_t cut = limit;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    return cut;
}

void AppendEscaped(std::string& line, std::string_view text) {
    for (char c : text) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (c == '\r') {
            line += "\\r";
        } else if (c == '\n') {
            line += "\\n";
        } else if (c == '\t') {
            line += "\\t";
        } else if (byte < 0x20 || byte == 0x7F) {
            char escape[5];
            std::snprintf(escape, sizeof escape, "\\x%02X", byte);
            line += escape;
        } else {
            line += c;
        }
    }
}

} // namespace

std::string_view LogResultText(LogResult result) {
    switch (result) {
    case LogResult::Started: return "started";
    case LogResult::Done: return "done";
    case LogResult::Failed: return "failed";
    case LogResult::NotFound: return "not found";
    case LogResult::Message: return "said";
    }
    return "?";
}

std::string FormatErrorCode(std::uint32_t errorCode) {
    char text[16];
    if (errorCode <= 0xFFFF)
        std::snprintf(text, sizeof text, "%u", static_cast<unsigned>(errorCode));
    else
        std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(errorCode));
    return text;
}

std::string FormatLogLine(const LogTime& time, std::uint32_t processId, std::string_view step, LogResult result,
                          std::uint32_t errorCode, std::string_view utf8Detail) {
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d %02d:%02d:%02d.%03d\t%u\t", time.year, time.month, time.day,
                  time.hour, time.minute, time.second, time.millisecond, static_cast<unsigned>(processId));
    std::string line = stamp;
    line.append(step);
    line += '\t';
    line.append(LogResultText(result));
    line += '\t';
    line += FormatErrorCode(errorCode);
    line += '\t';
    const std::size_t cut = Utf8CutPoint(utf8Detail, kMaxLogDetail);
    AppendEscaped(line, utf8Detail.substr(0, cut));
    if (cut < utf8Detail.size()) line += " ... (" + std::to_string(utf8Detail.size()) + " bytes in all)";
    line += "\r\n";
    return line;
}

Log::Log(LogSink& sink, const LogClock& clock, std::uint32_t processId, LogTextConverter toUtf8)
    : sink_(sink), clock_(clock), processId_(processId), toUtf8_(toUtf8) {}

void Log::Conceal(const Secret& concealed) noexcept {
    const std::string_view secret = concealed.Reveal();
    if (secret.empty()) return;
    try {
        std::lock_guard<std::mutex> lock(mutex_);
        if (std::find(secrets_.begin(), secrets_.end(), secret) != secrets_.end()) return;
        secrets_.emplace_back(secret);
        // The longest first: a secret that holds a shorter one is concealed whole.
        std::stable_sort(secrets_.begin(), secrets_.end(),
                         [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
    } catch (...) {
        // Without memory for the secret the log cannot promise to hide it: from now on every
        // detail is concealed whole.
        concealEverything_ = true;
    }
}

std::string Log::Concealed(std::string text) const {
    if (concealEverything_ && !text.empty()) return kConcealedText;
    for (const std::string& secret : secrets_) {
        for (std::size_t at = text.find(secret); at != std::string::npos;
             at = text.find(secret, at + sizeof kConcealedText - 1))
            text.replace(at, secret.size(), kConcealedText);
    }
    return text;
}

void Log::Step(LogStep step, LogResult result, std::uint32_t errorCode, std::string_view detail) noexcept {
    try {
        std::lock_guard<std::mutex> lock(mutex_);
        // Concealed in the platform's own encoding, where the secrets were handed over.
        const std::string concealed = Concealed(std::string(detail));
        const std::string utf8 = toUtf8_ ? toUtf8_(concealed) : concealed;
        sink_.Append(FormatLogLine(clock_.Now(), processId_, step.Name(), result, errorCode, utf8));
    } catch (...) {
        // A log must never stop the work it records.
    }
}

} // namespace vantaro
