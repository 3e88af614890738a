#pragma once
// The modem's registry configuration: after the driver is installed, every driver key of the
// modem class that describes our modem gets the COM port, the port speed and the init string.
// Before that the registry keys of root-enumerated modem instances are deleted where the
// platform lets us (it deletes only keys without sub-keys; nothing relies on it).

#include "modem/Registry.h"

#include <string>

namespace vantaro {

inline constexpr char kRootModemKey[] = "SYSTEM\\CurrentControlSet\\Enum\\Root\\MODEM";
inline constexpr char kModemClassKey[] =
    "SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E96D-E325-11CE-BFC1-08002BE10318}";
inline constexpr char kModemClassGuid[] = "{4D36E96D-E325-11CE-BFC1-08002BE10318}";
inline constexpr char kModemDriverDesc[] = "ZOR GPRS Modem";
inline constexpr char kModemConfigDialog[] = "modemui.dll";

// Instance and driver keys are numbered 0000, 0001, ... 9999; a walk never goes past these.
inline constexpr unsigned kMaxNumberedKeys = 10000;

// parent\NNNN: the index in four decimal digits.
std::string NumberedSubKey(const std::string& parent, unsigned index);

// True when the driver keys were walked; false when the Root\MODEM key does not open for
// reading or the modem class key does not open with full access (then nothing is written).
// The speed is stored as the number atoi reads from it.
bool ConfigureModemRegistry(Registry& registry, const std::string& portName, const std::string& speed,
                            const std::string& initString);

} // namespace vantaro
