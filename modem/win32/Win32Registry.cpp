#include "modem/win32/Win32Registry.h"

namespace vantaro {

namespace {

class ReadOnlyKey final : public RegistryKey {
public:
    ReadOnlyKey() : key_(HKEY_LOCAL_MACHINE) {}

    ReadOnlyRegistryKey& Wrapper() { return key_; }

    bool ReadString(const std::string& name, std::string& text) override { return key_.ReadString(name, text) != 0; }
    // Opened for reading only: the platform would refuse the write.
    long WriteString(const std::string&, const std::string&) override { return ERROR_ACCESS_DENIED; }
    long WriteNumber(const std::string&, std::uint32_t) override { return ERROR_ACCESS_DENIED; }

private:
    ReadOnlyRegistryKey key_;
};

} // namespace

bool WritableKey::ReadString(const std::string& name, std::string& text) {
    char buffer[kRegistryStringBuffer];
    text.clear();
    if (!key_.QueryString(name, buffer, sizeof buffer)) return false;
    text = buffer;
    return true;
}

long WritableKey::WriteString(const std::string& name, const std::string& text) {
    LONG error = ERROR_INVALID_HANDLE;
    key_.WriteString(name, text, &error);
    return error;
}

long WritableKey::WriteNumber(const std::string& name, std::uint32_t number) {
    LONG error = ERROR_INVALID_HANDLE;
    key_.WriteNumber(name, number, &error);
    return error;
}

std::unique_ptr<RegistryKey> Win32Registry::OpenForReading(const std::string& path) {
    auto key = std::make_unique<ReadOnlyKey>();
    if (!key->Wrapper().Open(path)) return nullptr;
    return key;
}

std::unique_ptr<RegistryKey> Win32Registry::OpenWithFullAccess(const std::string& path) {
    auto key = std::make_unique<WritableKey>();
    if (!key->Wrapper().Open(HKEY_LOCAL_MACHINE, path)) return nullptr;
    return key;
}

bool Win32Registry::DeleteKey(const std::string& path) { return DeleteRegistryKey(HKEY_LOCAL_MACHINE, path) != 0; }

} // namespace vantaro
