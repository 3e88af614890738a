#pragma once
// One AT command at a time over an open port: the command goes out with its CR, and the
// response is read until its final result, or until the command's deadline, or a stop.
// Every read is bounded by the deadline and by a short slice, so a stop request is seen
// within one slice and nothing waits for a port for ever.

#include "phone/AtResponse.h"
#include "phone/SerialPort.h"
#include "platform/Clock.h"

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vantaro {

// The longest single read: how long a stop request may wait to be seen.
inline constexpr std::uint32_t kReadSliceMs = 100;

class AtConversation {
public:
    AtConversation(SerialPort& port, Clock& clock, const std::atomic<bool>& stop)
        : port_(port), clock_(clock), stop_(stop) {}

    // Sends command (without its CR) and reads its response, for at most deadlineMs in all.
    // Bytes left from earlier commands are dropped first; bytes after the final result are
    // dropped too (they answer nothing that was asked).
    AtResponse Send(std::string_view command, std::uint32_t deadlineMs);

    // The two halves of Send, for an answer that comes after the command's final result (a
    // USSD reply): the command goes out after whatever waits unread is dropped; false when it
    // could not be written.
    bool Write(std::string_view command);
    // What the port sends within one slice, the slice ending no later than deadlineMs after
    // `start` (a TickCount); nothing when the reading has to end, and `why` says why (the
    // deadline, a stop, a lost port).
    std::optional<std::string> ReadSlice(std::uint32_t start, std::uint32_t deadlineMs, ResponseEnd& why);

private:
    SerialPort& port_;
    Clock& clock_;
    const std::atomic<bool>& stop_;
};

} // namespace vantaro
