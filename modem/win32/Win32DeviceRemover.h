#pragma once
// Removals in this process through SetupAPI: a device by its instance id through the class
// installer's DIF_REMOVE, as Device Manager removes one, and a driver package with
// SetupUninstallOEMInf. Vantaro's 64-bit build and pnpagent64.exe use it; the 32-bit build
// under WOW64 goes through the helper instead (modem/DeviceRemoval.h).

#include "modem/DeviceRemoval.h"

namespace vantaro {

class Win32DeviceRemover final : public DeviceRemover {
public:
    DeviceRemoval RemoveDevice(const std::string& instanceId) override;
    DeviceRemoval RemoveDriverPackage(const std::string& infName) override;
};

} // namespace vantaro
