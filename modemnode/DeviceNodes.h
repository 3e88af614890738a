#pragma once
// What modemnode asks of the configuration manager and the registry, and nothing more.
// The Windows implementation is win32/Win32DeviceNodes (CfgMgr32); tests use a fake.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace modemnode {

// A device node handle of the configuration manager (a DEVINST).
using DeviceNode = std::uint32_t;

enum class CreateNodeResult { Created, AlreadyExists, Refused };

class DeviceNodes {
public:
    DeviceNodes() = default;
    DeviceNodes(const DeviceNodes&) = delete;
    DeviceNodes& operator=(const DeviceNodes&) = delete;
    virtual ~DeviceNodes() = default;

    // The root of the device tree.
    virtual std::optional<DeviceNode> LocateRoot() = 0;
    // A present node by its instance id.
    virtual std::optional<DeviceNode> Locate(const std::string& instanceId) = 0;
    // A new node under `parent`, not waiting for its installation; `node` is set when Created.
    virtual CreateNodeResult Create(const std::string& instanceId, DeviceNode parent, DeviceNode& node) = 0;
    // Strings are handed over as the bytes stored: the text and its terminating NUL, which the
    // size given to the platform must count.
    virtual bool SetDeviceDescription(DeviceNode node, std::string_view stored) = 0;
    // Opens the node's existing hardware key with full access, writes a REG_SZ value of exactly
    // the bytes `stored` and closes the key.
    virtual bool WriteHardwareKeyString(DeviceNode node, const std::string& name, std::string_view stored) = 0;
};

} // namespace modemnode
