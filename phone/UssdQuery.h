#pragma once
// Asking the network a USSD code through the phone on one port, on a worker: the port is opened,
// the code sent, and the network's reply waited for until it comes, the phone refuses the code,
// the wait's bound passes, or the caller stops. A reply the network has not given in time is
// cancelled on the phone, so that the next code does not meet a dialog left open.

#include "phone/AtResponse.h"
#include "phone/SerialPort.h"
#include "phone/Ussd.h"
#include "platform/Clock.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>

namespace vantaro {

// A network answers within seconds; a reply that has not come by then will not come.
inline constexpr std::uint32_t kUssdReplyWaitMs = 30000;
// The cancel after a time-out is a plain command.
inline constexpr std::uint32_t kUssdCancelWaitMs = 2000;

enum class UssdEnd {
    Reply,        // the network's reply is in `reply`
    CodeRefused,  // not a code a keypad dials: nothing was sent (`codeFault` says why)
    PortBusy,     // another program holds the port (a connection dialled on it)
    PortMissing,  // no such port, or not one that opens as a serial port
    PhoneRefused, // the phone answered the command with an error (`finalLine`)
    TimedOut,     // no reply within kUssdReplyWaitMs
    PortLost,     // the port failed (unplugged) or took no command
    Stopped,      // the caller stopped
};

struct UssdOutcome {
    UssdEnd end = UssdEnd::Stopped;
    UssdCodeFault codeFault = UssdCodeFault::None;
    UssdReply reply;
    std::string finalLine;  // of a refusal: "ERROR", "+CME ERROR: 30"
};

// Sends the code (or a menu's answer) to the phone on the port and waits for the reply.
UssdOutcome AskUssd(SerialPorts& ports, const std::string& port, std::string_view code, Clock& clock,
                    const std::atomic<bool>& stop, std::uint32_t replyWaitMs = kUssdReplyWaitMs);

} // namespace vantaro
