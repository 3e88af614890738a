#pragma once
// The serial port scan's platform calls: GetVersionExA, the registry's serial port map read
// with RegEnumValueA into 256-byte buffers, and CreateFileA on a port's device path.

#include "platform/SerialPortPlatform.h"

namespace vantaro {

// Where the NT family lists its serial ports, under HKEY_LOCAL_MACHINE.
inline constexpr char kSerialCommKeyPath[] = "HARDWARE\\DEVICEMAP\\SERIALCOMM";

class Win32SerialPortPlatform final : public SerialPortPlatform {
public:
    std::optional<std::uint32_t> PlatformId() const override;
    std::unique_ptr<SerialCommValues> OpenSerialComm() const override;
    std::uint32_t OpenPort(const std::string& devicePath) const override;
};

} // namespace vantaro
