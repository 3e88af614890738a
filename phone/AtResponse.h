#pragma once
// Reading one AT command's response out of the bytes a port sends, in whatever pieces they
// come: lines end in CR, LF or both; blank lines are nothing; the command echoed back is not
// part of the answer, nor are unsolicited lines in between (RING, +CREG: ..., ^RSSI: ...),
// nor anything that came before the echo.
// The response ends at its final result. A port that sends what no modem sends (a run of NUL
// bytes, a line that never ends, more than a response can hold) is told apart, so that the
// reading stops instead of going on for as long as the port talks.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantaro {

// What a whole response may hold, echo and unsolicited lines included.
inline constexpr std::size_t kResponseCapBytes = 4096;
// A modem ends its lines long before this.
inline constexpr std::size_t kLongestLineBytes = 1024;
// No modem sends this many NUL bytes in a row; a port with nothing on its far side may.
inline constexpr std::size_t kNulRunOfNoModem = 32;

enum class FinalResult {
    None,
    Ok,
    Error,
    CmeError,   // +CME ERROR: <n>
    CmsError,   // +CMS ERROR: <n>
    NoCarrier,
    Connect,    // CONNECT, CONNECT <speed>
    Busy,
    NoDialtone,
    NoAnswer,
};

// How the reading of a response ended.
enum class ResponseEnd {
    Reading,    // not ended yet
    Final,      // a final result came
    NotAModem,  // a run of NUL bytes, or a line without an end
    TooLong,    // more than kResponseCapBytes without a final result
    TimedOut,   // the command's deadline passed
    PortLost,   // the port failed (unplugged)
    Stopped,    // the caller asked to stop
    NotSent,    // the command could not be written
};

struct AtResponse {
    ResponseEnd end = ResponseEnd::Reading;
    FinalResult result = FinalResult::None;
    std::string finalLine;                 // as the modem sent it: "+CME ERROR: 10", "CONNECT 115200"
    std::vector<std::string> lines;        // the information lines, in order
    std::vector<std::string> unsolicited;  // lines that came in between and belong to no command
    bool echoed = false;                   // the command came back first
    std::size_t received = 0;              // bytes taken, up to the end of the response

    bool Ok() const { return end == ResponseEnd::Final && result == FinalResult::Ok; }
    // The number of +CME ERROR / +CMS ERROR, when the modem gave one as a number or, for
    // +CME ERROR, in the standard words ("SIM not inserted" is 10, "SIM failure" 13).
    std::optional<int> ErrorCode() const;
};

class ResponseReader {
public:
    // command: as it was sent, without its CR ("AT+CSQ"); it names the lines that answer it
    // and is the text an echo repeats.
    explicit ResponseReader(std::string_view command);
    // The command may hold a PIN: its copy is wiped.
    ~ResponseReader();
    ResponseReader(const ResponseReader&) = delete;
    ResponseReader& operator=(const ResponseReader&) = delete;

    // Takes bytes until the response ends; returns how many it took (the rest belongs to no
    // response and is left to the caller).
    std::size_t Feed(std::string_view bytes);
    // Ends a response that is still being read (time-out, lost port, stop).
    void End(ResponseEnd why);

    bool Done() const { return response_.end != ResponseEnd::Reading; }
    const AtResponse& Response() const { return response_; }
    AtResponse TakeResponse() { return std::move(response_); }

private:
    void TakeLine();
    bool IsEcho(std::string_view line) const;

    std::string command_;
    std::string commandName_;  // "+CSQ" for AT+CSQ, empty for AT or ATI
    std::string line_;         // the line being read, NUL bytes left out
    std::size_t lineBytes_ = 0;
    std::size_t nulRun_ = 0;
    AtResponse response_;
};

// The command's own name, as the lines that answer it begin: "+CPIN" for AT+CPIN? and
// AT+CPIN="1234", "^SYSINFO" for AT^SYSINFO; empty for commands without one (AT, ATI).
std::string CommandName(std::string_view command);
// Whether line is known to belong to no command: RING, or a +NAME:/^NAME: line that is not
// named as commandName is.
bool IsUnsolicited(std::string_view line, std::string_view commandName);
// The final result a line is, FinalResult::None for any other line: the verbose results, the
// words "COMMAND NOT SUPPORT" (an error), and the numeric OK and ERROR (0 and 4) of a phone
// left in numeric mode. Every reader of AT answers asks this, so that all know the same ones.
FinalResult FinalResultOf(std::string_view line);

// Reading an information line: the one way every reader of a phone's answers takes them apart,
// so that all trim, unquote and read numbers alike.

// The line without the blanks (and line ends) around it.
std::string_view TrimmedLine(std::string_view line);
// The text after "<name>:" when the line begins with name (in any letter case) and a colon,
// without the blanks around it; nothing for any other line.
std::optional<std::string_view> InformationOf(std::string_view line, std::string_view name);
// The text without the quotes around it, when it has them.
std::string_view Unquoted(std::string_view text);
// The comma-separated fields of an information text, each without the blanks around it; a
// quoted field loses its quotes, and a comma between them belongs to the field.
std::vector<std::string_view> FieldsOf(std::string_view information);
// A decimal number of 1 to mostDigits digits; nothing for any other text.
std::optional<int> NumberOf(std::string_view field, std::size_t mostDigits = 3);
// The fields of the first of lines that begins with "<name>:"; nothing when none does.
std::optional<std::vector<std::string_view>> FieldsFor(const std::vector<std::string>& lines, std::string_view name);

} // namespace vantaro
