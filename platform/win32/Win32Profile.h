#pragma once
// The settings profile through the platform's own profile functions, on one file path.

#include "platform/Profile.h"

namespace vantaro {

class Win32Profile final : public Profile {
public:
    explicit Win32Profile(std::string path) : path_(std::move(path)) {}

    const std::string& Path() const { return path_; }

    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& defaultValue) const override;
    int ReadInt(const std::string& section, const std::string& key, int defaultValue) const override;
    bool WriteString(const std::string& section, const std::string& key, const std::string& value) override;
    std::vector<ProfileSectionEntry> ReadSection(const std::string& section) const override;

private:
    std::string path_;
};

} // namespace vantaro
