#pragma once
// Device installation through SetupAPI and newdev.

#include "modem/DeviceSetup.h"

namespace vantaro {

class Win32DeviceSetup final : public DeviceSetup {
public:
    bool GetInfClass(const std::string& infPath, DeviceClass& deviceClass) override;
    std::unique_ptr<DeviceInfoSet> CreateDeviceInfoList(const DeviceClass& deviceClass) override;
    bool UpdateDriverForPlugAndPlayDevices(const std::string& hardwareId, const std::string& infPath) override;
    std::uint32_t LastError() const override { return lastError_; }

private:
    std::uint32_t lastError_ = 0;
};

} // namespace vantaro
