#include "workflow/CommandLine.h"

#include "platform/TextRules.h"

namespace vantaro {

const char kUsageText[] =
    "Usage: Vantaro.exe [/install /port COMn|auto [/quiet] | /uninstall [/quiet] | /check | /?]\r\n"
    "\r\n"
    "  (nothing)            open the Settings dialog\r\n"
    "  /install /port COMn  install the phone's modem on that port and its dial-up entry, with\r\n"
    "                       the values of Setting.ini, without the dialog\r\n"
    "  /port auto           the one port where a phone answers as a modem\r\n"
    "  /uninstall           remove what Vantaro's installs made: their modems, driver packages\r\n"
    "                       and dial-up entries, and the About dialog's desktop shortcut\r\n"
    "  /check               one line per serial port: what answers there\r\n"
    "  /quiet               no window and no message box; messages go to Vantaro.log beside\r\n"
    "                       Setting.ini and to the console Vantaro was started from\r\n"
    "  /?                   this text\r\n"
    "\r\n"
    "Switches begin with / or - and ignore letter case.\r\n"
    "Exit codes: 0 done, 1 failed (Vantaro.log says at which step), 2 wrong command line,\r\n"
    "3 no phone found, 4 needs administrator rights, 5 restart Windows to finish /uninstall.\r\n";

namespace {

constexpr int kFirstPort = 1;
constexpr int kLastPort = 255;
constexpr char kPortPrefix[] = "COM";
constexpr char kAutoPort[] = "auto";

// An argument as a complaint quotes it: whole when short, else its start and its length.
std::string Quoted(const std::string& argument) {
    if (argument.size() <= kMaxEchoedArgument) return "\"" + argument + "\"";
    return "\"" + argument.substr(0, kMaxEchoedArgument) + "...\" (" + std::to_string(argument.size()) +
           " characters)";
}

bool IsSwitch(const std::string& argument) {
    return argument.size() > 1 && (argument[0] == '/' || argument[0] == '-');
}

bool IsSwitchNamed(const std::string& argument, const char* name) {
    return IsSwitch(argument) && EqualsIgnoringAsciiCase(argument.substr(1), name);
}

// The port value's complaint, or empty when `value` names a port (then `line` holds it).
std::string TakePort(const std::string& value, CommandLine& line) {
    constexpr char kWhatAPortIs[] = "a port is COM1 to COM255, or auto";
    if (value.size() > kMaxPortArgument)
        return "The value of /port is " + std::to_string(value.size()) + " characters long: " + kWhatAPortIs + ".";
    if (EqualsIgnoringAsciiCase(value, kAutoPort)) {
        line.autoPort = true;
        return {};
    }
    const std::string prefix = value.substr(0, sizeof kPortPrefix - 1);
    const std::string digits = value.substr(prefix.size());
    const bool numeric = !digits.empty() && digits.size() <= 3 &&
                         digits.find_first_not_of("0123456789") == std::string::npos;
    // COM05 is not how Windows names COM5.
    if (!EqualsIgnoringAsciiCase(prefix, kPortPrefix) || !numeric || (digits.size() > 1 && digits[0] == '0'))
        return "/port " + Quoted(value) + " is not a port name: " + kWhatAPortIs + ".";
    const int number = std::stoi(digits);
    if (number < kFirstPort || number > kLastPort)
        return "/port " + Quoted(value) + " is out of range: " + kWhatAPortIs + ".";
    line.port = kPortPrefix + digits;
    return {};
}

CommandLine Invalid(CommandLine line, std::string error) {
    line.action = CommandAction::Invalid;
    line.port.clear();
    line.autoPort = false;
    line.error = std::move(error);
    return line;
}

} // namespace

bool ArgumentsFollowProgramName(std::wstring_view commandLine) {
    const auto blank = [](wchar_t c) { return c == L' ' || c == L'\t'; };
    std::size_t i = 0;
    if (!commandLine.empty() && commandLine[0] == L'"') {
        const std::size_t close = commandLine.find(L'"', 1);
        // What follows the closing quote begins the next argument, blank or not.
        i = close == std::wstring_view::npos ? commandLine.size() : close + 1;
    } else {
        while (i < commandLine.size() && !blank(commandLine[i])) ++i;
    }
    while (i < commandLine.size() && blank(commandLine[i])) ++i;
    return i < commandLine.size();
}

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    CommandLine line;
    if (arguments.empty()) return line;
    for (const std::string& argument : arguments) {
        if (IsSwitchNamed(argument, "quiet")) line.quiet = true;
    }
    for (const std::string& argument : arguments) {
        if (IsSwitchNamed(argument, "?")) {
            line.action = CommandAction::Usage;
            return line;
        }
    }

    bool haveAction = false;
    bool havePort = false;
    bool haveQuiet = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (!IsSwitch(argument))
            return Invalid(line, "Unexpected argument " + Quoted(argument) + ": every value follows its switch.");
        const struct {
            const char* name;
            CommandAction action;
        } actions[] = {{"install", CommandAction::Install},
                       {"uninstall", CommandAction::Uninstall},
                       {"check", CommandAction::Check}};
        bool known = false;
        for (const auto& action : actions) {
            if (!IsSwitchNamed(argument, action.name)) continue;
            known = true;
            if (haveAction && line.action == action.action)
                return Invalid(line, std::string("/") + action.name + " is given twice.");
            if (haveAction) return Invalid(line, "Only one of /install, /uninstall and /check can be given.");
            haveAction = true;
            line.action = action.action;
        }
        if (known) continue;
        if (IsSwitchNamed(argument, "quiet")) {
            if (haveQuiet) return Invalid(line, "/quiet is given twice.");
            haveQuiet = true;
        } else if (IsSwitchNamed(argument, "port")) {
            if (havePort) return Invalid(line, "/port is given twice.");
            havePort = true;
            if (i + 1 == arguments.size() || IsSwitch(arguments[i + 1]))
                return Invalid(line, "/port needs a value: COM1 to COM255, or auto.");
            const std::string complaint = TakePort(arguments[++i], line);
            if (!complaint.empty()) return Invalid(line, complaint);
        } else {
            return Invalid(line, "Unknown switch " + Quoted(argument) + ".");
        }
    }

    if (!haveAction) return Invalid(line, "Name what to do: /install, /uninstall or /check.");
    if (line.action == CommandAction::Install && !havePort)
        return Invalid(line, "/install needs /port COMn or /port auto.");
    if (line.action != CommandAction::Install && havePort) return Invalid(line, "/port goes with /install only.");
    return line;
}

} // namespace vantaro
