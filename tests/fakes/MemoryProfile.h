#pragma once
// A settings profile held in memory with the platform's rules, values stored as the program's
// writer stores them; writes can be made to fail.

#include "platform/Profile.h"
#include "settings/IniDocument.h"
#include "settings/ProfileFile.h"
#include "fakes/IniFileProfile.h"

#include <mutex>

namespace vantaro::testing {

class MemoryProfile final : public Profile {
public:
    explicit MemoryProfile(std::string text = {}) : document_(std::move(text)) {}

    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& defaultValue) const override {
        std::lock_guard<std::mutex> lock(mutex_);
        ++keyReads;
        return ProfileString(document_, section, key, defaultValue);
    }
    int ReadInt(const std::string& section, const std::string& key, int defaultValue) const override {
        std::lock_guard<std::mutex> lock(mutex_);
        ++keyReads;
        return ProfileInt(document_, section, key, defaultValue);
    }
    std::optional<std::vector<ProfileSectionEntry>> ReadSection(const std::string& section) const override {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!readsSections) return std::nullopt;
        ++sectionReads;
        return document_.SectionEntries(section);
    }
    std::optional<std::string> ReadFileBytes() const override {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!readsSections) return std::nullopt;
        ++fileReads;
        return document_.Text();
    }
    bool WriteString(const std::string& section, const std::string& key, const std::string& value) override {
        std::lock_guard<std::mutex> lock(mutex_);
        if (failWrites) return false;
        document_.Set(section, key, StoredProfileValue(value));
        ++writeCount;
        return true;
    }

    void Reset(std::string text) {
        std::lock_guard<std::mutex> lock(mutex_);
        document_ = IniDocument(std::move(text));
    }

    std::string Text() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return document_.Text();
    }

    bool failWrites = false;
    bool readsSections = true;  // false: a profile that cannot read a section whole
    int writeCount = 0;
    // Reads as the platform would count them: one file check each.
    mutable int keyReads = 0;
    mutable int sectionReads = 0;
    mutable int fileReads = 0;

private:
    mutable std::mutex mutex_;
    IniDocument document_;
};

} // namespace vantaro::testing
