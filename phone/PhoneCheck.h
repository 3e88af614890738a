#pragma once
// The check of one port: open it, ask AT until it answers OK (up to three times), then ask the
// phone who made it, what model it is, whether its SIM is ready, how strong the signal is and
// whether it is registered; of a SIM that is ready, which operator it belongs to (its MCC and
// MNC, never the whole IMSI); of a SIM that wants a code, how many tries that code has left.
// The check only asks: it never sends a code (phone/SimCodes does that, on the user's word).

#include "phone/AtResponse.h"
#include "phone/PortFindings.h"
#include "phone/SerialPort.h"
#include "phone/SimIdentity.h"
#include "platform/Clock.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace vantaro {

// Sent once a port answered AT, as one command line: echo off, verbose results, error numbers.
inline constexpr char kModemSetupCommand[] = "ATE0V1+CMEE=1";

struct CheckTimings {
    std::uint32_t probeMs = 1000;  // each AT that asks whether a modem is there
    int probes = 3;
    std::uint32_t queryMs = 2000;  // each question once it answered
    std::uint32_t pinMs = 10000;   // a phone may take seconds to check a PIN
    // A SIM that has just checked a code may answer "SIM busy" for a moment: its state is asked
    // this often in all, with this pause between (a question costs the SIM no try).
    int busyAsks = 3;
    std::uint32_t busyPauseMs = 1000;
};

// The questions the check asks of every phone once the setup line is sent, in their order.
inline constexpr char kSimStateCommand[] = "AT+CPIN?";
inline constexpr const char* kPhoneQuestions[] = {"AT+CGMI", "AT+CGMM", "ATI", kSimStateCommand, "AT+CSQ", "AT+CREG?", "AT+CGREG?"};
// Of a SIM that wants a code: how many tries are left (where the phone knows the command).
inline constexpr char kTriesLeftCommand[] = "AT+CPINR";
inline constexpr const char* kLockedSimQuestions[] = {kTriesLeftCommand};
// Of a SIM that is ready: which operator it belongs to, its ICCID and its provider's name.
inline constexpr const char* kReadySimQuestions[] = {kImsiCommand, kReadMncLengthCommand,
                                                     kNumericOperatorFormatCommand,
                                                     kRegisteredOperatorCommand,
                                                     kIccidCommand, kReadIccidCommand, kReadSpnCommand};
// A SIM is either locked or ready, so one check asks the questions of one of the two.
inline constexpr int kMostQuestions =
    static_cast<int>(std::size(kPhoneQuestions)) +
    static_cast<int>(std::max(std::size(kLockedSimQuestions), std::size(kReadySimQuestions)));
// What a wait for whole checks allows beyond their schedule: threads starting, reads that end a
// little after their slice, writes that take up to the port's write bound.
inline constexpr std::uint32_t kCheckSlackMs = 2000;

// The longest a check of one port can take: every probe unanswered but the last, the setup
// line, then each question with the AT that tells a phone gone from a question it does not know.
constexpr std::uint32_t LongestCheckMs(const CheckTimings& timings) {
    return static_cast<std::uint32_t>(timings.probes) * timings.probeMs + timings.queryMs +
           kMostQuestions * (timings.queryMs + timings.probeMs);
}
// How long to wait for checks run side by side with the usual timings.
inline constexpr std::uint32_t kWholeCheckBoundMs = LongestCheckMs(CheckTimings{}) + kCheckSlackMs;

// The findings of one port. Whatever the port does, this ends within the bounds of timings
// (and at the next bound after stop is set), with the port closed.
PortFindings CheckPort(SerialPorts& ports, const std::string& name, Clock& clock,
                       const std::atomic<bool>& stop, const CheckTimings& timings = {});

// What the answers of the phone say; each takes the response to its own command.
std::string MakerFrom(const AtResponse& response);   // AT+CGMI
std::string ModelFrom(const AtResponse& response);   // AT+CGMM; ATI: its "Model:" line, else its first
SimState SimFrom(const AtResponse& response);        // AT+CPIN?
// AT+CPINR: the tries left for the code the SIM state names ("SIM PIN", "SIM PUK", ...), from
// the line of that code ("+CPINR: SIM PIN,3,3"); nothing when the phone gives no such line, or
// one whose count is no small number or exceeds the code's own number of tries.
std::optional<int> TriesLeftFrom(const AtResponse& response, SimState sim);
// The code a SIM in this state wants, as AT+CPIN? and AT+CPINR name it; empty for none.
const char* CodeName(SimState sim);
std::optional<int> SignalFrom(const AtResponse& response);  // AT+CSQ
Registration RegistrationFrom(const AtResponse& response);  // AT+CREG?, AT+CGREG?

} // namespace vantaro
