#pragma once
// The helper's device-installation services: SetupAPI and newdev, in the 64-bit process.

#include "pnpagent64/AgentCommand.h"

namespace vantaro::pnpagent {

class Win32DriverInstaller final : public DriverInstaller {
public:
    bool FileExists(const std::string& path) override;
    bool ReadInf(const std::string& infPath, std::string& bytes) override;
    DeviceMatch MatchDevices(const std::string& hardwareId, const std::string& infPath) override;
    bool UpdateDriver(const std::string& hardwareId, const std::string& infPath, bool& restartNeeded,
                      std::uint32_t& error) override;
    RunningWindows Windows() const override;
};

} // namespace vantaro::pnpagent
