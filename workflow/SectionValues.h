#pragma once
// The keys of one section of the settings file from a single read where the profile can read
// the section whole, each found as a read of the key would find it; key by key where it cannot.
// The platform checks the file anew for every read, and a dialog is not on screen until it has
// all its texts.

#include "platform/Profile.h"
#include "settings/IniDocument.h"

#include <optional>
#include <string>
#include <vector>

namespace vantaro {

class SectionValues {
public:
    SectionValues(const Profile& profile, std::string section)
        : profile_(profile), section_(std::move(section)), entries_(profile.ReadSection(section_)) {}

    std::string Get(const char* key, const std::string& defaultValue) const {
        if (!entries_) return profile_.ReadString(section_, key, defaultValue);
        return FindSectionValue(*entries_, key).value_or(defaultValue);
    }

    // Nothing when the section lacks the key.
    std::optional<std::string> Find(const char* key) const {
        if (entries_) return FindSectionValue(*entries_, key);
        // A key that is there reads the same whatever the default; one that is not gives the default.
        const std::string first = profile_.ReadString(section_, key, "\x01");
        if (first != "\x01") return first;
        if (profile_.ReadString(section_, key, "\x02") != "\x02") return std::string("\x01");
        return std::nullopt;
    }

private:
    const Profile& profile_;
    std::string section_;
    std::optional<std::vector<ProfileSectionEntry>> entries_;
};

} // namespace vantaro
