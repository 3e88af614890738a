#pragma once
// Gives one test the registry's serial port map (HKLM\HARDWARE\DEVICEMAP\SERIALCOMM) of the
// test prefix to itself: the values Wine's mount manager put there at session start are kept
// aside, the key is emptied, and on the way out the key is rewritten as it was.
//
// The map enumerates in value-name order, not in the order values are written; name values
// accordingly ("\Device\Serial0", "\Device\Serial1", ...) when the order matters.

#include <windows.h>

#include <string>
#include <vector>

namespace vantaro::e2e {

class SerialCommOverride {
public:
    static constexpr char kKeyPath[] = "HARDWARE\\DEVICEMAP\\SERIALCOMM";

    SerialCommOverride() {
        HKEY key = nullptr;
        if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKeyPath, 0, KEY_READ, &key) == ERROR_SUCCESS) {
            existed_ = true;
            for (DWORD index = 0;; ++index) {
                char name[16384];
                BYTE data[16384];
                DWORD nameLength = sizeof name;
                DWORD dataLength = sizeof data;
                DWORD type = 0;
                if (::RegEnumValueA(key, index, name, &nameLength, nullptr, &type, data, &dataLength) != ERROR_SUCCESS)
                    break;
                saved_.push_back({std::string(name, nameLength), type,
                                  std::string(reinterpret_cast<const char*>(data), dataLength)});
            }
            ::RegCloseKey(key);
        }
        Recreate();
    }
    SerialCommOverride(const SerialCommOverride&) = delete;
    SerialCommOverride& operator=(const SerialCommOverride&) = delete;

    ~SerialCommOverride() {
        RemoveKey();
        if (!existed_) return;
        Recreate();
        for (const Value& value : saved_) Set(value.name, value.type, value.data);
    }

    // A value as the registry holds it: the bytes exactly as given (a string's NUL included
    // only when the caller includes it).
    bool Set(const std::string& name, DWORD type, const std::string& bytes) {
        HKEY key = nullptr;
        if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKeyPath, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return false;
        const LONG result = ::RegSetValueExA(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                                             static_cast<DWORD>(bytes.size()));
        ::RegCloseKey(key);
        return result == ERROR_SUCCESS;
    }
    // A port name as a serial driver writes it: REG_SZ with its terminating NUL.
    bool SetPortName(const std::string& name, const std::string& portName) {
        return Set(name, REG_SZ, std::string(portName.c_str(), portName.size() + 1));
    }

    // Removes the key itself, as on a machine that never had a serial port map.
    void RemoveKey() { ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, kKeyPath); }

    // The key exists (and is empty) again.
    bool Recreate() {
        HKEY key = nullptr;
        // The hardware map is rebuilt at every start; it lives only in memory, as on Windows.
        const LONG result = ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, kKeyPath, 0, nullptr, REG_OPTION_VOLATILE,
                                              KEY_ALL_ACCESS, nullptr, &key, nullptr);
        if (result != ERROR_SUCCESS) return false;
        for (;;) {
            char name[16384];
            DWORD nameLength = sizeof name;
            if (::RegEnumValueA(key, 0, name, &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
            if (::RegDeleteValueA(key, name) != ERROR_SUCCESS) break;
        }
        ::RegCloseKey(key);
        return true;
    }

private:
    struct Value {
        std::string name;
        DWORD type;
        std::string data;
    };

    bool existed_ = false;
    std::vector<Value> saved_;
};

} // namespace vantaro::e2e
