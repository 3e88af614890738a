#pragma once
// usage.ini in memory: missing, unreadable or read-only (until it is set aside), and what was set
// aside as usage.ini.bad.

#include "settings/UsageFile.h"

#include <optional>
#include <string>

namespace vantaro::testing {

class FakeUsageFile final : public UsageFile {
public:
    ReadResult Read(std::string& bytes) override {
        if (unreadable) return ReadResult::Failed;
        if (!content) return ReadResult::Missing;
        bytes = *content;
        return ReadResult::Read;
    }
    bool Replace(const std::string& bytes) override {
        if (readOnly) return false;
        content = bytes;
        ++writes;
        return true;
    }
    bool SetAside() override {
        setAside = content.value_or("<unreadable>");
        content.reset();
        readOnly = unreadable = false;  // the new file is an ordinary one
        return true;
    }
    void Reset(std::optional<std::string> bytes) {
        content = std::move(bytes);
        setAside.reset();
        readOnly = unreadable = false;
    }

    std::optional<std::string> content, setAside;
    bool unreadable = false, readOnly = false;
    int writes = 0;
};

} // namespace vantaro::testing
