#pragma once
// The registry interface on Windows: one key class over an owned HKEY, and keys under
// HKEY_LOCAL_MACHINE opened by path, in the process's own view or always in the 64-bit one.

#include "modem/Registry.h"
#include "platform/win32/UniqueHandle.h"

namespace vantaro {

class Win32RegistryKey final : public RegistryKey {
public:
    explicit Win32RegistryKey(UniqueHkey key) : key_(std::move(key)) {}

    // A sub-key of `root` opened with `access`; null when it does not open.
    static std::unique_ptr<RegistryKey> Open(HKEY root, const std::string& path, REGSAM access);

    // Read into kRegistryStringBuffer bytes, and never past them: stored data need not end
    // with a NUL, so it gets one here, or does not read when there is no room for it.
    bool ReadString(const std::string& name, std::string& text) override;
    std::optional<std::uint32_t> ReadNumber(const std::string& name) override;
    bool HasValue(const std::string& name) override;
    long WriteString(const std::string& name, const std::string& text) override;
    long WriteNumber(const std::string& name, std::uint32_t number) override;

private:
    UniqueHkey key_;
};

enum class RegistryView {
    Own,         // a 32-bit process on 64-bit Windows sees HKLM\Software through Wow6432Node
    SixtyFourBit  // the 32-bit and the 64-bit program see the same keys
};

class Win32Registry final : public Registry {
public:
    explicit Win32Registry(RegistryView view = RegistryView::Own)
        : viewAccess_(view == RegistryView::SixtyFourBit ? KEY_WOW64_64KEY : 0) {}

    std::unique_ptr<RegistryKey> OpenForReading(const std::string& path) override;
    std::unique_ptr<RegistryKey> OpenWithFullAccess(const std::string& path) override;
    std::unique_ptr<RegistryKey> CreateWithFullAccess(const std::string& path) override;
    bool DeleteKey(const std::string& path) override;

private:
    REGSAM viewAccess_;
};

} // namespace vantaro
