#pragma once
// The settings profile on a file, read and written with the program's own rules (IniDocument)
// instead of the platform's: what the tests and the benchmark read settings files with. Like the
// platform, it keeps nothing open: every read and write goes to the file. A platform test holds
// its reads to Windows' own on the same files.

#include "platform/Profile.h"
#include "settings/IniDocument.h"

#include <fstream>

namespace vantaro {

class IniFileProfile final : public Profile {
public:
    explicit IniFileProfile(std::string path) : path_(std::move(path)) {}

    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& defaultValue) const override {
        return ProfileString(Load(), section, key, defaultValue);
    }
    int ReadInt(const std::string& section, const std::string& key, int defaultValue) const override {
        return ProfileInt(Load(), section, key, defaultValue);
    }
    std::optional<std::vector<ProfileSectionEntry>> ReadSection(const std::string& section) const override {
        return Load().SectionEntries(section);
    }
    bool WriteString(const std::string& section, const std::string& key, const std::string& value) override {
        IniDocument document = Load();
        document.Set(section, key, value);
        std::ofstream file(path_, std::ios::binary | std::ios::trunc);
        if (!file) return false;
        file << document.Text();
        return static_cast<bool>(file.flush());
    }

private:
    IniDocument Load() const {
        std::ifstream file(path_, std::ios::binary | std::ios::ate);
        if (!file) return IniDocument();
        // One read of the whole file: byte by byte costs several times the parse itself.
        const std::streamoff size = file.tellg();
        std::string text(size > 0 ? static_cast<std::size_t>(size) : 0, '\0');
        file.seekg(0);
        if (!file.read(text.data(), static_cast<std::streamsize>(text.size())))
            text.resize(static_cast<std::size_t>(file.gcount()));
        return IniDocument(std::move(text));
    }

    std::string path_;
};

} // namespace vantaro
