#include "modem/ModemRemoval.h"

#include "platform/TextRules.h"

namespace vantaro {

bool HasHardwareId(const InstalledDevice& device, const std::string& hardwareId) {
    for (const std::string& id : device.hardwareIds)
        if (EqualsIgnoringAsciiCase(id, hardwareId)) return true;
    return false;
}

Removal RemoveModems(InstalledModems& modems, const std::string& hardwareId, Log& log) {
    if (hardwareId.empty()) return {};
    const std::optional<std::vector<InstalledDevice>> devices = modems.List();
    if (!devices) {
        log.Step("modem.list", LogResult::Failed, modems.LastError(), hardwareId);
        return {RemovalState::Failed, modems.LastError(), 0};
    }
    Removal removal;
    for (const InstalledDevice& device : *devices) {
        if (!HasHardwareId(device, hardwareId)) continue;
        if (modems.Remove(device)) {
            log.Step("modem.remove", LogResult::Done, 0, device.instanceId);
            ++removal.removed;
            continue;
        }
        const std::uint32_t error = modems.LastError();
        log.Step("modem.remove", LogResult::Failed, error, device.instanceId);
        if (removal.state != RemovalState::Failed) removal = {RemovalState::Failed, error, removal.removed};
    }
    if (removal.state != RemovalState::Failed && removal.removed > 0) removal.state = RemovalState::Removed;
    if (removal.state == RemovalState::NothingFound)
        log.Step("modem.remove", LogResult::NotFound, 0, hardwareId);
    return removal;
}

} // namespace vantaro
