#include "pnpagent64/AgentCommand.h"

#include "modem/InfCheck.h"
#include "modem/PnpAgentCommand.h"
#include "platform/TextRules.h"

#include <cstdio>

namespace vantaro::pnpagent {

namespace {

AgentResult NotInstalled(std::string line) { return AgentResult{kExitNotInstalled, std::move(line)}; }

std::string ErrorCode(std::uint32_t error) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(error));
    return text;
}

// The INF's folder with its separator, as the names beside it are joined to it.
std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

} // namespace

std::string UsageLine() {
    return std::string("usage: ") + kPnpAgentFileName + " " + kPnpAgentVerb + " <hardware id> \"<INF path>\" | " +
           kPnpAgentRemoveDeviceVerb + " \"<instance id>\" | " + kPnpAgentRemoveDriverPackageVerb + " <oemNN.inf>";
}

std::optional<AgentResult> RunRemoval(const std::vector<std::string>& arguments, DeviceRemover& remover) {
    if (arguments.empty()) return std::nullopt;
    const bool device = arguments[0] == kPnpAgentRemoveDeviceVerb;
    if (!device && arguments[0] != kPnpAgentRemoveDriverPackageVerb) return std::nullopt;
    if (arguments.size() != 2 || arguments[1].empty() || arguments[1].size() > kMaxHardwareId)
        return AgentResult{kAgentNotRemoved, UsageLine()};
    const std::string& what = arguments[1];
    const std::string name = (device ? "the device " : "the driver package ") + what;
    const DeviceRemoval removal = device ? remover.RemoveDevice(what) : remover.RemoveDriverPackage(what);
    switch (removal.result) {
    case DeviceRemovalResult::Removed: return AgentResult{kAgentRemoved, "Removed " + name + "."};
    case DeviceRemovalResult::RestartNeeded:
        return AgentResult{kAgentRemovedAtRestart, "Windows removes " + name + " when it restarts."};
    case DeviceRemovalResult::NotThere: return AgentResult{kAgentNothingThere, "There is no " + name.substr(4) + "."};
    case DeviceRemovalResult::NotOurs:  // only the uninstall asks whose a package is
    case DeviceRemovalResult::Failed: break;
    }
    return AgentResult{kAgentNotRemoved, "Not removed: " + name + ", error " + ErrorCode(removal.error) + "."};
}

bool MultiStringLists(const std::string& multiString, const std::string& id) {
    std::size_t start = 0;
    while (start < multiString.size()) {
        std::size_t end = multiString.find('\0', start);
        if (end == std::string::npos) end = multiString.size();
        if (end == start) break;  // the empty entry ends the list
        if (EqualsIgnoringAsciiCase(std::string_view(multiString).substr(start, end - start), id)) return true;
        start = end + 1;
    }
    return false;
}

AgentResult RunAgent(const std::vector<std::string>& arguments, DriverInstaller& installer) {
    if (arguments.size() != 3 || arguments[0] != kPnpAgentVerb) return NotInstalled(UsageLine());
    const std::string& id = arguments[1];
    const std::string& inf = arguments[2];

    if (id.empty()) return NotInstalled("Not installed: the hardware id is empty.");
    if (id.size() > kMaxHardwareId)
        return NotInstalled("Not installed: the hardware id is longer than " + std::to_string(kMaxHardwareId) +
                            " characters.");
    if (inf.size() > kMaxInfPath)
        return NotInstalled("Not installed: the INF path is longer than " + std::to_string(kMaxInfPath) +
                            " characters.");
    if (inf.empty() || !installer.FileExists(inf)) return NotInstalled("Not installed: there is no INF file \"" + inf + "\".");

    std::string bytes;
    InfCheckInput check{inf, std::nullopt, id, InfPlatform::Amd64,
                        [&](const std::string& besideInf) { return installer.FileExists(FolderOf(inf) + besideInf); },
                        installer.Windows()};
    if (installer.ReadInf(inf, bytes)) check.bytes = std::move(bytes);
    if (const std::optional<InfProblem> problem = CheckModemInf(check))
        return NotInstalled("Not installed: " + InfProblemText(*problem, nullptr));

    const DeviceMatch match = installer.MatchDevices(id, inf);
    if (match.devices == 0) return NotInstalled("Not installed: no device has the hardware id " + id + ".");
    if (match.withDriver == 0)
        return NotInstalled("Not installed: \"" + inf + "\" has no driver for the hardware id " + id + ".");

    bool restartNeeded = false;
    std::uint32_t error = 0;
    if (!installer.UpdateDriver(id, inf, restartNeeded, error))
        return NotInstalled("Not installed: UpdateDriverForPlugAndPlayDevices failed for " + id + " from \"" + inf +
                            "\" with error " + ErrorCode(error) + ".");

    std::string line = "Installed the driver for " + id + " from \"" + inf + "\".";
    if (restartNeeded) line += " Windows must be restarted to finish.";
    return AgentResult{kExitInstalled, line};
}

} // namespace vantaro::pnpagent
