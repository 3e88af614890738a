#pragma once
// Vantaro.exe's command line. With no argument at all the program opens the Settings dialog as
// it always has; otherwise it takes one action (/install, /uninstall, /check), its values and
// /quiet, or /? for the usage text. Switches begin with / or - and ignore letter case.

#include "workflow/ExitCode.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vantaro {

enum class CommandAction { Dialog, Usage, Install, Uninstall, Check, Invalid };

struct CommandLine {
    CommandAction action = CommandAction::Dialog;
    std::string port;       // "COM1" .. "COM255", in capitals; empty with autoPort
    bool autoPort = false;  // /port auto: the one port where a phone answers as a modem
    // No window and no message box. Set whenever /quiet is among the arguments, even on a
    // command line that is wrong otherwise, so that its complaint does not open a box either.
    bool quiet = false;
    std::string error;      // for Invalid: what is wrong, naming the argument
};

// The arguments after the program's name, as the C runtime splits them.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// Whether anything but blanks follows the program's name on the process's command line, the
// name read as the shell's parser reads it (up to the closing quote when it begins with one,
// else up to the first blank). A start without arguments, the usual one, needs no parser.
bool ArgumentsFollowProgramName(std::wstring_view commandLine);

extern const char kUsageText[];

// The longest argument echoed whole in a complaint; a longer one is cut and its length given.
inline constexpr std::size_t kMaxEchoedArgument = 40;
// Longer than any port name ("COM255") or "auto", with room for a typo to be shown as typed.
inline constexpr std::size_t kMaxPortArgument = 16;

} // namespace vantaro
