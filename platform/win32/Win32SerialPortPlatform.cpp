#include "platform/win32/Win32SerialPortPlatform.h"

#include "platform/win32/SystemVersion.h"
#include "platform/win32/UniqueHandle.h"

#include <windows.h>

#include <algorithm>

namespace vantaro {

namespace {

class Win32SerialCommValues final : public SerialCommValues {
public:
    explicit Win32SerialCommValues(UniqueHkey key) : key_(std::move(key)) {}

    SerialCommValue Enumerate(std::uint32_t index) override {
        // Fresh buffers and lengths for every value, so that nothing of an earlier value can
        // show through and a value that was passed over cannot shorten the next one's room.
        char name[kSerialCommBufferSize] = {};
        BYTE data[kSerialCommBufferSize] = {};
        DWORD nameLength = sizeof name;
        DWORD dataLength = sizeof data;
        DWORD type = 0;
        SerialCommValue value;
        value.result = static_cast<std::uint32_t>(
            ::RegEnumValueA(key_.get(), index, name, &nameLength, nullptr, &type, data, &dataLength));
        value.type = type;
        const std::size_t returned = std::min<std::size_t>(dataLength, sizeof data);
        if (value.result == ERROR_SUCCESS) value.data.assign(reinterpret_cast<const char*>(data), returned);
        return value;
    }

private:
    UniqueHkey key_;
};

} // namespace

std::optional<std::uint32_t> Win32SerialPortPlatform::PlatformId() const { return SystemPlatformId(); }

std::unique_ptr<SerialCommValues> Win32SerialPortPlatform::OpenSerialComm() const {
    HKEY opened = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSerialCommKeyPath, 0, KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS,
                        &opened) != ERROR_SUCCESS)
        return nullptr;
    return std::make_unique<Win32SerialCommValues>(UniqueHkey(opened));
}

std::uint32_t Win32SerialPortPlatform::OpenPort(const std::string& devicePath) const {
    UniqueKernelHandle port(::CreateFileA(devicePath.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                        0, nullptr));
    if (!port) return ::GetLastError();
    return ERROR_SUCCESS;
}

} // namespace vantaro
