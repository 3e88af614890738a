#pragma once
// A file read whole and replaced whole (usage.ini, apn.ini), in memory: missing until written,
// what was set aside kept apart, and writes refused while readOnly.

#include "settings/UsageFile.h"

#include <optional>
#include <string>
#include <utility>

namespace vantaro::testing {

struct MemoryWholeFile final : UsageFile {
    ReadResult Read(std::string& bytes) override {
        if (failRead) return ReadResult::Failed;
        bytes = content.value_or("");
        return content ? ReadResult::Read : ReadResult::Missing;
    }
    bool Replace(const std::string& bytes) override {
        if (!readOnly) content = bytes;
        return !readOnly;
    }
    bool SetAside() override {
        setAside = std::exchange(content, std::nullopt);
        return true;
    }

    std::optional<std::string> content, setAside;
    bool readOnly = false;
    bool failRead = false;
};

} // namespace vantaro::testing
