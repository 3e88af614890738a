#pragma once
// The configuration manager (CfgMgr32) and the registry behind DeviceNodes.

#include "modemnode/DeviceNodes.h"

namespace modemnode {

class Win32DeviceNodes final : public DeviceNodes {
public:
    std::optional<DeviceNode> LocateRoot() override;
    std::optional<DeviceNode> Locate(const std::string& instanceId) override;
    CreateNodeResult Create(const std::string& instanceId, DeviceNode parent, DeviceNode& node) override;
    bool SetDeviceDescription(DeviceNode node, std::string_view stored) override;
    bool WriteHardwareKeyString(DeviceNode node, const std::string& name, std::string_view stored) override;
};

} // namespace modemnode
