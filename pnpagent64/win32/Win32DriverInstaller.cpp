#include "pnpagent64/win32/Win32DriverInstaller.h"

#include "modem/InfCheck.h"
#include "modem/win32/RunningWindows.h"
#include "platform/win32/CodePage.h"
#include "platform/win32/SetupApiRecords.h"
#include "platform/win32/UniqueHandle.h"

#include <windows.h>
#include <newdev.h>

#include <cstring>
#include <fstream>
#include <vector>

namespace vantaro::pnpagent {

namespace {

std::string HardwareIds(HDEVINFO set, SP_DEVINFO_DATA& device) {
    DWORD size = 0;
    ::SetupDiGetDeviceRegistryPropertyA(set, &device, SPDRP_HARDWAREID, nullptr, nullptr, 0, &size);
    if (size == 0) return {};
    std::vector<char> buffer(size + 2, '\0');  // room for the list's end even if the data lacks it
    if (!::SetupDiGetDeviceRegistryPropertyA(set, &device, SPDRP_HARDWAREID, nullptr,
                                             reinterpret_cast<BYTE*>(buffer.data()), size, nullptr))
        return {};
    return std::string(buffer.data(), buffer.size());
}

// Whether the INF, and only it, offers a driver for the device.
bool InfHasDriverFor(HDEVINFO set, SP_DEVINFO_DATA& device, const std::string& infPath) {
    SP_DEVINSTALL_PARAMS_A params;
    std::memset(&params, 0, sizeof params);
    params.cbSize = sizeof params;
    if (!::SetupDiGetDeviceInstallParamsA(set, &device, &params)) return false;
    if (infPath.size() >= sizeof params.DriverPath) return false;
    std::memcpy(params.DriverPath, infPath.c_str(), infPath.size() + 1);
    params.Flags |= DI_ENUMSINGLEINF;
    if (!::SetupDiSetDeviceInstallParamsA(set, &device, &params)) return false;
    if (!::SetupDiBuildDriverInfoList(set, &device, SPDIT_COMPATDRIVER)) return false;
    SP_DRVINFO_DATA_A driver;
    std::memset(&driver, 0, sizeof driver);
    driver.cbSize = sizeof driver;
    const bool found = ::SetupDiEnumDriverInfoA(set, &device, SPDIT_COMPATDRIVER, 0, &driver) != FALSE;
    ::SetupDiDestroyDriverInfoList(set, &device, SPDIT_COMPATDRIVER);
    return found;
}

bool IsFile(DWORD attributes) {
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// An INF larger than this is not a driver's: it is refused as unreadable.

} // namespace

bool Win32DriverInstaller::FileExists(const std::string& path) {
    if (IsFile(::GetFileAttributesA(path.c_str()))) return true;
    // Names from a Unicode INF come as UTF-8: look for the file by that name too.
    const std::optional<std::wstring> wide = WideFromValidUtf8(path.c_str());
    return wide && IsFile(::GetFileAttributesW(wide->c_str()));
}

bool Win32DriverInstaller::ReadInf(const std::string& infPath, std::string& bytes) {
    std::ifstream file(infPath, std::ios::binary | std::ios::ate);
    if (!file) return false;
    const std::streamoff size = file.tellg();
    if (size < 0 || size > static_cast<std::streamoff>(kMaxInfBytes)) return false;
    bytes.assign(static_cast<std::size_t>(size), '\0');
    file.seekg(0);
    return static_cast<bool>(file.read(&bytes[0], size)) || size == 0;
}

DeviceMatch Win32DriverInstaller::MatchDevices(const std::string& hardwareId, const std::string& infPath) {
    DeviceMatch match;
    // Every device the system knows, of every class.
    const UniqueHdevinfo devices(::SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_ALLCLASSES));
    if (!devices) return match;
    SP_DEVINFO_DATA device;
    std::memset(&device, 0, sizeof device);
    device.cbSize = sizeof device;
    for (DWORD index = 0; ::SetupDiEnumDeviceInfo(devices.get(), index, &device); ++index) {
        if (!MultiStringLists(HardwareIds(devices.get(), device), hardwareId)) continue;
        ++match.devices;
        if (InfHasDriverFor(devices.get(), device, infPath)) ++match.withDriver;
    }
    return match;
}

bool Win32DriverInstaller::UpdateDriver(const std::string& hardwareId, const std::string& infPath,
                                        bool& restartNeeded, std::uint32_t& error) {
    BOOL reboot = FALSE;
    if (!::UpdateDriverForPlugAndPlayDevicesA(nullptr, hardwareId.c_str(), infPath.c_str(), INSTALLFLAG_FORCE,
                                              &reboot)) {
        error = ::GetLastError();
        return false;
    }
    restartNeeded = reboot != FALSE;
    return true;
}

RunningWindows Win32DriverInstaller::Windows() const { return ReadRunningWindows(); }

} // namespace vantaro::pnpagent
