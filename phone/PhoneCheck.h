#pragma once
// The check of one port: open it, ask AT until it answers OK (up to three times), then ask the
// phone who made it, what model it is, whether its SIM is ready, how strong the signal is and
// whether it is registered; of a SIM that is ready, which operator it belongs to (its MCC and
// MNC, never the whole IMSI). Also the one thing the check sends on the user's word: a PIN.

#include "phone/AtResponse.h"
#include "phone/PortFindings.h"
#include "phone/SerialPort.h"
#include "platform/Clock.h"

#include <atomic>
#include <cstdint>
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
};

// The most questions one check asks once the setup line is sent: seven about the phone (AT+CGMI,
// AT+CGMM, ATI, AT+CPIN?, AT+CSQ, AT+CREG?, AT+CGREG?), four about its SIM's operator.
inline constexpr int kMostQuestions = 11;
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
std::optional<int> SignalFrom(const AtResponse& response);  // AT+CSQ
Registration RegistrationFrom(const AtResponse& response);  // AT+CREG?, AT+CGREG?

enum class PinOutcome {
    Accepted,   // the phone said OK
    Rejected,   // the phone said no (a wrong PIN, or no PIN wanted)
    NotValid,   // not 4 to 8 digits: nothing was sent
    NoAnswer,   // the phone said nothing in time, or went away
    NotOpened,  // the port did not open (busy, refused, missing)
    Stopped,
};

// 4 to 8 digits, nothing else.
bool IsValidPin(std::string_view pin);
// Sends AT+CPIN="<pin>" once and says whether the phone took it. Never sent again by itself:
// each wrong PIN brings the SIM closer to its PUK. The PIN is neither kept nor written anywhere.
PinOutcome SendPin(SerialPorts& ports, const std::string& name, std::string_view pin, Clock& clock,
                   const std::atomic<bool>& stop, const CheckTimings& timings = {});

} // namespace vantaro
