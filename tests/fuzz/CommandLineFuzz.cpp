// Vantaro.exe's command line: any number of arguments of any bytes. The parse is one of the
// actions; a complaint names the argument within a bounded length; an install always has a
// port of COM1 to COM255 or auto; /quiet anywhere keeps the run quiet. The complaint then goes
// to the log, which writes it as exactly one line of bounded length.

#include "workflow/CommandLine.h"
#include "fuzz/FuzzCheck.h"
#include "log/Log.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>

namespace {

bool IsQuietSwitch(const std::string& argument) {
    if (argument.size() != 6 || (argument[0] != '/' && argument[0] != '-')) return false;
    for (std::size_t i = 1; i < argument.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(argument[i])) != "quiet"[i - 1]) return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    using vantaro::fuzz::Require;
    FuzzedDataProvider data(bytes, size);
    std::vector<std::string> arguments(data.ConsumeIntegralInRange<std::size_t>(0, 6));
    for (std::string& argument : arguments) argument = data.ConsumeRandomLengthString(300);

    const vantaro::CommandLine line = vantaro::ParseCommandLine(arguments);
    bool quietGiven = false;
    for (const std::string& argument : arguments) quietGiven = quietGiven || IsQuietSwitch(argument);

    Require(arguments.empty() == (line.action == vantaro::CommandAction::Dialog),
            "the dialog opens exactly when there is no argument");
    Require((line.action == vantaro::CommandAction::Invalid) == !line.error.empty(),
            "a complaint comes with a wrong command line, and only with one");
    Require(line.error.size() <= 200, "a complaint quotes an argument only in part");
    Require(line.quiet == quietGiven, "/quiet anywhere, and only /quiet, keeps the run quiet");
    if (line.action == vantaro::CommandAction::Install) {
        if (line.autoPort) {
            Require(line.port.empty(), "/port auto names no port");
        } else {
            const bool comPort = line.port.size() >= 4 && line.port.size() <= 6 && line.port.compare(0, 3, "COM") == 0 &&
                                 line.port[3] != '0' && std::atoi(line.port.c_str() + 3) >= 1 &&
                                 std::atoi(line.port.c_str() + 3) <= 255 &&
                                 line.port.find_first_not_of("0123456789", 3) == std::string::npos;
            Require(comPort, "an install's port is COM1 to COM255");
        }
    } else {
        Require(line.port.empty() && !line.autoPort, "only an install has a port");
    }

    const std::string detail = line.error.empty() && !arguments.empty() ? arguments[0] : line.error;
    const std::string logged =
        vantaro::FormatLogLine(vantaro::LogTime{}, 1, "command.line", vantaro::LogResult::Failed, 0, detail);
    Require(logged.size() >= 2 && logged.find('\n') == logged.size() - 1 && logged.find('\r') == logged.size() - 2,
            "a step is one line");
    Require(logged.size() <= 4 * vantaro::kMaxLogDetail + 200, "a line is of bounded length");
    return 0;
}
