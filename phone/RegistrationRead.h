#pragma once
// The phone's registration, read just before a dial: open its port, ask AT+CREG? (and
// AT+CGREG? when the phone gives no CREG), close. The dial waits for this, so the whole
// conversation keeps to one short budget; a port that does not open or a phone that does not
// answer in it gives Registration::Unknown, and the dial goes on as it would without the read.

#include "phone/PortFindings.h"
#include "phone/SerialPort.h"
#include "platform/Clock.h"

#include <cstdint>
#include <string>

namespace vantaro {

struct RegistrationTimings {
    std::uint32_t probeMs = 400;     // the AT that tells a phone from a silent port
    std::uint32_t questionMs = 700;  // each of AT+CREG? and AT+CGREG?
};

// The longest the conversation can take once the port is open: the probe and both questions.
constexpr std::uint32_t LongestRegistrationReadMs(const RegistrationTimings& timings) {
    return timings.probeMs + 2 * timings.questionMs;
}

Registration ReadRegistration(SerialPorts& ports, const std::string& portName, Clock& clock,
                              const RegistrationTimings& timings = {});

} // namespace vantaro
