#pragma once
// The install sequence's services on Windows: SetupAPI and the 64-bit helper for the driver,
// the remote-access service for the modem scan and the dial-up entry, the registry for the
// modem's configuration.

#include "dialup/win32/SystemRasLibrary.h"
#include "modem/InstallSequence.h"
#include "modem/win32/Win32DeviceSetup.h"
#include "modem/win32/Win32FileSearch.h"
#include "modem/win32/Win32ProcessLauncher.h"
#include "modem/win32/Win32Registry.h"

namespace vantaro {

class Win32InstallServices final : public InstallServices {
public:
    Win32InstallServices(Profile& settings, MessageSink& messages);

    bool IsRunningUnderWow64() override;
    std::string SearchExecutablePath(const std::string& fileName) override;
    int InstallModemDevice(const std::string& hardwareId, const std::string& infPath, const std::string& portName,
                           const std::string& apn, int connectionMode) override;
    bool EnumModemDevices(std::vector<ModemDeviceName>& devices) override;
    std::unique_ptr<RasLibraryHold> BindRas() override;
    bool CreateDialupEntry(const std::string& entryName, const std::string& phoneNumber, const std::string& userName,
                           const std::string& password, const std::string& dns1, const std::string& dns2,
                           const std::string& deviceType, const std::string& deviceName,
                           std::string* refusal) override;
    int ConfigureModemRegistry(const std::string& portName, const std::string& speed,
                               const std::string& initString) override;
    void Sleep(unsigned milliseconds) override;

private:
    Profile& settings_;
    MessageSink& messages_;
    Win32DeviceSetup setup_;
    Win32ProcessLauncher processes_;
    Win32FileSearch files_;
    Win32Registry registry_;
    SystemRasLibrary rasLibrary_;
};

} // namespace vantaro
