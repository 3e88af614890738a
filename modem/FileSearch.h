#pragma once
// Finding files the way the program does: on the executable search path, and beside itself.

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
};

} // namespace vantaro
