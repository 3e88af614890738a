#include "modem/win32/Win32InstalledModems.h"

#include <windows.h>
#include <setupapi.h>

#include <algorithm>
#include <cstring>

namespace vantaro {

namespace {

// GUID_DEVCLASS_MODEM.
const GUID kModemClass = {0x4D36E96D, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};

// Instance ids and hardware-id lists are read in two calls: the size, then the bytes. The
// platform bounds them (200 characters an id); this guards against a list that grows between.
constexpr DWORD kMaxPropertyBytes = 64 * 1024;

std::vector<std::string> SplitMultiString(const std::vector<char>& bytes) {
    std::vector<std::string> strings;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t end = std::find(bytes.begin() + start, bytes.end(), '\0') - bytes.begin();
        if (end == start) break;
        strings.emplace_back(bytes.data() + start, end - start);
        start = end + 1;
    }
    return strings;
}

} // namespace

// The device information set of the latest list, destroyed with it.
struct Win32InstalledModems::DeviceList {
    explicit DeviceList(HDEVINFO handle) : set(handle) {}
    DeviceList(const DeviceList&) = delete;
    DeviceList& operator=(const DeviceList&) = delete;
    ~DeviceList() { ::SetupDiDestroyDeviceInfoList(set); }

    HDEVINFO set;
    std::vector<SP_DEVINFO_DATA> devices;
};

Win32InstalledModems::Win32InstalledModems() = default;
Win32InstalledModems::~Win32InstalledModems() = default;

std::optional<std::vector<InstalledDevice>> Win32InstalledModems::List() {
    list_.reset();
    // Not only the present ones: the modem of an unplugged phone is removed too.
    HDEVINFO set = ::SetupDiGetClassDevsA(&kModemClass, nullptr, nullptr, 0);
    if (set == INVALID_HANDLE_VALUE) {
        lastError_ = ::GetLastError();
        return std::nullopt;
    }
    list_ = std::make_unique<DeviceList>(set);

    std::vector<InstalledDevice> found;
    SP_DEVINFO_DATA data;
    std::memset(&data, 0, sizeof data);
    data.cbSize = sizeof data;
    for (DWORD index = 0; ::SetupDiEnumDeviceInfo(set, index, &data); ++index) {
        InstalledDevice device;
        device.index = list_->devices.size();
        list_->devices.push_back(data);

        DWORD size = 0;
        ::SetupDiGetDeviceInstanceIdA(set, &data, nullptr, 0, &size);
        if (size > 0 && size <= kMaxPropertyBytes) {
            std::vector<char> id(size + 1, '\0');
            if (::SetupDiGetDeviceInstanceIdA(set, &data, id.data(), size, nullptr)) device.instanceId = id.data();
        }

        size = 0;
        ::SetupDiGetDeviceRegistryPropertyA(set, &data, SPDRP_HARDWAREID, nullptr, nullptr, 0, &size);
        if (size > 0 && size <= kMaxPropertyBytes) {
            // Two NULs more than asked for: a list stored without its final NULs still ends.
            std::vector<char> ids(size + 2, '\0');
            if (::SetupDiGetDeviceRegistryPropertyA(set, &data, SPDRP_HARDWAREID, nullptr,
                                                    reinterpret_cast<BYTE*>(ids.data()), size, nullptr))
                device.hardwareIds = SplitMultiString(ids);
        }
        found.push_back(std::move(device));
    }
    return found;
}

bool Win32InstalledModems::Remove(const InstalledDevice& device) {
    if (!list_ || device.index >= list_->devices.size()) {
        lastError_ = ERROR_INVALID_PARAMETER;
        return false;
    }
    // The driver key, named before the device goes: a class installer that deletes only keys
    // without sub-keys (Wine's) leaves a modem's key behind, with its Settings and Responses.
    char driver[256] = {};
    const bool named = ::SetupDiGetDeviceRegistryPropertyA(list_->set, &list_->devices[device.index], SPDRP_DRIVER,
                                                           nullptr, reinterpret_cast<BYTE*>(driver),
                                                           sizeof driver - 1, nullptr) != FALSE;
    // Without removal parameters the class installer removes the device from every hardware
    // profile, as Device Manager does. (Wine does not take the parameters.)
    if (!::SetupDiCallClassInstaller(DIF_REMOVE, list_->set, &list_->devices[device.index])) {
        lastError_ = ::GetLastError();
        return false;
    }
    if (named && driver[0] != '\0') {
        const std::string key = std::string("SYSTEM\\CurrentControlSet\\Control\\Class\\") + driver;
        ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, key.c_str());
    }
    return true;
}

} // namespace vantaro
