#pragma once
// A file read whole and replaced whole (usage.ini, apn.ini), in memory: missing until written,
// read-only until set aside, and what was set aside (the .bad file) kept apart. The next
// failingReads reads fail (as when a backup or a scanner holds the file), then reads work again.

#include "settings/UsageFile.h"

#include <optional>
#include <string>
#include <utility>

namespace vantaro::testing {

struct MemoryWholeFile : UsageFile {
    ReadResult Read(std::string& bytes) override {
        ++reads;
        if (failingReads > 0) {
            --failingReads;
            return ReadResult::Failed;
        }
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
    int failingReads = 0;
    int reads = 0;
};

} // namespace vantaro::testing
