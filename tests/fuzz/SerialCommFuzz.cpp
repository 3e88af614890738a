// The port list read from the registry's serial port map, whatever the map holds: values of any
// type, data of any bytes (up to the buffer the platform fills), and any result code from the
// enumeration. The list holds exactly the numbers of the REG_SZ values read whole before the
// first value the enumeration refuses; numbers too big for 32 bits are no port; the key is
// closed again; off the NT family the ports are probed, COM1 to COM255, each once.

#include "fakes/FakeSerialPortPlatform.h"
#include "fuzz/FuzzCheck.h"
#include "settings/SerialPortScanner.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

using namespace vantaro::platform_code;

// The number a port name gives, worked out differently from the reader: the digits as text,
// compared with the largest 32-bit number as text.
std::optional<std::uint32_t> ExpectedNumber(std::string name) {
    name = name.substr(0, name.find('\0'));
    if (name.size() <= 3) return 0u;
    std::size_t i = 3;
    while (i < name.size() && std::string(" \t\n\v\f\r").find(name[i]) != std::string::npos) ++i;
    std::string digits;
    while (i < name.size() && name[i] >= '0' && name[i] <= '9') digits += name[i++];
    digits.erase(0, digits.find_first_not_of('0'));
    if (digits.size() > 10 || (digits.size() == 10 && digits > "4294967295")) return std::nullopt;
    return digits.empty() ? 0u : static_cast<std::uint32_t>(std::stoul(digits));
}

std::uint32_t PickResult(FuzzedDataProvider& data) {
    switch (data.ConsumeIntegralInRange(0, 7)) {
    case 0: return kErrorMoreData;
    case 1: return kErrorNoMoreItems;
    case 2: return data.ConsumeIntegral<std::uint32_t>();
    default: return kErrorSuccess;
    }
}

std::string PortName(FuzzedDataProvider& data) {
    switch (data.ConsumeIntegralInRange(0, 3)) {
    case 0: return "COM" + std::to_string(data.ConsumeIntegral<std::uint32_t>());
    case 1: return "COM" + std::to_string(data.ConsumeIntegral<std::uint64_t>());
    default: return data.ConsumeRandomLengthString(vantaro::kSerialCommBufferSize);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    using vantaro::fuzz::Require;
    FuzzedDataProvider data(bytes, size);

    vantaro::testing::FakeSerialPortPlatform platform;
    if (data.ConsumeProbability<float>() < 0.1f)
        platform.platformId = data.ConsumeBool() ? std::nullopt : std::optional<std::uint32_t>(data.ConsumeIntegral<std::uint32_t>());
    platform.serialCommExists = data.ConsumeProbability<float>() > 0.05f;
    const std::size_t count = data.ConsumeIntegralInRange<std::size_t>(0, 12);
    for (std::size_t i = 0; i < count; ++i) {
        vantaro::SerialCommValue value;
        value.result = PickResult(data);
        value.type = data.ConsumeIntegralInRange(0, 4) == 0 ? data.ConsumeIntegralInRange<std::uint32_t>(0, 11) : kRegSz;
        value.data = PortName(data);
        if (value.data.size() > vantaro::kSerialCommBufferSize) value.data.resize(vantaro::kSerialCommBufferSize);
        platform.values.push_back(value);
    }
    const std::size_t present = data.ConsumeIntegralInRange<std::size_t>(0, 6);
    for (std::size_t i = 0; i < present; ++i) {
        char path[32];
        std::snprintf(path, sizeof path, "\\\\.\\COM%u", data.ConsumeIntegralInRange(0u, 300u));
        platform.portErrors[path] = data.ConsumeBool() ? data.PickValueInArray({kErrorSuccess, kErrorAccessDenied, kErrorGenFailure})
                                                       : data.ConsumeIntegral<std::uint32_t>();
    }

    std::vector<std::uint32_t> ports = {7, 7, 7};  // whatever the caller had is replaced
    vantaro::SerialPortScanner(platform).EnumerateSerialPorts(ports);

    std::vector<std::uint32_t> expected;
    const bool nt = platform.platformId == kPlatformWin32Nt;
    if (nt && platform.serialCommExists) {
        std::size_t index = 0;
        for (; index < platform.values.size(); ++index) {
            const vantaro::SerialCommValue& value = platform.values[index];
            if (value.result != kErrorSuccess && value.result != kErrorMoreData) break;
            if (value.result != kErrorSuccess || value.type != kRegSz) continue;
            if (std::optional<std::uint32_t> number = ExpectedNumber(value.data)) expected.push_back(*number);
        }
        Require(platform.enumeratedIndexes.size() == index + 1, "the enumeration stops at the first refused value");
        for (std::size_t i = 0; i < platform.enumeratedIndexes.size(); ++i)
            Require(platform.enumeratedIndexes[i] == i, "every index is asked once, in order");
    } else if (!nt) {
        for (std::uint32_t n = 1; n <= vantaro::kHighestProbedPort; ++n) {
            const auto found = platform.portErrors.find("\\\\.\\COM" + std::to_string(n));
            const std::uint32_t error = found == platform.portErrors.end() ? 2u : found->second;
            if (error == kErrorSuccess || error == kErrorAccessDenied || error == kErrorGenFailure) expected.push_back(n);
        }
        Require(platform.openedPaths.size() == vantaro::kHighestProbedPort, "every port from COM1 to COM255 is probed once");
    }
    Require(ports == expected, "the list holds exactly the ports the platform reports");
    Require(platform.openKeys == 0, "the serial port map is closed again");
    if (nt) Require(platform.openedPaths.empty(), "the NT family is never probed");
    return 0;
}
