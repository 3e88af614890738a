#pragma once
// Serial ports through the platform's communications functions: \\.\COMn opened without
// sharing, 115200 8N1 without flow control, DTR and RTS raised (a phone talks only with DTR
// up). Reads and writes are bounded by the time-outs set when the port opens (a write by
// kWriteBoundMs); opening, purging and closing are not, so a driver that hangs there holds the
// worker that called it (never a dialog, which does not wait for workers).

#include "phone/SerialPort.h"

#include <cstdint>
#include <string>

namespace vantaro {

// The longest port name taken ("COM255" and the like); a longer one is refused unopened.
inline constexpr std::size_t kLongestPortName = 32;
// How long a write may take before the port counts as stuck.
inline constexpr std::uint32_t kWriteBoundMs = 1000;
// A read returns this long after the last byte that came; at 115200 baud a phone's answer
// comes with far shorter gaps between its bytes.
inline constexpr std::uint32_t kReadGapMs = 10;

class Win32SerialPorts final : public SerialPorts {
public:
    PortOpenResult Open(const std::string& name) override;
};

// The device path of a port name ("COM5" gives \\.\COM5); empty for a name that is empty,
// longer than kLongestPortName or holds anything but letters and digits.
std::string DevicePath(const std::string& name);
// How an error of CreateFileA on a port is told.
PortOpenError OpenErrorOf(std::uint32_t platformError);

} // namespace vantaro
