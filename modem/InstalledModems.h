#pragma once
// The devices of the modem class as the platform keeps them, present or not (an unplugged phone
// keeps its device), and the removal of one as Device Manager removes it: through the class
// installer, its driver key with it. Windows implements it with SetupAPI
// (modem/win32/Win32InstalledModems.h).

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
};

class InstalledModems {
public:
    InstalledModems() = default;
    InstalledModems(const InstalledModems&) = delete;
    InstalledModems& operator=(const InstalledModems&) = delete;
    virtual ~InstalledModems() = default;

    // Every device of the modem class; nothing when the platform refuses the list.
    virtual std::optional<std::vector<InstalledDevice>> List() = 0;
    // Removes a device of the latest list.
    virtual bool Remove(const InstalledDevice& device) = 0;
    // The platform's error code of the most recent failed call.
    virtual std::uint32_t LastError() const = 0;
};

} // namespace vantaro
