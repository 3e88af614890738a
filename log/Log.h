#pragma once
// The record of what Vantaro did: one line per step, with the local time, the process, the step,
// its result, the platform's error code and what the step acted on. The install worker, the dial
// thread and the dialog write to one Log at the same time.
//
// What a user typed never becomes a step name: a step is named by a string literal only. The
// detail (a port, a hardware id, an entry name, a text the user was shown) is free text. A
// password, PIN or PUK is a Secret, which converts to no text, so it cannot be a detail; and
// every Secret handed to Conceal is replaced by asterisks in any detail that still holds its
// characters (a text built from a field before the value became a Secret).
//
// Writing never throws and never stops the caller: a line that cannot be written is dropped.

#include "platform/Secret.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace vantaro {

class LogStep {
public:
    // Only a character array (a string literal) names a step; a std::string does not convert.
    template <std::size_t N>
    constexpr LogStep(const char (&name)[N]) : name_(name, N - 1) {}
    constexpr std::string_view Name() const { return name_; }

private:
    std::string_view name_;
};

enum class LogResult {
    Started,
    Done,
    Failed,
    NotFound,  // nothing there to act on (a second uninstall)
    Message,   // a text the user is shown: a message box, the status line, console output
};

struct LogTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

class LogClock {
public:
    LogClock() = default;
    LogClock(const LogClock&) = delete;
    LogClock& operator=(const LogClock&) = delete;
    virtual ~LogClock() = default;

    virtual LogTime Now() const = 0;
};

// Where finished lines go: UTF-8 text, each with its CR LF.
class LogSink {
public:
    LogSink() = default;
    LogSink(const LogSink&) = delete;
    LogSink& operator=(const LogSink&) = delete;
    virtual ~LogSink() = default;

    virtual void Append(std::string_view line) noexcept = 0;
};

// The platform's texts are in the ANSI code page; the log is UTF-8. The converter is the Win32
// edge's; without one the detail is taken as UTF-8 already.
using LogTextConverter = std::string (*)(std::string_view ansiText);

// A detail longer than this is cut, and the line says by how much.
inline constexpr std::size_t kMaxLogDetail = 2048;
inline constexpr char kConcealedText[] = "********";

class Log {
public:
    Log(LogSink& sink, const LogClock& clock, std::uint32_t processId, LogTextConverter toUtf8 = nullptr);
    Log(const Log&) = delete;
    Log& operator=(const Log&) = delete;

    // From now on `secret` never appears in a line. An empty value conceals nothing.
    void Conceal(const Secret& secret) noexcept;

    void Step(LogStep step, LogResult result, std::uint32_t errorCode = 0, std::string_view detail = {}) noexcept;
    // A text the user is shown (or would be, without /quiet).
    void Said(std::string_view text) noexcept { Step("message", LogResult::Message, 0, text); }

private:
    std::string Concealed(std::string text) const;

    LogSink& sink_;
    const LogClock& clock_;
    const std::uint32_t processId_;
    const LogTextConverter toUtf8_;
    mutable std::mutex mutex_;
    std::vector<std::string> secrets_;  // longest first
    std::atomic<bool> concealEverything_{false};
};

// One line as it is written: time, process, step, result, code and detail separated by tabs.
// Control characters in the detail are written as escapes, so a step is always one line.
std::string FormatLogLine(const LogTime& time, std::uint32_t processId, std::string_view step, LogResult result,
                          std::uint32_t errorCode, std::string_view utf8Detail);

// Error codes as the platform documents them: small ones in decimal (5), the device
// installation's in hex (0xE0000235).
std::string FormatErrorCode(std::uint32_t errorCode);

std::string_view LogResultText(LogResult result);

} // namespace vantaro
