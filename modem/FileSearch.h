#pragma once
// Finding files the way the program does: on the executable search path, and beside itself.

#include <cstddef>
#include <optional>
#include <string>

namespace vantaro {

class FileSearch {
public:
    FileSearch() = default;
    FileSearch(const FileSearch&) = delete;
    FileSearch& operator=(const FileSearch&) = delete;
    virtual ~FileSearch() = default;

    // Full path of a file found on the executable search path; empty when not found.
    virtual std::string SearchExecutablePath(const std::string& fileName) = 0;
    // The folder of the running program, without a trailing backslash; empty when unknown.
    virtual std::string ProgramFolder() = 0;
    // A file's bytes; nothing when it is missing, cannot be read, or is larger than maxBytes.
    virtual std::optional<std::string> ReadFile(const std::string& path, std::size_t maxBytes) = 0;
    // Whether a file is there. The name is in the system code page, or UTF-8 (from a Unicode INF).
    virtual bool FileExists(const std::string& path) = 0;
};

} // namespace vantaro
