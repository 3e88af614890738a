#include "ModemDevices.h"

#include "platform/win32/UniqueHandle.h"

#include <setupapi.h>

#include <cstdio>
#include <cstring>

namespace vantaro::platformtest {

namespace {

const GUID kModemClass = {0x4D36E96D, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};

UniqueHdevinfo ModemClassDevices() { return UniqueHdevinfo(::SetupDiGetClassDevsA(&kModemClass, nullptr, nullptr, 0)); }

template <typename Visit>
void ForEachDevice(const UniqueHdevinfo& list, Visit visit) {
    if (!list) return;
    SP_DEVINFO_DATA device;
    std::memset(&device, 0, sizeof device);
    device.cbSize = sizeof device;
    for (DWORD index = 0; ::SetupDiEnumDeviceInfo(list.get(), index, &device); ++index) visit(device);
}

std::map<std::string, RegistryValue> AllValues(HKEY key) {
    std::map<std::string, RegistryValue> values;
    for (DWORD index = 0;; ++index) {
        char name[256];
        DWORD nameLength = sizeof name;
        BYTE data[4096];
        DWORD dataLength = sizeof data;
        DWORD type = REG_NONE;
        if (::RegEnumValueA(key, index, name, &nameLength, nullptr, &type, data, &dataLength) != ERROR_SUCCESS) break;
        values[std::string(name, nameLength)] =
            RegistryValue{type, std::string(reinterpret_cast<const char*>(data), dataLength)};
    }
    return values;
}

std::map<std::string, std::map<std::string, RegistryValue>> AllSubKeys(HKEY key) {
    std::map<std::string, std::map<std::string, RegistryValue>> subKeys;
    for (DWORD index = 0;; ++index) {
        char name[256];
        DWORD nameLength = sizeof name;
        if (::RegEnumKeyExA(key, index, name, &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        UniqueHkey subKey;
        if (::RegOpenKeyExA(key, name, 0, KEY_READ, subKey.put()) == ERROR_SUCCESS)
            subKeys[std::string(name, nameLength)] = AllValues(subKey.get());
    }
    return subKeys;
}

} // namespace

std::string StringValue(const RegistryValue& value) { return value.data.substr(0, value.data.find('\0')); }

std::vector<ModemDevice> ModemDevices() {
    std::vector<ModemDevice> found;
    const UniqueHdevinfo list = ModemClassDevices();
    ForEachDevice(list, [&](SP_DEVINFO_DATA& device) {
        ModemDevice modem;
        char id[512] = {};
        if (::SetupDiGetDeviceInstanceIdA(list.get(), &device, id, sizeof id, nullptr)) modem.instanceId = id;
        BYTE ids[1024] = {};
        DWORD size = 0;
        if (::SetupDiGetDeviceRegistryPropertyA(list.get(), &device, SPDRP_HARDWAREID, nullptr, ids, sizeof ids - 2,
                                                &size))
            modem.hardwareIds.assign(reinterpret_cast<const char*>(ids), size);
        HKEY key = ::SetupDiOpenDevRegKey(list.get(), &device, DICS_FLAG_GLOBAL, 0, DIREG_DRV, KEY_READ);
        if (key != INVALID_HANDLE_VALUE && key != nullptr) {
            const UniqueHkey owner(key);
            modem.hasDriverKey = true;
            modem.driverValues = AllValues(key);
            modem.driverSubKeys = AllSubKeys(key);
        }
        HKEY deviceKey = ::SetupDiOpenDevRegKey(list.get(), &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
        if (deviceKey != INVALID_HANDLE_VALUE && deviceKey != nullptr) {
            UniqueHkey owner(deviceKey);
            modem.deviceValues = AllValues(deviceKey);
        }
        BYTE filters[1024] = {};
        if (::SetupDiGetDeviceRegistryPropertyA(list.get(), &device, SPDRP_LOWERFILTERS, nullptr, filters,
                                                sizeof filters - 2, &size))
            modem.lowerFilters.assign(reinterpret_cast<const char*>(filters), size);
        found.push_back(modem);
    });
    return found;
}

void RemoveAllModemDevices() {
    const UniqueHdevinfo list = ModemClassDevices();
    ForEachDevice(list, [&](SP_DEVINFO_DATA& device) { ::SetupDiCallClassInstaller(DIF_REMOVE, list.get(), &device); });
}

void RemoveAllModemsAndDriverKeys() {
    RemoveAllModemDevices();
    for (int index = 0; index < 100; ++index) {
        char path[256];
        std::snprintf(path, sizeof path, "%s\\%04d", kModemClassKey, index);
        ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, path);
    }
}

bool CreateBareModemDevice(const std::string& hardwareId) {
    const UniqueHdevinfo list(::SetupDiCreateDeviceInfoList(&kModemClass, nullptr));
    if (!list) return false;
    SP_DEVINFO_DATA device;
    std::memset(&device, 0, sizeof device);
    device.cbSize = sizeof device;
    std::string ids = hardwareId;
    ids.append(2, '\0');
    return ::SetupDiCreateDeviceInfoA(list.get(), "Modem", &kModemClass, nullptr, nullptr, DICD_GENERATE_ID, &device) &&
           ::SetupDiSetDeviceRegistryPropertyA(list.get(), &device, SPDRP_HARDWAREID,
                                               reinterpret_cast<const BYTE*>(ids.data()),
                                               static_cast<DWORD>(ids.size())) &&
           ::SetupDiRegisterDeviceInfo(list.get(), &device, 0, nullptr, nullptr, nullptr);
}

} // namespace vantaro::platformtest
