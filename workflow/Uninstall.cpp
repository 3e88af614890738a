#include "workflow/Uninstall.h"

#include "modem/InstallRecord.h"
#include "modem/ModemRemoval.h"
#include "platform/TextRules.h"
#include "settings/SettingsKeys.h"

#include <algorithm>

namespace vantaro {

namespace {

constexpr char kModemDeviceType[] = "modem";

LogResult ResultOf(const Removal& removal) {
    switch (removal.state) {
    case RemovalState::Removed: return LogResult::Done;
    case RemovalState::Failed: return LogResult::Failed;
    case RemovalState::NothingFound: break;
    }
    return LogResult::NotFound;
}

std::string ErrorText(std::uint32_t error) { return " (error " + FormatErrorCode(error) + ")."; }

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// What the run did, for its last lines and its exit code.
class Tally {
public:
    explicit Tally(std::vector<std::string>& say) : say_(say) {}

    void Removed(std::string line) {
        ++removed_;
        say_.push_back(std::move(line));
    }
    void Failed(std::string line, std::uint32_t error) {
        failed_ = true;
        refusedForRights_ = refusedForRights_ || error == kRemovalAccessDenied;
        say_.push_back(std::move(line) + ErrorText(error));
    }
    void Take(const Removal& removal, const std::string& removedLine, const std::string& failedLine) {
        if (removal.state == RemovalState::Removed) Removed(removedLine);
        if (removal.state == RemovalState::Failed) Failed(failedLine, removal.error);
    }
    void RestartNeeded(const std::string& instanceId) {
        restartNeeded_ = true;
        say_.push_back("Windows removes the modem " + instanceId + " when it restarts: restart Windows to finish.");
    }

