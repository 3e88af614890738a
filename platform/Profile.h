#pragma once
// The settings profile: an initialization file read and written by section and key.
// On Windows this is the platform's profile functions on Setting.ini (settings/win32/Win32Profile.h);
// tests use one in memory (tests/fakes/MemoryProfile.h).

#include <optional>
#include <string>
#include <vector>

namespace vantaro {

struct ProfileEntry {
    std::string key;
    std::string value;
};

// One line of a section: its key, and its value as a read of that key would return it. A line
// without '=' has no value.
struct ProfileSectionEntry {
    std::string key;
    std::optional<std::string> value;
};

class Profile {
public:
    Profile() = default;
    Profile(const Profile&) = delete;
    Profile& operator=(const Profile&) = delete;
    virtual ~Profile() = default;

    // At most kMaxProfileString bytes; the default when the file, section or key is missing.
    virtual std::string ReadString(const std::string& section, const std::string& key,
                                   const std::string& defaultValue) const = 0;
    // The leading decimal number of the value; the default when the key is missing.
    virtual int ReadInt(const std::string& section, const std::string& key, int defaultValue) const = 0;
    // Every line of a section, in file order, in one read; empty when the file or the section is
    // missing, nothing when this profile cannot read the section whole. Lines whose key begins
    // with ';' are notes and are left out. Where many keys of one section are wanted this costs
    // one read instead of one per key (the platform checks the file again for every read).
    virtual std::optional<std::vector<ProfileSectionEntry>> ReadSection(const std::string& section) const {
        return std::nullopt;
    }
    // The file's bytes in one read, for a caller that looks up many sections with the
    // program's own reader (which a platform test holds equal to the profile functions);
    // nothing when this profile cannot give them.
    virtual std::optional<std::string> ReadFileBytes() const { return std::nullopt; }
    // False when the value could not be stored.
    virtual bool WriteString(const std::string& section, const std::string& key, const std::string& value) = 0;
    // Several values of one section. The settings file's own implementation stores all of them
    // or none; this default writes them one by one and stops at the first that fails.
    virtual bool WriteStrings(const std::string& section, const std::vector<ProfileEntry>& entries) {
        for (const ProfileEntry& entry : entries)
            if (!WriteString(section, entry.key, entry.value)) return false;
        return true;
    }
};

// A read returns what fits a 4096-byte buffer with its terminator.
constexpr std::size_t kMaxProfileString = 4095;

} // namespace vantaro
