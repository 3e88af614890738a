#pragma once
// The registry under HKEY_LOCAL_MACHINE through the registry key wrappers.

#include "modem/Registry.h"
#include "modem/win32/RegistryKeys.h"

namespace vantaro {

// A RegistryKey over a key with full access (also a device's driver key, taken over).
class WritableKey final : public RegistryKey {
public:
    WritableKey() = default;
    explicit WritableKey(HKEY adopted) : key_(adopted) {}

    WritableRegistryKey& Wrapper() { return key_; }

    bool ReadString(const std::string& name, std::string& text) override;
    long WriteString(const std::string& name, const std::string& text) override;
    long WriteNumber(const std::string& name, std::uint32_t number) override;

private:
    WritableRegistryKey key_;
};

class Win32Registry final : public Registry {
public:
    std::unique_ptr<RegistryKey> OpenForReading(const std::string& path) override;
    std::unique_ptr<RegistryKey> OpenWithFullAccess(const std::string& path) override;
    bool DeleteKey(const std::string& path) override;
};

} // namespace vantaro
