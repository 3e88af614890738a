#include "modem/win32/Win32DeviceRemover.h"

#include "platform/win32/UniqueHandle.h"

#include <windows.h>
#include <setupapi.h>

namespace vantaro {

namespace {

// The device installation's own "no such device" answers.
bool IsNoSuchDevice(DWORD error) { return error == ERROR_NO_SUCH_DEVINST || error == ERROR_INVALID_DEVINST_NAME; }

} // namespace

DeviceRemoval Win32DeviceRemover::RemoveDevice(const std::string& instanceId) {
    const UniqueHdevinfo list(::SetupDiCreateDeviceInfoList(nullptr, nullptr));
    if (!list) return {DeviceRemovalResult::Failed, ::GetLastError()};
    const HDEVINFO set = list.get();
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    if (!::SetupDiOpenDeviceInfoA(set, instanceId.c_str(), nullptr, 0, &device)) {
        const DWORD error = ::GetLastError();
        if (IsNoSuchDevice(error)) return {DeviceRemovalResult::NotThere, error};
        return {DeviceRemovalResult::Failed, error};
    }
    // The driver key, named before the device goes: a class installer that deletes only keys
    // without sub-keys (Wine's) leaves a modem's key behind, with its Settings and Responses.
    char driver[256] = {};
    const bool named = ::SetupDiGetDeviceRegistryPropertyA(set, &device, SPDRP_DRIVER, nullptr,
                                                           reinterpret_cast<BYTE*>(driver), sizeof driver - 1,
                                                           nullptr) != FALSE;
    // Without removal parameters the class installer removes the device from every hardware
    // profile, as Device Manager does.
    if (!::SetupDiCallClassInstaller(DIF_REMOVE, set, &device)) return {DeviceRemovalResult::Failed, ::GetLastError()};

    if (named && driver[0] != '\0') {
        const std::string key = std::string("SYSTEM\\CurrentControlSet\\Control\\Class\\") + driver;
        ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, key.c_str());
    }
    // A device in use stays until Windows restarts; the class installer says so in the
    // device's install parameters.
    SP_DEVINSTALL_PARAMS_A params{};
    params.cbSize = sizeof params;
    if (::SetupDiGetDeviceInstallParamsA(set, &device, &params) &&
        (params.Flags & (DI_NEEDREBOOT | DI_NEEDRESTART)) != 0)
        return {DeviceRemovalResult::RestartNeeded, 0};
    return {DeviceRemovalResult::Removed, 0};
}

DeviceRemoval Win32DeviceRemover::RemoveDriverPackage(const std::string& infName) {
    if (!IsDriverStoreInfName(infName)) return {DeviceRemovalResult::Failed, ERROR_INVALID_PARAMETER};
    // Without SUOI_FORCEDELETE: a package that a device still uses stays.
    if (::SetupUninstallOEMInfA(infName.c_str(), 0, nullptr)) return {DeviceRemovalResult::Removed, 0};
    const DWORD error = ::GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return {DeviceRemovalResult::NotThere, error};
    return {DeviceRemovalResult::Failed, error};
}

} // namespace vantaro
