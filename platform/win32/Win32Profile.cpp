#include "platform/win32/Win32Profile.h"

#include <windows.h>

namespace vantaro {

std::string Win32Profile::ReadString(const std::string& section, const std::string& key,
                                     const std::string& defaultValue) const {
    char buffer[kMaxProfileString + 1] = {};
    DWORD length = ::GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultValue.c_str(), buffer,
                                              sizeof buffer, path_.c_str());
    return std::string(buffer, length);
}

int Win32Profile::ReadInt(const std::string& section, const std::string& key, int defaultValue) const {
    return static_cast<int>(::GetPrivateProfileIntA(section.c_str(), key.c_str(), defaultValue, path_.c_str()));
}

bool Win32Profile::WriteString(const std::string& section, const std::string& key, const std::string& value) {
    return ::WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), path_.c_str()) != FALSE;
}

} // namespace vantaro
