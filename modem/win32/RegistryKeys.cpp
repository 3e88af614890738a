#include "modem/win32/RegistryKeys.h"

#include "modem/Registry.h"

namespace vantaro {

LONG QueryStringValue(HKEY key, const std::string& name, char* buffer, DWORD size) {
    if (size == 0) return ERROR_MORE_DATA;
    buffer[0] = '\0';
    DWORD length = size;
    LONG status = ::RegQueryValueExA(key, name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &length);
    if (status != ERROR_SUCCESS) {
        buffer[0] = '\0';
        return status;
    }
    // Stored data need not end with a NUL; it gets one here, or does not read when there is
    // no room for it.
    if (length < size) {
        buffer[length] = '\0';
    } else if (buffer[size - 1] != '\0') {
        buffer[0] = '\0';
        return ERROR_MORE_DATA;
    }
    return ERROR_SUCCESS;
}

int ReadOnlyRegistryKey::Open(const std::string& subKey) {
    key_.reset();
    if (::RegOpenKeyExA(root_, subKey.c_str(), 0, KEY_READ, key_.put()) == ERROR_SUCCESS) return 1;
    key_.release();  // whatever a failed open left there is no key to close
    return 0;
}

int ReadOnlyRegistryKey::ReadString(const std::string& name, std::string& text) {
    text.clear();
    if (!key_) return 0;
    char buffer[kRegistryStringBuffer];
    if (QueryStringValue(key_.get(), name, buffer, sizeof buffer) != ERROR_SUCCESS) return 0;
    text = buffer;
    return 1;
}

int WritableRegistryKey::Record(LONG status, LONG* error) {
    lastError_ = status;
    if (error) *error = status;
    return status == ERROR_SUCCESS ? 1 : 0;
}

int WritableRegistryKey::Open(HKEY root, const std::string& subKey) {
    key_.reset();
    LONG status = ::RegOpenKeyExA(root, subKey.c_str(), 0, KEY_ALL_ACCESS, key_.put());
    if (status != ERROR_SUCCESS) key_.release();  // no key to close
    return Record(status, nullptr);
}

int WritableRegistryKey::Close() {
    if (!key_) return 0;
    LONG status = ::RegCloseKey(key_.release());
    return Record(status, nullptr);
}

int WritableRegistryKey::QueryString(const std::string& name, char* buffer, DWORD size, LONG* error) {
    if (!key_) return 0;
    return Record(QueryStringValue(key_.get(), name, buffer, size), error);
}

int WritableRegistryKey::WriteString(const std::string& name, const std::string& text, LONG* error) {
    if (!key_) return 0;
    LONG status = ::RegSetValueExA(key_.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                   static_cast<DWORD>(text.size() + 1));
    return Record(status, error);
}

int WritableRegistryKey::WriteNumber(const std::string& name, DWORD number, LONG* error) {
    if (!key_) return 0;
    LONG status = ::RegSetValueExA(key_.get(), name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                                   sizeof number);
    return Record(status, error);
}

int DeleteRegistryKey(HKEY root, const std::string& subKey) {
    return ::RegDeleteKeyA(root, subKey.c_str()) == ERROR_SUCCESS ? 1 : 0;
}

} // namespace vantaro
