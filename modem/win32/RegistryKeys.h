#pragma once
// Small owning wrappers around an open registry key; each closes its key when destroyed.

#include "platform/win32/UniqueHandle.h"

#include <windows.h>

#include <string>

namespace vantaro {

// A key opened for reading under a root fixed at construction.
class ReadOnlyRegistryKey {
public:
    explicit ReadOnlyRegistryKey(HKEY root) : root_(root) {}
    ReadOnlyRegistryKey(const ReadOnlyRegistryKey&) = delete;
    ReadOnlyRegistryKey& operator=(const ReadOnlyRegistryKey&) = delete;
    virtual ~ReadOnlyRegistryKey() = default;

    // Opens a sub-key of the root with KEY_READ, closing any key held before. 1 on success.
    int Open(const std::string& subKey);
    // The value's text in a 200-byte buffer (the type is not looked at). 1 on success; on
    // failure 0 with `text` empty.
    int ReadString(const std::string& name, std::string& text);

private:
    UniqueHkey key_;
    HKEY root_;
};

// A key with full access. Every operation records the registry's error code of its call.
class WritableRegistryKey {
public:
    WritableRegistryKey() = default;
    // Takes over a key opened elsewhere (a device's driver key).
    explicit WritableRegistryKey(HKEY adopted) : key_(adopted) {}
    WritableRegistryKey(const WritableRegistryKey&) = delete;
    WritableRegistryKey& operator=(const WritableRegistryKey&) = delete;

    // Closes any key held, then opens with KEY_ALL_ACCESS. 1 on success.
    int Open(HKEY root, const std::string& subKey);
    // 0 when no key is held; else closes it and gives 1 when the close succeeded.
    int Close();
    // Reads the value into `buffer` (the type is not asked for) and terminates it; the buffer's
    // first byte is cleared first. 0 when no key is held, when the value does not read, or when
    // it leaves no room for the terminating NUL.
    int QueryString(const std::string& name, char* buffer, DWORD size, LONG* error = nullptr);
    // REG_SZ of the text's length + 1 bytes.
    int WriteString(const std::string& name, const std::string& text, LONG* error = nullptr);
    // REG_DWORD of 4 bytes.
    int WriteNumber(const std::string& name, DWORD number, LONG* error = nullptr);

    bool IsOpen() const { return static_cast<bool>(key_); }
    LONG LastError() const { return lastError_; }

private:
    int Record(LONG status, LONG* error);

    UniqueHkey key_;
    LONG lastError_ = ERROR_SUCCESS;
};

// Deletes a key that has no sub-keys. 1 on success.
int DeleteRegistryKey(HKEY root, const std::string& subKey);

// The value as text read into `size` bytes and terminated there; ERROR_MORE_DATA when it
// leaves no room for the NUL. The shared reading rule of both wrappers.
LONG QueryStringValue(HKEY key, const std::string& name, char* buffer, DWORD size);

} // namespace vantaro
