#pragma once
// The devices of the modem class as the platform keeps them, present or not (an unplugged phone
// keeps its device), each with what its driver key says of the driver that drives it. Windows
// implements it with SetupAPI (modem/win32/Win32InstalledModems.h); modem/DeviceRemoval.h
// removes them.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vantaro {

struct InstalledDevice {
    std::size_t index = 0;  // its place in the latest list
    std::string instanceId;
    std::vector<std::string> hardwareIds;
    std::string friendlyName;       // the name the remote-access service lists the modem by
    std::string driverDescription;  // DriverDesc; empty for a device without a driver
    std::string infPath;            // InfPath: the driver store's name of the INF (oemNN.inf)
    std::string infOriginalName;    // the name that INF had before the driver store copied it
};

// A package of the driver store as its INF folder holds it (%WINDIR%\inf\oemNN.inf).
struct DriverPackage {
    std::string originalName;        // the INF's name before the store copied it; empty when unknown
    std::optional<std::string> text; // the copy's bytes; nothing when they cannot be read
};

class InstalledModems {
public:
    InstalledModems() = default;
    InstalledModems(const InstalledModems&) = delete;
    InstalledModems& operator=(const InstalledModems&) = delete;
    virtual ~InstalledModems() = default;

    // Every device of the modem class; nothing when the platform refuses the list.
    virtual std::optional<std::vector<InstalledDevice>> List() = 0;
    // The platform's error code of the most recent failed call.
    virtual std::uint32_t LastError() const = 0;
    // The package of that INF name (oemNN.inf); nothing when the INF folder has no such file.
    virtual std::optional<DriverPackage> ReadDriverPackage(const std::string& infName) = 0;
};

} // namespace vantaro
