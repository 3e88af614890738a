#include "modem/win32/Win32DeviceRemover.h"

#include "platform/TextRules.h"
#include "platform/win32/SetupApiRecords.h"
#include "platform/win32/UniqueHandle.h"

#include <windows.h>

#include <string>

namespace vantaro {

namespace {

// The device installation's own "no such device" answers.
bool IsNoSuchDevice(DWORD error) { return error == ERROR_NO_SUCH_DEVINST || error == ERROR_INVALID_DEVINST_NAME; }

// Whether a device of any class, present or not, has its driver from that INF.
bool InUse(const std::string& infName) {
    const UniqueHdevinfo list(::SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_ALLCLASSES));
    if (!list) return true;
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    for (DWORD index = 0; ::SetupDiEnumDeviceInfo(list.get(), index, &device); ++index) {
        const HKEY opened = ::SetupDiOpenDevRegKey(list.get(), &device, DICS_FLAG_GLOBAL, 0, DIREG_DRV, KEY_READ);
        if (opened == INVALID_HANDLE_VALUE) continue;
        const UniqueHkey key(opened);
        char inf[MAX_PATH + 1] = {};
        DWORD size = MAX_PATH;
        if (::RegQueryValueExA(key.get(), "InfPath", nullptr, nullptr, reinterpret_cast<BYTE*>(inf), &size) ==
                ERROR_SUCCESS &&
            EqualsIgnoringAsciiCase(inf, infName))
            return true;
    }
    return false;
}

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
    if (!IsInfFileName(infName)) return {DeviceRemovalResult::Failed, ERROR_INVALID_PARAMETER};
    // Looked for first: the removal reports success for a package that is not there.
    char windows[MAX_PATH] = {};
    const UINT length = ::GetWindowsDirectoryA(windows, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {DeviceRemovalResult::Failed, ::GetLastError()};
    if (::GetFileAttributesA((std::string(windows, length) + "\\inf\\" + infName).c_str()) == INVALID_FILE_ATTRIBUTES)
        return {DeviceRemovalResult::NotThere, ::GetLastError()};
    // A package that any device still uses stays, as Windows keeps it without SUOI_FORCEDELETE.
    // Asked here, and the removal then forced: Wine's removal deletes nothing without the flag,
    // and still reports success.
    if (InUse(infName)) return {DeviceRemovalResult::Failed, static_cast<std::uint32_t>(ERROR_INF_IN_USE_BY_DEVICES)};
    if (::SetupUninstallOEMInfA(infName.c_str(), SUOI_FORCEDELETE, nullptr)) return {DeviceRemovalResult::Removed, 0};
    return {DeviceRemovalResult::Failed, ::GetLastError()};
}

} // namespace vantaro
