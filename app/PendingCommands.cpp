#include "app/PendingCommands.h"

namespace vantaro {

namespace {

ExitCode NotAvailableYet(const char* action, CommandOutput& output, Log& log) {
    log.Step("command", LogResult::Failed, 0, std::string(action) + " is not available yet");
    output.Say(std::string(action) + " is not available yet in this version of Vantaro.");
    return ExitCode::Failed;
}

} // namespace

ExitCode RunInstallCommand(const CommandLine&, const std::string&, bool, CommandOutput& output, Log& log) {
    return NotAvailableYet("/install", output, log);
}

ExitCode RunCheckCommand(const CommandLine&, CommandOutput& output, Log& log) {
    return NotAvailableYet("/check", output, log);
}

} // namespace vantaro
