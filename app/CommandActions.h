#pragma once
// /install and /check: the install sequence and the phone check without the dialog, for
// scripts that set up many PCs. What the dialog would say goes to the log and the console (and,
// without /quiet, to the same message boxes as the dialog's).

#include "workflow/CommandLine.h"
#include "app/CommandOutput.h"
#include "log/Log.h"

#include <string>

namespace vantaro {

// `settingsPath` is Setting.ini's path; `settingsFound` is false when it is only where it would be.
ExitCode RunInstallCommand(const CommandLine& line, const std::string& settingsPath, bool settingsFound,
                           CommandOutput& output, Log& log);
ExitCode RunCheckCommand(const CommandLine& line, CommandOutput& output, Log& log);

} // namespace vantaro
