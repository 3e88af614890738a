#pragma once
// The settings profile on a file, with the platform's rules (IniDocument). Like the platform,
// it keeps nothing open: every read and write goes to the file.

#include "platform/Profile.h"
#include "settings/IniDocument.h"

namespace vantaro {

// How much of a value an integer read looks at.
constexpr std::size_t kProfileIntCharacters = 29;

// Reads and writes on a document; what the profile rules make of a value, in one place.
std::string ProfileString(const IniDocument& document, const std::string& section, const std::string& key,
                          const std::string& defaultValue);
int ProfileInt(const IniDocument& document, const std::string& section, const std::string& key, int defaultValue);

class IniFileProfile final : public Profile {
public:
    explicit IniFileProfile(std::string path) : path_(std::move(path)) {}

    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& defaultValue) const override;
    int ReadInt(const std::string& section, const std::string& key, int defaultValue) const override;
    bool WriteString(const std::string& section, const std::string& key, const std::string& value) override;
    std::optional<std::vector<ProfileSectionEntry>> ReadSection(const std::string& section) const override;

private:
    IniDocument Load() const;

    std::string path_;
};

} // namespace vantaro
