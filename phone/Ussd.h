#pragma once
// Asking the network a USSD code (the balance, a menu) and reading its reply.
//
//   AT+CUSD=1,"<code>",15   sends the code; the phone answers OK at once, and the network's
//                           reply comes later as an unsolicited line: +CUSD: <m>[,"<str>"[,<dcs>]]
//   AT+CUSD=2               ends a dialog that the network left open (a menu)
//
// The code is the only thing the user types that goes into the command, so it is held to the
// characters a keypad dials: it can never close the quotes or add a command of its own.
// The reply's text comes in whatever form the phone chose: already decoded into its character
// set, or as hex of UCS2, of packed septets or of one septet a byte. The data coding scheme
// and the bytes themselves tell which; what cannot be read is shown as hex and said so, never
// as characters that were not sent.

#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

namespace vantaro {

inline constexpr char kUssdCancelCommand[] = "AT+CUSD=2";
// Longer than any code a keypad dials, shorter than a phone's command line.
inline constexpr std::size_t kLongestUssdCode = 160;
// Every +CUSD line is read whole up to this; a longer one is no reply and is left out.
inline constexpr std::size_t kLongestUssdLine = 4096;

enum class UssdCodeFault {
    None,
    Empty,
    TooLong,      // more than kLongestUssdCode characters
    NotDialable,  // a character other than the digits, '*' and '#'
};

struct UssdCommand {
    std::string command;  // AT+CUSD=1,"<code>",15; empty when the code was refused
    UssdCodeFault fault = UssdCodeFault::None;
};

// The command that sends a code, or a menu's answer in the same dialog.
UssdCommand UssdSendCommand(std::string_view code);
// In words, for the log: "", "no code", "longer than 160 characters", "only digits, * and #".
const char* UssdCodeFaultText(UssdCodeFault fault);

// What the network's <m> means for the person waiting; the numbers are <m>'s.
enum class UssdStatus {
    Answered = 0,         // the reply is all; nothing more to do
    AwaitsAnswer = 1,     // a menu: the user answers it with UssdSendCommand in the same dialog
    EndedByNetwork = 2,   // the network ended the dialog
    OtherClient = 3,      // another program on the phone answered
    NotSupported = 4,     // the network or phone does not offer the code
    NetworkTimedOut = 5,  // the network took too long
    Unknown,              // a number the phone should not send
};

// How the reply's text was read.
enum class UssdDecoding {
    NoText,           // the reply carried none
    AsSent,           // text the phone had decoded itself (AT+CSCS "IRA", "GSM", "UTF-8")
    Ucs2Hex,          // four hex digits a UTF-16 unit
    Gsm7PackedHex,    // septets packed into octets, in hex
    Gsm7UnpackedHex,  // one septet a byte, in hex
    EightBit,         // 8-bit data that is plain ASCII text
    UnknownCoding,    // a coding this program does not read (reserved, compressed, binary): its hex
    NotDecodable,     // not what its coding says (bad hex, odd length, a lone surrogate): its hex
};

struct UssdText {
    std::string utf8;  // line ends as "\n"
    UssdDecoding decoding = UssdDecoding::NoText;
};

struct UssdReply {
    UssdStatus status = UssdStatus::Unknown;
    std::optional<int> dataCoding;  // <dcs>, when given
    UssdText text;
};

// The text of <str> under the data coding scheme <dcs> (nothing: the default alphabet).
UssdText DecodeUssdText(std::string_view text, std::optional<int> dataCoding);

// One +CUSD line (without its line end, the quotes holding any line breaks of a menu); nothing
// for any other line or a +CUSD line that is not of the form.
std::optional<UssdReply> ReadUssdLine(std::string_view line);

// The +CUSD replies in the bytes a port sends once the command is written, in whatever pieces
// they come: it is fed the same bytes as the command's ResponseReader, and the ones after its
// OK. A line break inside the quotes belongs to a menu's text and does not end the line; every other
// line (the echo, OK, RING, +CREG: ...) is passed over.
class UssdReplyReader {
public:
    void Feed(std::string_view bytes);
    // The next whole reply, in the order they came; nothing until one is whole.
    std::optional<UssdReply> Take();
    // The start of a +CUSD line came and its end has not: "not yet", as opposed to no reply at all.
    bool Partial() const;

private:
    void TakeByte(char c);

    std::string line_;
    bool quoted_ = false;
    bool overrun_ = false;  // the line grew past kLongestUssdLine: skipped to its end
    std::deque<std::string> whole_;  // whole +CUSD lines not yet taken
};

// In words, for the log.
const char* UssdStatusText(UssdStatus status);
const char* UssdDecodingText(UssdDecoding decoding);

} // namespace vantaro
