#pragma once
// /install and /check, which run the install sequence and the phone check without the dialog.
// Both come with the workflow layer and the phone check; until then they say so and fail.

#include "app/CommandLine.h"
#include "app/CommandOutput.h"
#include "log/Log.h"

#include <string>

namespace vantaro {

// `settingsPath` is Setting.ini's path; `settingsFound` is false when it is only where it would be.
ExitCode RunInstallCommand(const CommandLine& line, const std::string& settingsPath, bool settingsFound,
                           CommandOutput& output, Log& log);
ExitCode RunCheckCommand(const CommandLine& line, CommandOutput& output, Log& log);

} // namespace vantaro
