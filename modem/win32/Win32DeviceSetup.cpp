#include "modem/win32/Win32DeviceSetup.h"

#include "modem/win32/Win32Registry.h"
#include "platform/win32/SetupApiRecords.h"

#include <windows.h>
#include <newdev.h>
// The interface's method has the platform's name; only the ANSI entry point is called here.
#undef UpdateDriverForPlugAndPlayDevices

#include <cstring>
#include <vector>

namespace vantaro {

static_assert(sizeof(GUID) == sizeof(DeviceClass::guid));

namespace {

GUID ToGuid(const DeviceClass& deviceClass) {
    GUID guid;
    std::memcpy(&guid, deviceClass.guid.data(), sizeof guid);
    return guid;
}

class Win32DeviceInfoSet final : public DeviceInfoSet {
public:
    explicit Win32DeviceInfoSet(UniqueHdevinfo set) : set_(std::move(set)) {}

    std::optional<DeviceElement> CreateDeviceInfo(const DeviceClass& deviceClass) override {
        SP_DEVINFO_DATA data;
        std::memset(&data, 0, sizeof data);
        data.cbSize = sizeof data;
        const GUID guid = ToGuid(deviceClass);
        if (!::SetupDiCreateDeviceInfoA(set_.get(), deviceClass.name.c_str(), &guid, nullptr, nullptr, DICD_GENERATE_ID,
                                        &data))
            return Fail<std::optional<DeviceElement>>(std::nullopt);
        devices_.push_back(data);
        return DeviceElement{devices_.size() - 1};
    }

    bool SetHardwareId(DeviceElement device, const std::string& multiString) override {
        return Check(::SetupDiSetDeviceRegistryPropertyA(set_.get(), Data(device), SPDRP_HARDWAREID,
                                                         reinterpret_cast<const BYTE*>(multiString.data()),
                                                         static_cast<DWORD>(multiString.size())));
    }

    bool RegisterDeviceInfo(DeviceElement device) override {
        return Check(::SetupDiRegisterDeviceInfo(set_.get(), Data(device), 0, nullptr, nullptr, nullptr));
    }

    std::unique_ptr<RegistryKey> OpenDriverKey(DeviceElement device) override {
        return Adopt(::SetupDiOpenDevRegKey(set_.get(), Data(device), DICS_FLAG_GLOBAL, 0, DIREG_DRV, KEY_ALL_ACCESS));
    }

    std::unique_ptr<RegistryKey> CreateDriverKey(DeviceElement device) override {
        return Adopt(
            ::SetupDiCreateDevRegKeyA(set_.get(), Data(device), DICS_FLAG_GLOBAL, 0, DIREG_DRV, nullptr, nullptr));
    }

    void RemoveDevice(DeviceElement device) override {
        Check(::SetupDiCallClassInstaller(DIF_REMOVE, set_.get(), Data(device)));
    }

    std::string InstanceId(DeviceElement device) override {
        // The platform bounds instance ids to 200 characters, NUL included.
        constexpr DWORD kInstanceIdBytes = 200;
        char id[kInstanceIdBytes + 1] = {};
        if (!Check(::SetupDiGetDeviceInstanceIdA(set_.get(), Data(device), id, kInstanceIdBytes, nullptr))) return {};
        return id;
    }

    std::uint32_t LastError() const override { return lastError_; }

private:
    SP_DEVINFO_DATA* Data(DeviceElement device) { return &devices_.at(device.index); }

    template <typename T>
    T Fail(T result) {
        lastError_ = ::GetLastError();
        return result;
    }
    bool Check(BOOL ok) { return ok ? true : Fail(false); }

    std::unique_ptr<RegistryKey> Adopt(HKEY key) {
        if (key == INVALID_HANDLE_VALUE || key == nullptr) return Fail<std::unique_ptr<RegistryKey>>(nullptr);
        return std::make_unique<Win32RegistryKey>(UniqueHkey(key));
    }

    UniqueHdevinfo set_;
    std::vector<SP_DEVINFO_DATA> devices_;
    std::uint32_t lastError_ = 0;
};

} // namespace

bool Win32DeviceSetup::GetInfClass(const std::string& infPath, DeviceClass& deviceClass) {
    GUID guid;
    char name[kClassNameBuffer] = {};
    if (!::SetupDiGetINFClassA(infPath.c_str(), &guid, name, sizeof name, nullptr)) {
        lastError_ = ::GetLastError();
        return false;
    }
    std::memcpy(deviceClass.guid.data(), &guid, sizeof guid);
    deviceClass.name.assign(name, strnlen(name, sizeof name));
    return true;
}

std::unique_ptr<DeviceInfoSet> Win32DeviceSetup::CreateDeviceInfoList(const DeviceClass& deviceClass) {
    const GUID guid = ToGuid(deviceClass);
    UniqueHdevinfo set(::SetupDiCreateDeviceInfoList(&guid, nullptr));
    if (!set) {
        lastError_ = ::GetLastError();
        return nullptr;
    }
    return std::make_unique<Win32DeviceInfoSet>(std::move(set));
}

bool Win32DeviceSetup::UpdateDriverForPlugAndPlayDevices(const std::string& hardwareId, const std::string& infPath) {
    BOOL rebootRequired = FALSE;  // a restart is the user's business; not looked at
    if (::UpdateDriverForPlugAndPlayDevicesA(nullptr, hardwareId.c_str(), infPath.c_str(), INSTALLFLAG_FORCE,
                                             &rebootRequired))
        return true;
    lastError_ = ::GetLastError();
    return false;
}

} // namespace vantaro
