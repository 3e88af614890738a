#include "settings/ProfileSnapshot.h"

#include "settings/ProfileFile.h"

namespace vantaro {

namespace {

// Where the platform cuts a value off depends on the characters at the cut, in the code page.
bool HasLineLongerThanARead(const std::string& bytes) {
    std::size_t run = 0;
    for (const char byte : bytes) {
        run = byte == '\n' || byte == '\r' ? 0 : run + 1;
        if (run > kMaxProfileString) return true;
    }
    return false;
}

} // namespace

ProfileSnapshot::ProfileSnapshot(Profile& profile) : profile_(profile) {
    if (std::optional<std::string> bytes = profile_.ReadFileBytes();
        bytes && DetectProfileEncoding(*bytes) == ProfileEncoding::Ansi && !HasLineLongerThanARead(*bytes))
        file_.emplace(std::move(*bytes));
}

std::string ProfileSnapshot::ReadString(const std::string& section, const std::string& key,
                                        const std::string& defaultValue) const {
    return file_ ? ProfileString(*file_, section, key, defaultValue) : profile_.ReadString(section, key, defaultValue);
}

int ProfileSnapshot::ReadInt(const std::string& section, const std::string& key, int defaultValue) const {
    return file_ ? ProfileInt(*file_, section, key, defaultValue) : profile_.ReadInt(section, key, defaultValue);
}

std::optional<std::vector<ProfileSectionEntry>> ProfileSnapshot::ReadSection(const std::string& section) const {
    return file_ ? std::optional(file_->SectionEntries(section)) : profile_.ReadSection(section);
}

std::optional<std::string> ProfileSnapshot::ReadFileBytes() const {
    return file_ ? std::optional(file_->Text()) : profile_.ReadFileBytes();
}

bool ProfileSnapshot::WriteString(const std::string& section, const std::string& key, const std::string& value) {
    file_.reset();
    return profile_.WriteString(section, key, value);
}

bool ProfileSnapshot::WriteStrings(const std::string& section, const std::vector<ProfileEntry>& entries) {
    file_.reset();
    return profile_.WriteStrings(section, entries);
}

} // namespace vantaro
