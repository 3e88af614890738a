#pragma once
// The removal of one device (through its class installer, as Device Manager removes one, its
// driver key with it) and of one driver package from the driver store. A 32-bit process on
// 64-bit Windows may not call the class installer (ERROR_IN_WOW64), so there the removal goes
// through the 64-bit helper pnpagent64.exe from the program's own folder; every other build
// removes in its own process (modem/win32/Win32DeviceRemover.h).

#include "modem/ProcessLauncher.h"

#include <cstdint>
#include <string>

namespace vantaro {

enum class DeviceRemovalResult {
    Removed,
    RestartNeeded,  // Windows finishes the removal when it restarts
    NotThere,
    NotOurs,  // left alone: the driver store gave the name to someone else's package
    Failed,
};

struct DeviceRemoval {
    DeviceRemovalResult result = DeviceRemovalResult::Failed;
    std::uint32_t error = 0;  // the platform's error code of a failure
};

class DeviceRemover {
public:
    DeviceRemover() = default;
    DeviceRemover(const DeviceRemover&) = delete;
    DeviceRemover& operator=(const DeviceRemover&) = delete;
    virtual ~DeviceRemover() = default;

    virtual DeviceRemoval RemoveDevice(const std::string& instanceId) = 0;
    // `infName` is the package's INF as the driver key's InfPath names it (oemNN.inf); a
    // package that a device still uses is not removed.
    virtual DeviceRemoval RemoveDriverPackage(const std::string& infName) = 0;
};

enum class RemovalRoute { InProcess, ThroughHelper };

RemovalRoute ChooseRemovalRoute(bool runningUnderWow64);

// Whether the name is a bare INF file name, as the driver key's InfPath names the INF the driver
// came from: oem<number>.inf on Windows, the INF's own name on Wine, which copies it into the
// INF folder as it is. Nothing else (a path, another kind of file) is handed to the removal.
bool IsInfFileName(const std::string& name);

// The helper's exit code as a removal; an unreadable one or a helper that did not start is a
// failure.
DeviceRemoval RemovalFromAgent(const ProcessOutcome& outcome);

// The removals through pnpagent64.exe in `programFolder`.
class AgentDeviceRemover final : public DeviceRemover {
public:
    AgentDeviceRemover(ProcessLauncher& processes, std::string programFolder)
        : processes_(processes), programFolder_(std::move(programFolder)) {}

    DeviceRemoval RemoveDevice(const std::string& instanceId) override;
    DeviceRemoval RemoveDriverPackage(const std::string& infName) override;

private:
    DeviceRemoval Run(const char* verb, const std::string& what);

    ProcessLauncher& processes_;
    std::string programFolder_;
};

} // namespace vantaro
