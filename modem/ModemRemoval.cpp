#include "modem/ModemRemoval.h"

#include "modem/ModemRegistry.h"
#include "platform/TextRules.h"

namespace vantaro {

namespace {

bool Lists(const std::vector<std::string>& names, const std::string& name) {
    for (const std::string& listed : names)
        if (EqualsIgnoringAsciiCase(listed, name)) return true;
    return false;
}

} // namespace

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
