#include "settings/IniFileProfile.h"

#include <fstream>

namespace vantaro {

std::string ProfileString(const IniDocument& document, const std::string& section, const std::string& key,
                          const std::string& defaultValue) {
    std::string value = document.Get(section, key).value_or(defaultValue);
    if (value.size() > kMaxProfileString) value.resize(kMaxProfileString);
    return value;
}

int ProfileInt(const IniDocument& document, const std::string& section, const std::string& key, int defaultValue) {
    std::optional<std::string> value = document.Get(section, key);
    // An empty value reads like a missing one, as with the platform.
    if (!value || value->empty()) return defaultValue;
    // The platform reads the value for a number into a buffer of 30 characters.
    return LeadingDecimal(value->substr(0, kProfileIntCharacters));
}

IniDocument IniFileProfile::Load() const {
    std::ifstream file(path_, std::ios::binary | std::ios::ate);
    if (!file) return IniDocument();
    // One read of the whole file: byte by byte costs several times the parse itself.
    const std::streamoff size = file.tellg();
    std::string text(size > 0 ? static_cast<std::size_t>(size) : 0, '\0');
    file.seekg(0);
    if (!file.read(text.data(), static_cast<std::streamsize>(text.size()))) text.resize(static_cast<std::size_t>(file.gcount()));
    return IniDocument(std::move(text));
}

std::string IniFileProfile::ReadString(const std::string& section, const std::string& key,
                                       const std::string& defaultValue) const {
    return ProfileString(Load(), section, key, defaultValue);
}

int IniFileProfile::ReadInt(const std::string& section, const std::string& key, int defaultValue) const {
    return ProfileInt(Load(), section, key, defaultValue);
}

std::optional<std::vector<ProfileSectionEntry>> IniFileProfile::ReadSection(const std::string& section) const {
    return Load().SectionEntries(section);
}

bool IniFileProfile::WriteString(const std::string& section, const std::string& key, const std::string& value) {
    IniDocument document = Load();
    document.Set(section, key, value);
    std::ofstream file(path_, std::ios::binary | std::ios::trunc);
    if (!file) return false;
    file << document.Text();
    return static_cast<bool>(file.flush());
}

} // namespace vantaro
