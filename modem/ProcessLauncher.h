#pragma once
// Starting a program and waiting for it to end.

#include <cstdint>
#include <string>

namespace vantaro {

struct ProcessOutcome {
    enum class State { NotStarted, ExitCodeUnreadable, Exited };
    State state = State::NotStarted;
    std::uint32_t exitCode = 0;
};

class ProcessLauncher {
public:
    ProcessLauncher() = default;
    ProcessLauncher(const ProcessLauncher&) = delete;
    ProcessLauncher& operator=(const ProcessLauncher&) = delete;
    virtual ~ProcessLauncher() = default;

    // Starts the program file `programPath` with `commandLine` (its first word is the program's
    // own name, as the program will see it), without a window and inheriting no handles, then
    // waits until it has ended.
    virtual ProcessOutcome RunAndWait(const std::string& programPath, const std::string& commandLine) = 0;
};

} // namespace vantaro
