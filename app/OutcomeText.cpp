#include "app/OutcomeText.h"

namespace vantaro {

std::string ComposeOutcomeText(int modalResult, int modemInstalled, int connectionCreated,
                               const std::string& portName, const std::string& connectionName) {
    // Only the install sequence ends the Settings dialog with OK, and only after a failure or
    // with its flags set; every other way out is the user leaving.
    if (modalResult != kModalOk) return "The Installation is canceled.";
    if (modemInstalled == 0) return "Fail to install the modem on " + portName + ".";
    if (connectionCreated == 0) return "Fail to create the Internet Connection.";
    return "The Internet Connection \"" + connectionName + "\" is created successfully!";
}

} // namespace vantaro
