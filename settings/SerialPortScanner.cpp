#include "settings/SerialPortScanner.h"

#include <cstdio>
#include <limits>

namespace vantaro {

namespace {

// Only the NT family keeps the serial port map in the registry.
bool IsNtFamily(const std::optional<std::uint32_t>& platformId) {
    return platformId && *platformId == platform_code::kPlatformWin32Nt;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// "COM" and the like: the number starts after the third character.
constexpr std::size_t kPortNamePrefixLength = 3;

} // namespace

std::optional<std::uint32_t> PortNumberFromName(std::string_view name) {
    name = name.substr(0, name.find('\0'));
    if (name.size() <= kPortNamePrefixLength) return 0u;
    std::size_t i = kPortNamePrefixLength;
    while (i < name.size() && IsBlank(name[i])) ++i;
    std::uint64_t number = 0;
    for (; i < name.size() && name[i] >= '0' && name[i] <= '9'; ++i) {
        number = number * 10 + static_cast<std::uint64_t>(name[i] - '0');
        if (number > std::numeric_limits<std::uint32_t>::max()) return std::nullopt;
    }
    return static_cast<std::uint32_t>(number);
}

void SerialPortScanner::EnumerateSerialPorts(std::vector<std::uint32_t>& ports) const {
    ports.clear();
    if (IsNtFamily(platform_.PlatformId()))
        ReadSerialComm(ports);
    else
        ProbePorts(ports);
}

void SerialPortScanner::ReadSerialComm(std::vector<std::uint32_t>& ports) const {
    using namespace platform_code;
    // Without the map there is no list; probing is only for systems that have no map at all.
    std::unique_ptr<SerialCommValues> values = platform_.OpenSerialComm();
    if (!values) return;
    for (std::uint32_t index = 0;; ++index) {
        const SerialCommValue value = values->Enumerate(index);
        if (value.result != kErrorSuccess && value.result != kErrorMoreData) break;
        // A name or data longer than the buffers leaves the data undefined: such a value is
        // no port name we can read, so it is passed over like any other value that is not one.
        if (value.result == kErrorMoreData || value.type != kRegSz) continue;
        if (std::optional<std::uint32_t> number = PortNumberFromName(value.data)) ports.push_back(*number);
    }
}

void SerialPortScanner::ProbePorts(std::vector<std::uint32_t>& ports) const {
    using namespace platform_code;
    for (std::uint32_t n = 1; n <= kHighestProbedPort; ++n) {
        char devicePath[32];
        std::snprintf(devicePath, sizeof devicePath, "\\\\.\\COM%lu", static_cast<unsigned long>(n));
        const std::uint32_t error = platform_.OpenPort(devicePath);
        // A port in use refuses access, and some drivers answer with a general failure; both
        // say that the port is there.
        if (error == kErrorSuccess || error == kErrorAccessDenied || error == kErrorGenFailure) ports.push_back(n);
    }
}

} // namespace vantaro
