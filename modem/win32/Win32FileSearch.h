#pragma once

#include "modem/FileSearch.h"

#include <utility>

namespace vantaro {

// SearchPathA with no path (1024-character buffer), and the running exe's folder unless
// another is given.
class Win32FileSearch final : public FileSearch {
public:
    Win32FileSearch();
    explicit Win32FileSearch(std::string programFolder) : programFolder_(std::move(programFolder)) {}

    std::string SearchExecutablePath(const std::string& fileName) override;
    std::string ProgramFolder() override { return programFolder_; }
    std::optional<std::string> ReadFile(const std::string& path, std::size_t maxBytes) override;
    bool FileExists(const std::string& path) override;

private:
    std::string programFolder_;
};

} // namespace vantaro
