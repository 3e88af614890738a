#pragma once
// The registry as the modem code and the install record use it: keys under HKEY_LOCAL_MACHINE,
// opened for reading or with full access or created, string and number values, and deletion of
// a key without sub-keys.
// Windows implements it with one key class (modem/win32/Win32Registry.h); tests
// use an in-memory registry.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace vantaro {

// Registry string values are read into buffers of this size: a value that does not fit with
// its terminating NUL does not read.
inline constexpr std::size_t kRegistryStringBuffer = 200;

// One open key; destroying it closes the key.
class RegistryKey {
public:
    RegistryKey() = default;
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    virtual ~RegistryKey() = default;

    // The value's text (its type is not looked at); false, with `text` empty, when it does not
    // read or does not fit kRegistryStringBuffer.
    virtual bool ReadString(const std::string& name, std::string& text) = 0;
    // A REG_DWORD value; nothing when there is no such value or it is of another type.
    virtual std::optional<std::uint32_t> ReadNumber(const std::string& name) = 0;
    // Whether a value of that name exists, whatever its type.
    virtual bool HasValue(const std::string& name) = 0;
    // REG_SZ with the terminating NUL counted; the registry's error code, 0 on success.
    virtual long WriteString(const std::string& name, const std::string& text) = 0;
    // REG_DWORD; the registry's error code, 0 on success.
    virtual long WriteNumber(const std::string& name, std::uint32_t number) = 0;
};

// Keys under HKEY_LOCAL_MACHINE.
class Registry {
public:
    Registry() = default;
    Registry(const Registry&) = delete;
    Registry& operator=(const Registry&) = delete;
    virtual ~Registry() = default;

    // Null when the key does not open.
    virtual std::unique_ptr<RegistryKey> OpenForReading(const std::string& path) = 0;
    virtual std::unique_ptr<RegistryKey> OpenWithFullAccess(const std::string& path) = 0;
    // Opens the key with full access, creating it (and its parents) when it is not there.
    virtual std::unique_ptr<RegistryKey> CreateWithFullAccess(const std::string& path) = 0;
    // The platform deletes only a key that has no sub-keys; true when it was deleted.
    virtual bool DeleteKey(const std::string& path) = 0;
};

} // namespace vantaro
