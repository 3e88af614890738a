#include "settings/win32/Win32Profile.h"

#include "platform/win32/CodePage.h"
#include "settings/IniDocument.h"
#include "settings/ProfileFile.h"
#include "platform/win32/WholeFile.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <mutex>

namespace vantaro {

namespace {

// Reads go through the platform, writes through the program's own code: within the program
// one never runs in the middle of the other.
std::mutex& FileAccess() {
    static std::mutex access;
    return access;
}

// The lines of one section are read into a buffer that doubles until they fit.
constexpr std::size_t kSectionStart = 64 * 1024;
constexpr std::size_t kSectionLimit = 256 * 1024 * 1024;

} // namespace

std::string Win32Profile::ReadStringUnlocked(const std::string& section, const std::string& key,
                                             const std::string& defaultValue) const {
    char buffer[kMaxProfileString + 1] = {};
    const DWORD length = ::GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultValue.c_str(), buffer,
                                                    sizeof buffer, path_.c_str());
    // A value cut in the middle of a double-byte character comes back one byte short of the
    // length Wine reports: the value ends at its terminator, never past it.
    return std::string(buffer, ::strnlen(buffer, std::min<std::size_t>(length, kMaxProfileString)));
}

std::string Win32Profile::ReadString(const std::string& section, const std::string& key,
                                     const std::string& defaultValue) const {
    std::lock_guard<std::mutex> lock(FileAccess());
    return ReadStringUnlocked(section, key, defaultValue);
}

int Win32Profile::ReadInt(const std::string& section, const std::string& key, int defaultValue) const {
    std::lock_guard<std::mutex> lock(FileAccess());
    return static_cast<int>(::GetPrivateProfileIntA(section.c_str(), key.c_str(), defaultValue, path_.c_str()));
}

std::optional<std::vector<ProfileSectionEntry>> Win32Profile::ReadSection(const std::string& section) const {
    std::lock_guard<std::mutex> lock(FileAccess());
    // The lines come as one list of NUL-ended strings; a list that does not fit the buffer is
    // cut, which the platform says by returning the buffer's size less two. The section read,
    // unlike the key read, does not drop the blanks around the name asked for.
    const std::string name = TrimProfileBlanks(section);
    std::string lines(kSectionStart, '\0');
    for (;;) {
        const DWORD length =
            ::GetPrivateProfileSectionA(name.c_str(), lines.data(), static_cast<DWORD>(lines.size()), path_.c_str());
        if (length + 2 < lines.size()) {
            lines.resize(length);
            return ParseSectionLines(lines, &IsAnsiLeadByte);
        }
        if (lines.size() >= kSectionLimit) return std::nullopt;
        lines.assign(lines.size() * 2, '\0');
    }
}

std::optional<std::string> Win32Profile::ReadFileBytes() const {
    std::lock_guard<std::mutex> lock(FileAccess());
    std::string bytes;
    if (ReadWholeFile(path_, bytes) == WholeFileRead::Failed) return std::nullopt;
    if (!codepage::Widened(CP_ACP, MB_ERR_INVALID_CHARS, bytes)) return std::nullopt;
    return bytes;
}

bool Win32Profile::WriteString(const std::string& section, const std::string& key, const std::string& value) {
    return WriteStrings(section, {{key, value}});
}

bool Win32Profile::WriteStrings(const std::string& section, const std::vector<ProfileEntry>& entries) {
    std::lock_guard<std::mutex> lock(FileAccess());
    std::string before;
    const WholeFileRead read = ReadWholeFile(path_, before);
    if (read == WholeFileRead::Failed) return false;
    const std::optional<std::string> after = WriteProfileValues(before, section, entries, Utf16FromAnsi);
    if (!after || !ReplaceWholeFile(path_, *after)) return false;

    for (std::size_t i = 0; i < entries.size(); ++i) {
        const ProfileEntry& entry = entries[i];
        // Of a key given twice, the last value is the one stored.
        bool givenAgain = false;
        for (std::size_t later = i + 1; later < entries.size(); ++later) givenAgain |= entries[later].key == entry.key;
        if (givenAgain) continue;
        // A default that no value read back can be mistaken for.
        const std::string missing = entry.value.empty() || entry.value[0] != '\x01' ? "\x01" : "\x02";
        if (ReadsBackAsWritten(ReadStringUnlocked(section, entry.key, missing), entry.value)) continue;
        // The platform reads the file otherwise than it was written: nothing is kept of it.
        if (read == WholeFileRead::Read)
            ReplaceWholeFile(path_, before);
        else
            ::DeleteFileA(path_.c_str());
        return false;
    }
    return true;
}

} // namespace vantaro
