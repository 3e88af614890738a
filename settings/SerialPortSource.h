#pragma once
// Where the port list gets its port numbers from.

#include <cstdint>
#include <vector>

namespace vantaro {

class SerialPortSource {
public:
    SerialPortSource() = default;
    SerialPortSource(const SerialPortSource&) = delete;
    SerialPortSource& operator=(const SerialPortSource&) = delete;
    virtual ~SerialPortSource() = default;

    // Empties the list, then appends the port numbers found, in the order found.
    virtual void EnumerateSerialPorts(std::vector<std::uint32_t>& ports) const = 0;
};

} // namespace vantaro
