#pragma once
// Runs a command line other than the dialog's (no argument): the usage text, a complaint about a
// wrong command line, or an action. Its result is the program's exit code.

#include "workflow/CommandLine.h"

#include <string>
#include <vector>

namespace vantaro {

// The arguments after the program's name, as Windows splits the command line, in the ANSI
// code page.
std::vector<std::string> ProgramArguments();

int RunCommandLine(const CommandLine& line, const std::vector<std::string>& arguments);

} // namespace vantaro
