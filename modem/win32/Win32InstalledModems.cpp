#include "modem/win32/Win32InstalledModems.h"

#include "modem/DeviceRemoval.h"
#include "modem/InfCheck.h"
#include "modem/win32/Win32FileSearch.h"
#include "platform/win32/SetupApiRecords.h"
#include "platform/win32/UniqueHandle.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

namespace vantaro {

namespace {

// GUID_DEVCLASS_MODEM.
const GUID kModemClass = {0x4D36E96D, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};

// Instance ids and hardware-id lists are read in two calls: the size, then the bytes. The
// platform bounds them (200 characters an id); this guards against a list that grows between.
constexpr DWORD kMaxPropertyBytes = 64 * 1024;
// Driver descriptions, INF names and friendly names are short: the platform bounds them to 260.
constexpr DWORD kMaxValueBytes = 512;

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

std::string StringValue(HKEY key, const char* name) {
    char text[kMaxValueBytes + 1] = {};
    DWORD type = 0;
    DWORD size = kMaxValueBytes;
    if (::RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text), &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return {};
    return text;
}

// The name a driver store copy had before it was copied: the driver store keeps it with the copy.
std::string OriginalInfName(const std::string& infName) {
    DWORD size = 0;
    if (!::SetupGetInfInformationA(infName.c_str(), INFINFO_DEFAULT_SEARCH, nullptr, 0, &size) || size == 0 ||
        size > kMaxPropertyBytes)
        return {};
    std::vector<BYTE> bytes(size);
    auto* information = reinterpret_cast<SP_INF_INFORMATION*>(bytes.data());
    if (!::SetupGetInfInformationA(infName.c_str(), INFINFO_DEFAULT_SEARCH, information, size, nullptr)) return {};
    SP_ORIGINAL_FILE_INFO_A original{};
    original.cbSize = sizeof original;
    if (!::SetupQueryInfOriginalFileInformationA(information, 0, nullptr, &original)) return {};
    const char* name = original.OriginalInfName;
    for (const char* c = name; *c; ++c)
        if (*c == '\\' || *c == '/') name = c + 1;
    return name;
}

void ReadDriver(HDEVINFO set, SP_DEVINFO_DATA& data, InstalledDevice& device) {
    const HKEY key = ::SetupDiOpenDevRegKey(set, &data, DICS_FLAG_GLOBAL, 0, DIREG_DRV, KEY_READ);
    if (key == INVALID_HANDLE_VALUE) return;
    const UniqueHkey owner(key);
    device.driverDescription = StringValue(key, "DriverDesc");
    device.infPath = StringValue(key, "InfPath");
    if (!device.infPath.empty()) device.infOriginalName = OriginalInfName(device.infPath);
}

} // namespace

std::optional<DriverPackage> Win32InstalledModems::ReadDriverPackage(const std::string& infName) {
    if (!IsInfFileName(infName)) return std::nullopt;
    char windows[MAX_PATH] = {};
    const UINT length = ::GetWindowsDirectoryA(windows, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return DriverPackage{};
    const std::string path = std::string(windows, length) + "\\inf\\" + infName;
    if (::GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) return std::nullopt;
    return DriverPackage{OriginalInfName(infName), Win32FileSearch(std::string()).ReadFile(path, kMaxInfBytes)};
}

std::optional<std::vector<InstalledDevice>> Win32InstalledModems::List() {
    // Not only the present ones: the modem of an unplugged phone is removed too.
    HDEVINFO set = ::SetupDiGetClassDevsA(&kModemClass, nullptr, nullptr, 0);
    if (set == INVALID_HANDLE_VALUE) {
        lastError_ = ::GetLastError();
        return std::nullopt;
    }
    const UniqueHdevinfo list(set);

    std::vector<InstalledDevice> found;
    SP_DEVINFO_DATA data;
    std::memset(&data, 0, sizeof data);
    data.cbSize = sizeof data;
    for (DWORD index = 0; ::SetupDiEnumDeviceInfo(set, index, &data); ++index) {
        InstalledDevice device;
        device.index = index;

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

        char name[kMaxValueBytes + 1] = {};
        if (::SetupDiGetDeviceRegistryPropertyA(set, &data, SPDRP_FRIENDLYNAME, nullptr,
                                                reinterpret_cast<BYTE*>(name), kMaxValueBytes, nullptr))
            device.friendlyName = name;
        ReadDriver(set, data, device);
        found.push_back(std::move(device));
    }
    return found;
}

} // namespace vantaro
