#pragma once
// What pnpagent64.exe does with its command line:
//   pnpagent64.exe UpdateDriverForPlugAndPlayDevices <hardware id> "<INF path>"
// installs, forcing it, the driver for the devices with that hardware id from that INF with the
// 64-bit driver-update service. It exits with a non-zero code when the driver was installed and
// with 0 when it was not; any other command line gets a usage line and exit code 0. It always
// prints one line that says what it did or why it did not.
//   pnpagent64.exe RemoveDevice "<device instance id>"
//   pnpagent64.exe RemoveDriverPackage <oemNN.inf>
// remove a device through its class installer, or a driver package from the driver store, for
// the 32-bit Vantaro, which may not call the class installer on 64-bit Windows. Their exit codes
// are in modem/PnpAgentCommand.h: 1 removed, 3 removed when Windows restarts, 2 nothing there,
// 0 not removed.
//
// Before the update it makes sure there is something to update: an INF that installs a modem for
// the hardware id on 64-bit Windows with every file it copies beside it (CheckModemInf), a device
// with the hardware id, and a driver for it in the INF. The update service does not fail for
// each of these everywhere (Wine's does nothing and reports success, or waits for a missing
// file), and the caller must not be told "installed" then.

#include "modem/DeviceRemoval.h"
#include "modem/InfCheck.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vantaro::pnpagent {

inline constexpr int kExitInstalled = 1;
inline constexpr int kExitNotInstalled = 0;

// The platform takes device ids of at most 200 bytes and paths of at most 260, NULs included.
inline constexpr std::size_t kMaxHardwareId = 199;
inline constexpr std::size_t kMaxInfPath = 259;

struct DeviceMatch {
    int devices = 0;     // devices that have the hardware id
    int withDriver = 0;  // of those, the ones the INF has a driver for
};

// The device-installation services the helper uses.
class DriverInstaller {
public:
    DriverInstaller() = default;
    DriverInstaller(const DriverInstaller&) = delete;
    DriverInstaller& operator=(const DriverInstaller&) = delete;
    virtual ~DriverInstaller() = default;

    // Whether a file (the INF, or one beside it) exists.
    virtual bool FileExists(const std::string& path) = 0;
    // The INF's bytes; false when it cannot be read.
    virtual bool ReadInf(const std::string& infPath, std::string& bytes) = 0;
    virtual DeviceMatch MatchDevices(const std::string& hardwareId, const std::string& infPath) = 0;
    // UpdateDriverForPlugAndPlayDevices with INSTALLFLAG_FORCE; on failure `error` is the
    // platform's error code.
    virtual bool UpdateDriver(const std::string& hardwareId, const std::string& infPath, bool& restartNeeded,
                              std::uint32_t& error) = 0;
    // The Windows the INF is checked for; not knowing its version lets every version fit.
    virtual RunningWindows Windows() const { return {}; }
};

struct AgentResult {
    int exitCode = kExitNotInstalled;
    std::string line;  // without a line end
};

std::string UsageLine();

// `arguments` are the ones after the program's own name.
AgentResult RunAgent(const std::vector<std::string>& arguments, DriverInstaller& installer);

// The removal verbs; nothing when the command line names neither (RunAgent then answers it).
std::optional<AgentResult> RunRemoval(const std::vector<std::string>& arguments, DeviceRemover& remover);

// True when the multi-string (entries ended by NULs, the list by an empty one) lists the id,
// compared without regard to the case of ASCII letters as the platform compares device ids.
bool MultiStringLists(const std::string& multiString, const std::string& id);

} // namespace vantaro::pnpagent
