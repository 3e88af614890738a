#include "app/Uninstall.h"

#include "settings/SettingsKeys.h"

namespace vantaro {

namespace {

LogResult ResultOf(const Removal& removal) {
    switch (removal.state) {
    case RemovalState::Removed: return LogResult::Done;
    case RemovalState::Failed: return LogResult::Failed;
    case RemovalState::NothingFound: break;
    }
    return LogResult::NotFound;
}

std::string ErrorText(const Removal& removal) { return " (error " + FormatErrorCode(removal.error) + ")."; }

} // namespace

UninstallInputs ReadUninstallInputs(const Profile& settings) {
    using namespace settings;
    return {settings.ReadString(kBaseSetting, kHardwareIdInInf, ""),
            settings.ReadString(kSetting, kConnectionName, kDefaultConnectionNameValue)};
}

UninstallOutcome RunUninstall(const UninstallInputs& inputs, UninstallSteps& steps, Log& log) {
    UninstallOutcome outcome;
    std::vector<std::string>& say = outcome.messages;
    log.Step("uninstall", LogResult::Started);
    const std::string entryName = "\"" + inputs.connectionName + "\"";

    // The entry first: it names the modem that goes next.
    const Removal entry = steps.RemoveDialupEntry(inputs.connectionName);
    log.Step("uninstall.entry", ResultOf(entry), entry.error, inputs.connectionName);
    if (entry.state == RemovalState::Removed) say.push_back("Removed the dial-up entry " + entryName + ".");
    if (entry.state == RemovalState::Failed)
        say.push_back("Could not remove the dial-up entry " + entryName + ErrorText(entry));

    Removal modems;
    if (inputs.hardwareId.empty()) {
        log.Step("uninstall.modems", LogResult::Failed, 0, "no hardware id in Setting.ini");
        say.push_back("Setting.ini names no hardware id (hardwareid_in_inf in [BaseSetting]): no modem was removed.");
    } else {
        modems = steps.RemoveModems(inputs.hardwareId);
        log.Step("uninstall.modems", ResultOf(modems), modems.error,
                 inputs.hardwareId + ": " + std::to_string(modems.removed) + " removed");
        if (modems.removed == 1) say.push_back("Removed the modem with the hardware id " + inputs.hardwareId + ".");
        if (modems.removed > 1)
            say.push_back("Removed " + std::to_string(modems.removed) + " modems with the hardware id " +
                          inputs.hardwareId + ".");
        if (modems.state == RemovalState::Failed)
            say.push_back("Could not remove every modem with the hardware id " + inputs.hardwareId + ErrorText(modems));
    }

    const Removal shortcut = steps.RemoveDesktopShortcut();
    log.Step("uninstall.shortcut", ResultOf(shortcut), shortcut.error);
    if (shortcut.state == RemovalState::Removed) say.push_back("Removed the desktop shortcut.");
    if (shortcut.state == RemovalState::Failed) say.push_back("Could not remove the desktop shortcut" + ErrorText(shortcut));

    const Removal* all[] = {&entry, &modems, &shortcut};
    bool failed = inputs.hardwareId.empty();
    bool refusedForRights = false;
    bool removedAny = false;
    for (const Removal* removal : all) {
        failed = failed || removal->state == RemovalState::Failed;
        refusedForRights = refusedForRights ||
                           (removal->state == RemovalState::Failed && removal->error == kRemovalAccessDenied);
        removedAny = removedAny || removal->removed > 0;
    }
    if (!failed && !removedAny)
        say.push_back("Nothing to remove: no dial-up entry " + entryName + ", no modem with the hardware id " +
                      inputs.hardwareId + ", no desktop shortcut.");
    if (refusedForRights) say.push_back("Windows refused for want of rights: run Vantaro as administrator.");

    outcome.exitCode = refusedForRights ? ExitCode::NeedsAdministrator : failed ? ExitCode::Failed : ExitCode::Done;
    log.Step("uninstall", failed ? LogResult::Failed : LogResult::Done, 0,
             "exit code " + std::to_string(static_cast<int>(outcome.exitCode)));
    return outcome;
}

} // namespace vantaro
