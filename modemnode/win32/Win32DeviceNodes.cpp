#include "modemnode/win32/Win32DeviceNodes.h"

#include "platform/win32/UniqueHandle.h"

#include <windows.h>
#include <cfgmgr32.h>

#include <type_traits>

namespace modemnode {
namespace {

static_assert(std::is_same_v<DEVINST, DWORD> && sizeof(DeviceNode) == sizeof(DEVINST));

// The configuration manager takes the id as a non-const pointer but does not write to it.
DEVINSTID_A IdArgument(const std::string& instanceId) {
    return const_cast<DEVINSTID_A>(instanceId.c_str());
}

} // namespace

std::optional<DeviceNode> Win32DeviceNodes::LocateRoot() {
    DEVINST root = 0;
    if (::CM_Locate_DevNodeA(&root, nullptr, CM_LOCATE_DEVNODE_NORMAL) != CR_SUCCESS) return std::nullopt;
    return root;
}

std::optional<DeviceNode> Win32DeviceNodes::Locate(const std::string& instanceId) {
    DEVINST node = 0;
    if (::CM_Locate_DevNodeA(&node, IdArgument(instanceId), CM_LOCATE_DEVNODE_NORMAL) != CR_SUCCESS) {
        return std::nullopt;
    }
    return node;
}

CreateNodeResult Win32DeviceNodes::Create(const std::string& instanceId, DeviceNode parent, DeviceNode& node) {
    DEVINST created = 0;
    switch (::CM_Create_DevNodeA(&created, IdArgument(instanceId), parent, CM_CREATE_DEVNODE_NO_WAIT_INSTALL)) {
    case CR_SUCCESS:
        node = created;
        return CreateNodeResult::Created;
    case CR_ALREADY_SUCH_DEVNODE:
        return CreateNodeResult::AlreadyExists;
    default:
        return CreateNodeResult::Refused;
    }
}

bool Win32DeviceNodes::SetDeviceDescription(DeviceNode node, std::string_view stored) {
    return ::CM_Set_DevNode_Registry_PropertyA(node, CM_DRP_DEVICEDESC, stored.data(),
                                               static_cast<ULONG>(stored.size()), 0) == CR_SUCCESS;
}

bool Win32DeviceNodes::WriteHardwareKeyString(DeviceNode node, const std::string& name, std::string_view stored) {
    vantaro::UniqueHkey key;
    if (::CM_Open_DevNode_Key(node, KEY_ALL_ACCESS, 0, RegDisposition_OpenExisting, key.put(),
                              CM_REGISTRY_HARDWARE) != CR_SUCCESS || !key) {
        // A configuration manager that reports success without a key has not opened one.
        return false;
    }
    return ::RegSetValueExA(key.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(stored.data()),
                            static_cast<DWORD>(stored.size())) == ERROR_SUCCESS;
}

} // namespace modemnode
