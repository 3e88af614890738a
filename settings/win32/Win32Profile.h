#pragma once
// The settings profile on one file path: read through the platform's own profile functions,
// written by the program itself so that nothing else in the file changes (ProfileFile.h).

#include "platform/Profile.h"

namespace vantaro {

class Win32Profile final : public Profile {
public:
    explicit Win32Profile(std::string path) : path_(std::move(path)) {}

    const std::string& Path() const { return path_; }

    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& defaultValue) const override;
    int ReadInt(const std::string& section, const std::string& key, int defaultValue) const override;
    std::optional<std::vector<ProfileSectionEntry>> ReadSection(const std::string& section) const override;
    // Nothing, too, for bytes the ANSI code page lacks: the platform's reads convert them, the
    // program's reader would hand them on as they are.
    std::optional<std::string> ReadFileBytes() const override;
    bool WriteString(const std::string& section, const std::string& key, const std::string& value) override;
    // All the values or none: the file is replaced once, then every value is read back through
    // the platform; if one does not read as written, the file is put back as it was.
    bool WriteStrings(const std::string& section, const std::vector<ProfileEntry>& entries) override;

private:
    std::string ReadStringUnlocked(const std::string& section, const std::string& key,
                                   const std::string& defaultValue) const;

    std::string path_;
};

} // namespace vantaro
