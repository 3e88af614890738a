#pragma once
// What the serial port scan needs from the platform: the version's platform id, the values of
// the registry's serial port map (HKLM\HARDWARE\DEVICEMAP\SERIALCOMM), and opening a port's
// device path. The scan's rules live in portable code (settings/SerialPortScanner); the Win32
// side only carries out these calls.

#include "platform/PlatformCodes.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace vantaro {

// Both buffers that a value is read into are this size: a longer name or longer data makes
// the enumeration report kErrorMoreData for that value.
inline constexpr std::size_t kSerialCommBufferSize = 256;

// One value of the serial port map at one index, as the enumeration reports it.
struct SerialCommValue {
    std::uint32_t result = platform_code::kErrorNoMoreItems;
    std::uint32_t type = 0;
    // The data bytes, at most kSerialCommBufferSize of them, when the call succeeded; after
    // kErrorMoreData the platform leaves them undefined, so they are not passed on.
    std::string data;
};

// The open serial port map; the key is closed when this is destroyed.
class SerialCommValues {
public:
    SerialCommValues() = default;
    SerialCommValues(const SerialCommValues&) = delete;
    SerialCommValues& operator=(const SerialCommValues&) = delete;
    virtual ~SerialCommValues() = default;

    virtual SerialCommValue Enumerate(std::uint32_t index) = 0;
};

class SerialPortPlatform {
public:
    SerialPortPlatform() = default;
    SerialPortPlatform(const SerialPortPlatform&) = delete;
    SerialPortPlatform& operator=(const SerialPortPlatform&) = delete;
    virtual ~SerialPortPlatform() = default;

    // The platform id of the system version; nothing when the version query failed.
    virtual std::optional<std::uint32_t> PlatformId() const = 0;
    // The serial port map opened for reading its values; null when it cannot be opened.
    virtual std::unique_ptr<SerialCommValues> OpenSerialComm() const = 0;
    // Opens the device path for reading and writing without sharing and closes it again.
    // kErrorSuccess when it opened, otherwise the platform's error code.
    virtual std::uint32_t OpenPort(const std::string& devicePath) const = 0;
};

} // namespace vantaro
