#include "modem/DeviceRemoval.h"

#include "modem/PnpAgentCommand.h"
#include "platform/PlatformCodes.h"
#include "platform/TextRules.h"

namespace vantaro {

RemovalRoute ChooseRemovalRoute(bool runningUnderWow64) {
    return runningUnderWow64 ? RemovalRoute::ThroughHelper : RemovalRoute::InProcess;
}

bool IsInfFileName(const std::string& name) {
    constexpr std::string_view kSuffix = ".inf";
    if (name.size() <= kSuffix.size() || name.find_first_of("\\/:") != std::string::npos) return false;
    if (name.find("..") != std::string::npos) return false;
    return EqualsIgnoringAsciiCase(std::string_view(name).substr(name.size() - kSuffix.size()), kSuffix);
}

DeviceRemoval RemovalFromAgent(const ProcessOutcome& outcome) {
    if (outcome.state != ProcessOutcome::State::Exited) return {DeviceRemovalResult::Failed, 0};
    switch (outcome.exitCode) {
    case kAgentRemoved: return {DeviceRemovalResult::Removed, 0};
    case kAgentRemovedAtRestart: return {DeviceRemovalResult::RestartNeeded, 0};
    case kAgentNothingThere: return {DeviceRemovalResult::NotThere, 0};
    default: break;
    }
    return {DeviceRemovalResult::Failed, 0};
}

DeviceRemoval AgentDeviceRemover::RemoveDevice(const std::string& instanceId) {
    return Run(kPnpAgentRemoveDeviceVerb, instanceId);
}

DeviceRemoval AgentDeviceRemover::RemoveDriverPackage(const std::string& infName) {
    if (!IsInfFileName(infName)) return {DeviceRemovalResult::Failed, platform_code::kErrorInvalidParameter};
    return Run(kPnpAgentRemoveDriverPackageVerb, infName);
}

DeviceRemoval AgentDeviceRemover::Run(const char* verb, const std::string& what) {
    const std::optional<std::string> commandLine = BuildPnpAgentRemovalCommandLine(verb, what);
    // Only the helper beside the program, as for the driver update.
    if (!commandLine || programFolder_.empty())
        return {DeviceRemovalResult::Failed, platform_code::kErrorInvalidParameter};
    return RemovalFromAgent(processes_.RunAndWait(programFolder_ + "\\" + kPnpAgentFileName, *commandLine));
}

} // namespace vantaro
