#pragma once
// Removes what an install made of the modem: every device of the modem class that carries the
// hardware id of Setting.ini, and nothing else. Each device is tried even when an earlier one
// was refused, so a second run has only the refused ones left to do.

#include "log/Log.h"
#include "modem/InstalledModems.h"
#include "platform/Removal.h"

#include <string>

namespace vantaro {

// True when one of the device's hardware ids is `hardwareId`, whatever the letter case (the
// platform matches hardware ids so).
bool HasHardwareId(const InstalledDevice& device, const std::string& hardwareId);

// Failed (with the first failure's error code) when the list was refused or a removal failed;
// Removed when at least one device went; NothingFound otherwise, an empty hardware id included.
Removal RemoveModems(InstalledModems& modems, const std::string& hardwareId, Log& log);

} // namespace vantaro
