#include "platform/win32/Win32Profile.h"

#include "settings/IniDocument.h"

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

std::vector<ProfileSectionEntry> Win32Profile::ReadSection(const std::string& section) const {
    WIN32_FILE_ATTRIBUTE_DATA file{};
    if (!::GetFileAttributesExA(path_.c_str(), GetFileExInfoStandard, &file)) return {};
    // A section's lines never take more room than the file itself (two bytes of a wide file give
    // at most two bytes here); should they all the same, the platform says so and the room doubles.
    constexpr DWORD kMaxRoom = 1u << 30;
    if (file.nFileSizeHigh != 0 || file.nFileSizeLow > kMaxRoom / 2) return {};
    DWORD room = file.nFileSizeLow + 4096;
    for (; room <= kMaxRoom; room *= 2) {
        std::string lines(room, '\0');
        // The section read, unlike the key read, does not drop the blanks around the name asked for.
        const DWORD length =
            ::GetPrivateProfileSectionA(TrimProfileBlanks(section).c_str(), lines.data(), room, path_.c_str());
        // A full buffer comes back as its size less two.
        if (length + 2 < room) {
            lines.resize(length);
            return ParseSectionLines(lines);
        }
    }
    return {};
}

bool Win32Profile::WriteString(const std::string& section, const std::string& key, const std::string& value) {
    return ::WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), path_.c_str()) != FALSE;
}

} // namespace vantaro
