#pragma once
// The port list's source: the serial ports of this computer, found in the registry's serial
// port map on the NT family and by opening COM1 to COM255 elsewhere.

#include "platform/SerialPortPlatform.h"
#include "settings/SerialPortSource.h"

#include <optional>
#include <string_view>

namespace vantaro {

// The highest port the probing path tries; the registry path has no such limit.
inline constexpr std::uint32_t kHighestProbedPort = 255;

// The port number in a port name such as "COM3": the leading decimal number from the fourth
// character on, blanks skipped, 0 when no digit follows (so "CNCA0" gives 0). The name ends at
// its first NUL. Nothing when the number does not fit 32 bits: that is no port.
std::optional<std::uint32_t> PortNumberFromName(std::string_view name);

class SerialPortScanner final : public SerialPortSource {
public:
    explicit SerialPortScanner(const SerialPortPlatform& platform) : platform_(platform) {}

    void EnumerateSerialPorts(std::vector<std::uint32_t>& ports) const override;

private:
    void ReadSerialComm(std::vector<std::uint32_t>& ports) const;
    void ProbePorts(std::vector<std::uint32_t>& ports) const;

    const SerialPortPlatform& platform_;
};

} // namespace vantaro
