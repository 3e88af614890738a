#pragma once
// The settings file as one read of it found it, for a caller that reads many keys at once (the
// dialog's start): under Wine each read through the platform's profile functions opens the file
// and checks it again. Reads come from the program's own reader, which a platform test holds
// equal to those functions. A profile that cannot give its bytes, or a file that reader may not
// read as the platform does (one with a byte-order mark, or a line longer than a read returns),
// is read through the profile, key by key as before. A write goes to the profile, and every
// read after it does too.

#include "platform/Profile.h"
#include "settings/IniDocument.h"

#include <optional>

namespace vantaro {

class ProfileSnapshot final : public Profile {
public:
    explicit ProfileSnapshot(Profile& profile);

    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& defaultValue) const override;
    int ReadInt(const std::string& section, const std::string& key, int defaultValue) const override;
    std::optional<std::vector<ProfileSectionEntry>> ReadSection(const std::string& section) const override;
    std::optional<std::string> ReadFileBytes() const override;
    bool WriteString(const std::string& section, const std::string& key, const std::string& value) override;
    bool WriteStrings(const std::string& section, const std::vector<ProfileEntry>& entries) override;

private:
    Profile& profile_;
    std::optional<IniDocument> file_;
};

} // namespace vantaro
