#pragma once
// usage.ini in memory: missing until written, read-only until set aside, and what was set aside
// as usage.ini.bad.

#include "settings/UsageFile.h"

#include <optional>
#include <string>
#include <utility>

namespace vantaro::testing {

struct FakeUsageFile final : UsageFile {
    ReadResult Read(std::string& bytes) override {
        bytes = content.value_or("");
        return content ? ReadResult::Read : ReadResult::Missing;
    }
    bool Replace(const std::string& bytes) override {
        if (!readOnly) content = bytes;
        return !readOnly;
    }
    bool SetAside() override {
        setAside = std::exchange(content, std::nullopt);
        readOnly = false;  // the new file is an ordinary one
        return true;
    }

    std::optional<std::string> content, setAside;
    bool readOnly = false;
};

} // namespace vantaro::testing
