#pragma once
// The serial port scan's platform in memory: a version answer, a serial port map whose values
// are given per index as the enumeration would report them, and ports that answer an open
// with a chosen error. Every call is recorded.

#include "platform/SerialPortPlatform.h"

#include <map>
#include <vector>

namespace vantaro::testing {

class FakeSerialPortPlatform final : public SerialPortPlatform {
public:

    std::optional<std::uint32_t> PlatformId() const override { return platformId; }

    std::unique_ptr<SerialCommValues> OpenSerialComm() const override {
        if (!serialCommExists) return nullptr;
        return std::make_unique<Values>(*this);
    }

    std::uint32_t OpenPort(const std::string& devicePath) const override {
        openedPaths.push_back(devicePath);
        auto found = portErrors.find(devicePath);
        return found == portErrors.end() ? platform_code::kErrorFileNotFound : found->second;
    }

    // A REG_SZ value as a successful call returns it.
    static SerialCommValue PortName(std::string data) {
        return {platform_code::kErrorSuccess, platform_code::kRegSz, std::move(data)};
    }

    std::optional<std::uint32_t> platformId = platform_code::kPlatformWin32Nt;
    bool serialCommExists = true;
    // Index i of the map reports values[i]; past the end, kErrorNoMoreItems.
    std::vector<SerialCommValue> values;
    // Device paths that exist, with what opening them answers (kErrorSuccess: it opened).
    std::map<std::string, std::uint32_t> portErrors;

    mutable std::vector<std::uint32_t> enumeratedIndexes;
    mutable std::vector<std::string> openedPaths;
    mutable int openKeys = 0;

private:
    class Values final : public SerialCommValues {
    public:
        explicit Values(const FakeSerialPortPlatform& platform) : platform_(platform) { ++platform_.openKeys; }
        ~Values() override { --platform_.openKeys; }

        SerialCommValue Enumerate(std::uint32_t index) override {
            platform_.enumeratedIndexes.push_back(index);
            if (index < platform_.values.size()) return platform_.values[index];
            return SerialCommValue{};
        }

    private:
        const FakeSerialPortPlatform& platform_;
    };
};

} // namespace vantaro::testing
