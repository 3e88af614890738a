#pragma once
// The narrow serial-port service the phone conversation needs: open a port by its name
// (115200 baud, 8 data bits, no parity, one stop bit), write, read with a time limit, purge,
// close. The Win32 implementation is phone/win32/Win32SerialPort; tests use a scripted fake.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace vantaro {

class SerialPort {
public:
    SerialPort() = default;
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;
    virtual ~SerialPort() = default;  // closes the port

    // Writes all of bytes within the port's own write bound; false when they did not all go
    // out (the port is gone or stuck).
    virtual bool Write(std::string_view bytes) = 0;
    // Waits at most timeoutMs (at least 1) for bytes and returns those that came, returning
    // soon after the first ones arrive; empty when none came in time. Nothing when the port
    // failed (a phone unplugged mid-answer).
    virtual std::optional<std::string> Read(std::uint32_t timeoutMs) = 0;
    // Drops whatever was received and not read yet, and whatever waits to be sent.
    virtual void Purge() = 0;
    virtual void Close() = 0;
};

// Why a port did not open.
enum class PortOpenError {
    None,
    Busy,     // another program holds it (access denied, sharing violation)
    Refused,  // it exists but is no serial port we can set up, or the name is not a port name
    Missing,  // no such port (unplugged)
};

struct PortOpenResult {
    std::unique_ptr<SerialPort> port;  // set exactly when error is None
    PortOpenError error = PortOpenError::Missing;
    std::uint32_t platformError = 0;   // the platform's own code, for a message
};

// Opens ports by name ("COM5"). Called from several workers at once, so it keeps no state
// that is not safe to share.
class SerialPorts {
public:
    SerialPorts() = default;
    SerialPorts(const SerialPorts&) = delete;
    SerialPorts& operator=(const SerialPorts&) = delete;
    virtual ~SerialPorts() = default;

    virtual PortOpenResult Open(const std::string& name) = 0;
};

} // namespace vantaro
