#pragma once
// Process start and file search in memory: the runs are recorded and answered as told.

#include "modem/FileSearch.h"
#include "modem/ProcessLauncher.h"

#include <map>
#include <string>
#include <vector>

namespace vantaro::testing {

class FakeProcessLauncher final : public ProcessLauncher {
public:
    struct Run {
        std::string programPath;
        std::string commandLine;
    };

    ProcessOutcome RunAndWait(const std::string& programPath, const std::string& commandLine) override {
        runs.push_back(Run{programPath, commandLine});
        return outcome;
    }

    ProcessOutcome outcome{ProcessOutcome::State::Exited, 1};
    std::vector<Run> runs;
};

class FakeFileSearch final : public FileSearch {
public:
    std::string SearchExecutablePath(const std::string& fileName) override {
        searched.push_back(fileName);
        auto found = files.find(fileName);
        return found == files.end() ? std::string() : found->second;
    }
    std::string ProgramFolder() override { return programFolder; }

    std::optional<std::string> ReadFile(const std::string& path, std::size_t maxBytes) override {
        auto found = contents.find(path);
        if (found == contents.end() || found->second.size() > maxBytes) return std::nullopt;
        return found->second;
    }
    bool FileExists(const std::string& path) override { return contents.count(path) != 0; }

    std::map<std::string, std::string> files;     // file name -> full path
    std::map<std::string, std::string> contents;  // full path -> bytes
    std::string programFolder = "C:\\Program Files\\Vantaro";
    std::vector<std::string> searched;
};

} // namespace vantaro::testing
