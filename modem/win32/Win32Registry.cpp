#include "modem/win32/Win32Registry.h"

#include <cstring>

namespace vantaro {

std::unique_ptr<RegistryKey> Win32RegistryKey::Open(HKEY root, const std::string& path, REGSAM access) {
    HKEY opened = nullptr;
    if (::RegOpenKeyExA(root, path.c_str(), 0, access, &opened) != ERROR_SUCCESS) return nullptr;
    return std::make_unique<Win32RegistryKey>(UniqueHkey(opened));
}

bool Win32RegistryKey::ReadString(const std::string& name, std::string& text) {
    text.clear();
    char buffer[kRegistryStringBuffer] = {};
    DWORD length = sizeof buffer;
    if (::RegQueryValueExA(key_.get(), name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &length) !=
        ERROR_SUCCESS)
        return false;
    if (length == sizeof buffer && buffer[length - 1] != '\0') return false;
    text.assign(buffer, ::strnlen(buffer, length));
    return true;
}

std::optional<std::uint32_t> Win32RegistryKey::ReadNumber(const std::string& name) {
    DWORD type = 0;
    DWORD value = 0;
    DWORD length = sizeof value;
    if (::RegQueryValueExA(key_.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &length) !=
            ERROR_SUCCESS ||
        type != REG_DWORD || length != sizeof value)
        return std::nullopt;
    return value;
}

bool Win32RegistryKey::HasValue(const std::string& name) {
    return ::RegQueryValueExA(key_.get(), name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

long Win32RegistryKey::WriteString(const std::string& name, const std::string& text) {
    // REG_SZ: the size counts the terminating NUL.
    return ::RegSetValueExA(key_.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                            static_cast<DWORD>(text.size() + 1));
}

long Win32RegistryKey::WriteNumber(const std::string& name, std::uint32_t number) {
    const DWORD value = number;
    return ::RegSetValueExA(key_.get(), name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                            sizeof value);
}

std::unique_ptr<RegistryKey> Win32Registry::OpenForReading(const std::string& path) {
    return Win32RegistryKey::Open(HKEY_LOCAL_MACHINE, path, KEY_READ | viewAccess_);
}

std::unique_ptr<RegistryKey> Win32Registry::OpenWithFullAccess(const std::string& path) {
    return Win32RegistryKey::Open(HKEY_LOCAL_MACHINE, path, KEY_ALL_ACCESS | viewAccess_);
}

std::unique_ptr<RegistryKey> Win32Registry::CreateWithFullAccess(const std::string& path) {
    HKEY created = nullptr;
    if (::RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                          KEY_ALL_ACCESS | viewAccess_, nullptr, &created, nullptr) != ERROR_SUCCESS)
        return nullptr;
    return std::make_unique<Win32RegistryKey>(UniqueHkey(created));
}

bool Win32Registry::DeleteKey(const std::string& path) {
    // RegDeleteKeyA deletes in the process's own view only.
    if (viewAccess_ == 0) return ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, path.c_str()) == ERROR_SUCCESS;
    return ::RegDeleteKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), viewAccess_, 0) == ERROR_SUCCESS;
}

} // namespace vantaro
