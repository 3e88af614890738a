#pragma once
// What the Wine tests of the modem installation look at and clean up: the devices of the modem
// class with their driver keys, and bare devices as the installer leaves them before the driver
// update.

#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace vantaro::platformtest {

constexpr char kModemHardwareId[] = "USB\\VID_1782&PID_0003&MI_01";

struct RegistryValue {
    DWORD type = REG_NONE;
    std::string data;  // the bytes as stored
};

struct ModemDevice {
    std::string instanceId;
    std::string hardwareIds;  // the multi-string as stored
    bool hasDriverKey = false;
    std::map<std::string, RegistryValue> driverValues;  // every value of the driver key
    // Every value of each sub-key of the driver key (Settings, Init, Responses, ...).
    std::map<std::string, std::map<std::string, RegistryValue>> driverSubKeys;
    std::string lowerFilters;  // the device's LowerFilters multi-string as stored
    std::map<std::string, RegistryValue> deviceValues;  // every value of its device key (DIREG_DEV)
};

// Every registered device of the modem class.
std::vector<ModemDevice> ModemDevices();
// Removes them all through the class installer: each test starts and ends without any.
void RemoveAllModemDevices();
// The same, and the modem class's driver keys 0000 .. 0099 with everything in them: what an
// install of the real program leaves behind, even when it was cut short.
void RemoveAllModemsAndDriverKeys();
// The registry path of the modem device class under HKEY_LOCAL_MACHINE.
inline constexpr char kModemClassKey[] =
    "SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E96D-E325-11CE-BFC1-08002BE10318}";
// A registered modem-class device with that hardware id, without driver or driver key.
bool CreateBareModemDevice(const std::string& hardwareId);

std::string StringValue(const RegistryValue& value);  // the text before the first NUL


} // namespace vantaro::platformtest