    bool Failed() const { return failed_; }
    bool Unfinished() const { return failed_ || restartNeeded_; }
    bool NothingDone() const { return removed_ == 0 && !failed_ && !restartNeeded_; }
    ExitCode Code() const {
        return refusedForRights_ ? ExitCode::NeedsAdministrator
               : failed_         ? ExitCode::Failed
               : restartNeeded_  ? ExitCode::RestartNeeded
                                 : ExitCode::Done;
    }

private:
    std::vector<std::string>& say_;
    int removed_ = 0;
    bool failed_ = false;
    bool refusedForRights_ = false;
    bool restartNeeded_ = false;
};

// Without a record, the entry of our name goes only when it dials through a modem that goes.
bool DialsThroughOneOf(const EntryDevice& device, const std::vector<InstalledDevice>& modems) {
    // As the install picks its device: a type that starts with "modem".
    if (device.type.rfind(kModemDeviceType, 0) != 0 || device.name.empty()) return false;
    for (const InstalledDevice& modem : modems)
        if (EqualsIgnoringAsciiCase(device.name, modem.friendlyName) ||
            EqualsIgnoringAsciiCase(device.name, modem.driverDescription))
            return true;
    return false;
}

void RemoveEntries(const std::vector<std::string>& names, UninstallSteps& steps, Log& log, Tally& tally) {
    for (const std::string& name : names) {
        const Removal entry = steps.RemoveDialupEntry(name);
        log.Step("uninstall.entry", ResultOf(entry), entry.error, name);
        tally.Take(entry, "Removed the dial-up entry " + Quoted(name) + ".",
                   "Could not remove the dial-up entry " + Quoted(name));
    }
}

void RemoveEntryOfOldInstall(const std::string& name, const std::vector<InstalledDevice>& ourModems,
                             UninstallSteps& steps, Log& log, Tally& tally, std::vector<std::string>& say) {
    const std::optional<EntryDevice> device = steps.DialupEntryDevice(name);
    // Wine's service answers every name with an entry of no device.
    if (!device || (device->type.empty() && device->name.empty())) {
        log.Step("uninstall.entry", LogResult::NotFound, 0, name);
        return;
    }
    if (!DialsThroughOneOf(*device, ourModems)) {
        log.Step("uninstall.entry", LogResult::NotFound, 0, name + ": kept, it dials through " + device->name);
        say.push_back("Kept the dial-up entry " + Quoted(name) + ": it dials through " + Quoted(device->name) +
                      ", not through a modem of Vantaro's.");
        return;
    }
    RemoveEntries({name}, steps, log, tally);
}

void RemovePackages(const std::vector<std::string>& packages, const OurDriver& ours, InstalledModems& store,
                    DeviceRemover& remover, Log& log, Tally& tally, std::vector<std::string>& say) {
    for (const std::string& package : packages) {
        // The package goes only after its devices: the driver store keeps one that is in use.
        if (tally.Unfinished()) {
            log.Step("uninstall.package", LogResult::NotFound, 0, package + ": kept until its modems are gone");
            continue;
        }
        std::string why;
        const DeviceRemoval result = RemoveOurDriverPackage(package, ours, store, remover, why);
        switch (result.result) {
        case DeviceRemovalResult::Removed:
        case DeviceRemovalResult::RestartNeeded:
            log.Step("uninstall.package", LogResult::Done, 0, package);
            tally.Removed("Removed the driver package " + package + ".");
            break;
        case DeviceRemovalResult::NotThere:
            log.Step("uninstall.package", LogResult::NotFound, result.error, package + ": gone already");
            break;
        case DeviceRemovalResult::NotOurs:
            log.Step("uninstall.package", LogResult::NotFound, 0, package + ": kept, not Vantaro's: " + why);
            say.push_back("Kept the driver package " + package + ": it is not Vantaro's now (" + why + ").");
            break;
        case DeviceRemovalResult::Failed:
            log.Step("uninstall.package", LogResult::Failed, result.error, package);
            tally.Failed("Could not remove the driver package " + package, result.error);
            break;
        }
    }
}

} // namespace

UninstallInputs ReadUninstallInputs(const Profile& settings) {
    using namespace settings;
    return {settings.ReadString(kBaseSetting, kHardwareIdInInf, ""),
            settings.ReadString(kSetting, kConnectionName, kDefaultConnectionNameValue),
            {settings.ReadString(kBaseSetting, kModemInfFile, kDefaultModemInf),
             settings.ReadString(kBaseSetting, kModemInfFile64, kDefaultModemInf64)}};
}

UninstallOutcome RunUninstall(const UninstallInputs& inputs, UninstallPlatform& platform, Log& log) {
    UninstallOutcome outcome;
    std::vector<std::string>& say = outcome.messages;
    log.Step("uninstall", LogResult::Started);

    const RecordReading reading = ReadInstallRecord(platform.record);
    if (reading.state == RecordState::NotOurs || reading.state == RecordState::Unreadable) {
        log.Step("uninstall.record", LogResult::Failed, 0, reading.problem);
        say.push_back("Nothing was removed: " + reading.problem + ".");
        outcome.exitCode = ExitCode::Failed;
        log.Step("uninstall", LogResult::Failed, 0, "exit code 1");
        return outcome;
    }
    const bool recorded = reading.state == RecordState::Ours;
    const InstallRecord& record = reading.record;
    log.Step("uninstall.record", recorded ? LogResult::Done : LogResult::NotFound, 0,
             recorded ? std::to_string(record.devices.size()) + " devices" : "none: an older install");

    Tally tally(say);
    const OurDriver ours{inputs.infNames, record.driverPackages, inputs.hardwareId};
    const std::optional<std::vector<InstalledDevice>> modems = platform.modems.List();
    ChosenModems chosen;
    if (!modems) {
        log.Step("modem.list", LogResult::Failed, platform.modems.LastError());
        tally.Failed("Could not list the modems", platform.modems.LastError());
    } else {
        // What each modem's driver key says, so that the log shows why one went or stayed.
        for (const InstalledDevice& device : *modems)
            log.Step("modem.found", LogResult::Done, 0,
                     device.instanceId + ": \"" + device.driverDescription + "\" " + device.infPath + " (" +
                         device.infOriginalName + ")");
        chosen = ChooseModems(*modems, recorded ? &record.devices : nullptr, ours);
        for (const std::string& id : chosen.gone)
            log.Step("modem.remove", LogResult::NotFound, 0, id + ": gone already");
        for (const InstalledDevice& device : chosen.notOurs) {
            log.Step("modem.remove", LogResult::NotFound, 0, device.instanceId + ": kept, another driver drives it");
            say.push_back("Kept the modem " + device.instanceId + ": another driver drives it now.");
        }
    }

    // The entry first: without a record, the modems it may dial through are still there to match.
    if (recorded)
        RemoveEntries(record.dialupEntries, platform.steps, log, tally);
    else
        RemoveEntryOfOldInstall(inputs.connectionName, chosen.toRemove, platform.steps, log, tally, say);

    const ModemsRemoval removal = RemoveModems(chosen.toRemove, platform.remover, log);
    for (const InstalledDevice& device : removal.removed) {
        const bool later = std::find(removal.restartNeeded.begin(), removal.restartNeeded.end(), device.instanceId) !=
                           removal.restartNeeded.end();
        if (later)
            tally.RestartNeeded(device.instanceId);
        else
            tally.Removed("Removed the modem " + device.instanceId + ".");
    }
    for (const std::string& id : removal.failed) tally.Failed("Could not remove the modem " + id, removal.removal.error);

    RemovePackages(record.driverPackages, ours, platform.modems, platform.remover, log, tally, say);

    for (const std::string& link : record.shortcuts) {
        const Removal shortcut = platform.steps.RemoveShortcut(link);
        log.Step("uninstall.shortcut", ResultOf(shortcut), shortcut.error, link);
        tally.Take(shortcut, "Removed the desktop shortcut.", "Could not remove the desktop shortcut");
    }
    const Removal shortcut = platform.steps.RemoveDesktopShortcut();
    log.Step("uninstall.shortcut", ResultOf(shortcut), shortcut.error);
    tally.Take(shortcut, "Removed the desktop shortcut.", "Could not remove the desktop shortcut");

    // The record stays while anything it names is left, so that the next run finishes it.
    if (recorded && !tally.Unfinished()) {
        const bool deleted = DeleteInstallRecord(platform.record);
        log.Step("uninstall.record", deleted ? LogResult::Done : LogResult::Failed, 0, "deleted");
        if (!deleted) tally.Failed("Could not delete the install record HKLM\\" + std::string(kInstallRecordKey),
                                   kRemovalAccessDenied);
    }

    if (tally.NothingDone() && say.empty())
        say.push_back(recorded ? std::string("Nothing to remove: what the install record names is gone already.")
                               : "Nothing to remove: no modem of Vantaro's, no dial-up entry " +
                                     Quoted(inputs.connectionName) + " through one, no desktop shortcut.");
    if (tally.Code() == ExitCode::NeedsAdministrator)
        say.push_back("Windows refused for want of rights: run Vantaro as administrator.");

    outcome.exitCode = tally.Code();
    log.Step("uninstall", tally.Failed() ? LogResult::Failed : LogResult::Done, 0,
             "exit code " + std::to_string(static_cast<int>(outcome.exitCode)));
    return outcome;
}

} // namespace vantaro
