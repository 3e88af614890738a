#include "app/Win32InstallServices.h"

#include "dialup/DialupEntry.h"
#include "dialup/RasBinding.h"
#include "modem/ModemInstaller.h"
#include "modem/ModemRegistry.h"
#include "modem/win32/Wow64.h"

#include <windows.h>

namespace vantaro {

namespace {

// Keeps the remote-access library loaded for the length of the install sequence.
class RasBindingHold final : public RasLibraryHold {
public:
    explicit RasBindingHold(RasLibrary& library) : binding_(library) {}
    bool Loaded() const override { return binding_.Loaded(); }

private:
    RasBinding binding_;
};

} // namespace

Win32InstallServices::Win32InstallServices(Profile& settings, MessageSink& messages)
    : settings_(settings), messages_(messages) {}

bool Win32InstallServices::IsRunningUnderWow64() { return vantaro::IsRunningUnderWow64() != 0; }

std::string Win32InstallServices::SearchExecutablePath(const std::string& fileName) {
    return files_.SearchExecutablePath(fileName);
}

int Win32InstallServices::InstallModemDevice(const std::string& hardwareId, const std::string& infPath,
                                             const std::string& portName, const std::string& apn, int connectionMode) {
    ModemInstaller installer(setup_, processes_, files_, settings_, messages_);
    return installer.InstallModemDevice(hardwareId, infPath, portName, apn, connectionMode);
}

bool Win32InstallServices::EnumModemDevices(std::vector<ModemDeviceName>& devices) {
    std::vector<ras::RASDEVINFOA> rasDevices;
    const bool listed = vantaro::EnumModemDevices(rasLibrary_, rasDevices);
    devices.clear();
    for (const ras::RASDEVINFOA& device : rasDevices)
        devices.push_back(ModemDeviceName{device.szDeviceType, device.szDeviceName});
    return listed;
}

std::unique_ptr<RasLibraryHold> Win32InstallServices::BindRas() {
    return std::make_unique<RasBindingHold>(rasLibrary_);
}

bool Win32InstallServices::CreateDialupEntry(const std::string& entryName, const std::string& phoneNumber,
                                             const std::string& userName, const std::string& password,
                                             const std::string& dns1, const std::string& dns2,
                                             const std::string& deviceType, const std::string& deviceName,
                                             std::string* refusal) {
    return vantaro::CreateDialupEntry(rasLibrary_, entryName, phoneNumber, userName, password, dns1, dns2, deviceType,
                                      deviceName, refusal);
}

int Win32InstallServices::ConfigureModemRegistry(const std::string& portName, const std::string& speed,
                                                 const std::string& initString) {
    return vantaro::ConfigureModemRegistry(registry_, portName, speed, initString);
}

void Win32InstallServices::Sleep(unsigned milliseconds) { ::Sleep(milliseconds); }

} // namespace vantaro
