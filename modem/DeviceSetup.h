#pragma once
// Device installation as the modem installer uses it: the device class an INF file names, a
// device information set with new device elements, their hardware id, registration and driver
// key, removal through the class installer, and the driver update from an INF file.
// Windows implements it with SetupAPI and newdev (modem/win32/Win32DeviceSetup.h).

#include "modem/Registry.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace vantaro {

// The class name is at most 31 characters: the platform reads it into 32 bytes.
inline constexpr std::size_t kClassNameBuffer = 32;

struct DeviceClass {
    std::array<std::uint8_t, 16> guid{};  // the GUID's bytes as the platform lays them out
    std::string name;
};

// A device element of one set, by its position in the set.
struct DeviceElement {
    std::size_t index = 0;
};

// Destroying the set destroys the platform's device information set and its elements (a
// registered device stays registered).
class DeviceInfoSet {
public:
    DeviceInfoSet() = default;
    DeviceInfoSet(const DeviceInfoSet&) = delete;
    DeviceInfoSet& operator=(const DeviceInfoSet&) = delete;
    virtual ~DeviceInfoSet() = default;

    // A new element of the class, named by the class name, with an id the platform generates.
    virtual std::optional<DeviceElement> CreateDeviceInfo(const DeviceClass& deviceClass) = 0;
    // The hardware-id property; `multiString` holds every byte handed over, both final NULs included.
    virtual bool SetHardwareId(DeviceElement device, const std::string& multiString) = 0;
    virtual bool RegisterDeviceInfo(DeviceElement device) = 0;
    // The device's driver key (global, current hardware profile), with full access; null when
    // it does not open.
    virtual std::unique_ptr<RegistryKey> OpenDriverKey(DeviceElement device) = 0;
    // Creates the driver key (no INF section); null when it cannot be created.
    virtual std::unique_ptr<RegistryKey> CreateDriverKey(DeviceElement device) = 0;
    // Removes the device through its class installer; the outcome is not reported.
    virtual void RemoveDevice(DeviceElement device) = 0;
    // The device's instance id (ROOT\MODEM\0000); empty when it does not read.
    virtual std::string InstanceId(DeviceElement device) = 0;
    // The platform's error code of the set's most recent failed call.
    virtual std::uint32_t LastError() const = 0;
};

class DeviceSetup {
public:
    DeviceSetup() = default;
    DeviceSetup(const DeviceSetup&) = delete;
    DeviceSetup& operator=(const DeviceSetup&) = delete;
    virtual ~DeviceSetup() = default;

    // The class GUID and name that the INF file names; false when it names none.
    virtual bool GetInfClass(const std::string& infPath, DeviceClass& deviceClass) = 0;
    // Null when the platform refuses a set.
    virtual std::unique_ptr<DeviceInfoSet> CreateDeviceInfoList(const DeviceClass& deviceClass) = 0;
    // Installs, forcing it, the driver for every device with that hardware id from that INF.
    virtual bool UpdateDriverForPlugAndPlayDevices(const std::string& hardwareId, const std::string& infPath) = 0;
    // The platform's error code of the most recent failed call made here.
    virtual std::uint32_t LastError() const = 0;
};

} // namespace vantaro
