#include "modem/ModemRemoval.h"

#include "modem/InfFile.h"
#include "modem/ModemRegistry.h"
#include "platform/TextRules.h"

namespace vantaro {

namespace {

bool Lists(const std::vector<std::string>& names, const std::string& name) {
    for (const std::string& listed : names)
        if (EqualsIgnoringAsciiCase(listed, name)) return true;
    return false;
}

// Whether a model line of any models section that [Manufacturer] names (undecorated or with any
// of its decorations) lists the hardware id among its hardware and compatible ids.
bool InfListsHardwareId(const InfFile& inf, const std::string& hardwareId) {
    for (const InfLine& maker : inf.Lines("Manufacturer")) {
        if (maker.fields.empty() || maker.fields[0].empty()) continue;
        std::vector<std::string> sections = {maker.fields[0]};
        for (std::size_t i = 1; i < maker.fields.size(); ++i)
            if (!maker.fields[i].empty()) sections.push_back(maker.fields[0] + "." + maker.fields[i]);
        for (const std::string& section : sections)
            for (const InfLine& model : inf.Lines(section))
                for (std::size_t i = 1; i < model.fields.size(); ++i)
                    if (EqualsIgnoringAsciiCase(model.fields[i], hardwareId)) return true;
    }
    return false;
}

} // namespace

std::optional<std::string> WhyNotOurPackage(const DriverPackage& package, const OurDriver& ours) {
    if (package.originalName.empty()) return std::string("Windows does not say which INF it was copied from");
    if (!Lists(ours.infNames, package.originalName))
        return "it was copied from " + package.originalName + ", not from an INF of Vantaro's";
    if (!package.text) return std::string("it cannot be read");
    if (ours.hardwareId.empty()) return std::string("Setting.ini names no hardware id to look for in it");
    if (!InfListsHardwareId(InfFile(*package.text), ours.hardwareId))
        return "it has no model for the hardware id " + ours.hardwareId;
    return std::nullopt;
}

DeviceRemoval RemoveOurDriverPackage(const std::string& infName, const OurDriver& ours, InstalledModems& store,
                                     DeviceRemover& remover, std::string& why) {
    // A package that is not there is the removal's to report: it says so in its own way.
    if (const std::optional<DriverPackage> package = store.ReadDriverPackage(infName)) {
        if (std::optional<std::string> notOurs = WhyNotOurPackage(*package, ours)) {
            why = std::move(*notOurs);
            return {DeviceRemovalResult::NotOurs, 0};
        }
    }
    return remover.RemoveDriverPackage(infName);
}

bool HasHardwareId(const InstalledDevice& device, const std::string& hardwareId) {
    for (const std::string& id : device.hardwareIds)
        if (EqualsIgnoringAsciiCase(id, hardwareId)) return true;
    return false;
}

bool DrivenByOurDriver(const InstalledDevice& device, const OurDriver& ours) {
    if (device.driverDescription != kModemDriverDesc) return false;
    if (device.infPath.empty()) return !ours.hardwareId.empty() && HasHardwareId(device, ours.hardwareId);
    return Lists(ours.packages, device.infPath) || Lists(ours.infNames, device.infOriginalName);
}

ChosenModems ChooseModems(const std::vector<InstalledDevice>& modems, const std::vector<std::string>* recorded,
                          const OurDriver& ours) {
    ChosenModems chosen;
    if (!recorded) {
        for (const InstalledDevice& device : modems)
            if (DrivenByOurDriver(device, ours)) chosen.toRemove.push_back(device);
        return chosen;
    }
    for (const std::string& id : *recorded) {
        const InstalledDevice* found = nullptr;
        for (const InstalledDevice& device : modems)
            if (EqualsIgnoringAsciiCase(device.instanceId, id)) found = &device;
        if (!found)
            chosen.gone.push_back(id);
        else if (DrivenByOurDriver(*found, ours))
            chosen.toRemove.push_back(*found);
        else
            chosen.notOurs.push_back(*found);  // the platform gave its id to another device since
    }
    return chosen;
}

ModemsRemoval RemoveModems(const std::vector<InstalledDevice>& chosen, DeviceRemover& remover, Log& log) {
    ModemsRemoval outcome;
    Removal& removal = outcome.removal;
    for (const InstalledDevice& device : chosen) {
        const DeviceRemoval result = remover.RemoveDevice(device.instanceId);
        switch (result.result) {
        case DeviceRemovalResult::Removed:
            log.Step("modem.remove", LogResult::Done, 0, device.instanceId);
            outcome.removed.push_back(device);
            ++removal.removed;
            break;
        case DeviceRemovalResult::RestartNeeded:
            log.Step("modem.remove", LogResult::Done, 0, device.instanceId + ": restart needed");
            outcome.removed.push_back(device);
            outcome.restartNeeded.push_back(device.instanceId);
            break;
        case DeviceRemovalResult::NotThere:
        case DeviceRemovalResult::NotOurs:  // a device removal never answers so
            log.Step("modem.remove", LogResult::NotFound, result.error, device.instanceId + ": gone already");
            break;
        case DeviceRemovalResult::Failed:
            log.Step("modem.remove", LogResult::Failed, result.error, device.instanceId);
            outcome.failed.push_back(device.instanceId);
            if (removal.state != RemovalState::Failed) removal = {RemovalState::Failed, result.error, removal.removed};
            break;
        }
    }
    if (removal.state != RemovalState::Failed && removal.removed > 0) removal.state = RemovalState::Removed;
    return outcome;
}

} // namespace vantaro
