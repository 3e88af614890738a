#pragma once
// Which modems an uninstall removes, and their removal. With an install record, the devices it
// names; without one (an install by a Vantaro that kept none), every modem that our INF's model
// drives. Either way never a device that someone else's driver drives. Each device is tried
// even when an earlier one was refused, so a second run has only the refused ones left to do.

#include "log/Log.h"
#include "modem/DeviceRemoval.h"
#include "modem/InstalledModems.h"
#include "platform/Removal.h"

#include <optional>
#include <string>
#include <vector>

namespace vantaro {

// True when one of the device's hardware ids is `hardwareId`, whatever the letter case (the
// platform matches hardware ids so).
bool HasHardwareId(const InstalledDevice& device, const std::string& hardwareId);

// How our driver is told from anyone else's.
struct OurDriver {
    std::vector<std::string> infNames;  // the names our INF ships under (modem_inf.inf, modem_inf64.inf)
    std::vector<std::string> packages;  // the driver store's names of it that the record holds
    std::string hardwareId;             // Setting.ini's: only where the platform keeps no InfPath
};

// Our INF's model drives the device: its driver key says DriverDesc "ZOR GPRS Modem" and names
// our INF in InfPath (a recorded package, or a copy whose original name is one of ours: Windows
// names the copy oemNN.inf, Wine keeps the INF's own name). Where the platform keeps no InfPath
// at all, the hardware id stands in for the INF.
bool DrivenByOurDriver(const InstalledDevice& device, const OurDriver& ours);

struct ChosenModems {
    std::vector<InstalledDevice> toRemove;
    std::vector<std::string> gone;          // recorded, no longer there
    std::vector<InstalledDevice> notOurs;   // recorded, but another driver drives it now
};

// `recorded` null: there is no record.
ChosenModems ChooseModems(const std::vector<InstalledDevice>& modems, const std::vector<std::string>* recorded,
                          const OurDriver& ours);

struct ModemsRemoval {
    Removal removal;                        // Failed with the first failure's error code
    std::vector<InstalledDevice> removed;   // gone now, or at the next restart
    std::vector<std::string> restartNeeded;
    std::vector<std::string> failed;
};

ModemsRemoval RemoveModems(const std::vector<InstalledDevice>& chosen, DeviceRemover& remover, Log& log);

// Whether a driver store package is ours: its INF had one of our INF names before the store
// copied it, and it lists our hardware id. The store hands a freed oemNN.inf number to the next
// package it takes, so a recorded name alone may by now be another maker's driver. Nothing when
// it is ours; else why not, in plain words.
std::optional<std::string> WhyNotOurPackage(const DriverPackage& package, const OurDriver& ours);

// The package named in the install record, removed only when it is still ours: NotOurs, with
// the reason in `why`, when it is not.
DeviceRemoval RemoveOurDriverPackage(const std::string& infName, const OurDriver& ours, InstalledModems& store,
                                     DeviceRemover& remover, std::string& why);

} // namespace vantaro
