#include "modemnode/RootModemNode.h"

namespace modemnode {

namespace {

// A string value as the registry stores it: the text and its terminating NUL.
std::string StoredString(std::string_view text) { return std::string(text) + '\0'; }

} // namespace

std::optional<std::string> BuildInstanceId(const std::string& classSegment, const std::string& portName) {
    std::string id = "Root\\" + classSegment + "\\" + portName;
    if (id.size() > kMaxInstanceIdLength) return std::nullopt;
    return id;
}

bool CreateRootModemNode(DeviceNodes& nodes, const std::string& classSegment, const std::string& portName) {
    const std::optional<std::string> instanceId = BuildInstanceId(classSegment, portName);
    if (!instanceId) return false;
    const std::optional<DeviceNode> root = nodes.LocateRoot();
    if (!root) return false;

    DeviceNode node = 0;
    switch (nodes.Create(*instanceId, *root, node)) {
    case CreateNodeResult::Created:
        break;
    case CreateNodeResult::AlreadyExists: {
        // A run before this one made the node: take it again and write its values anew.
        const std::optional<DeviceNode> existing = nodes.Locate(*instanceId);
        if (!existing) return false;
        node = *existing;
        break;
    }
    case CreateNodeResult::Refused:
        return false;
    }

    // Both values are written even when the first one fails; the result says whether both held.
    const bool described = nodes.SetDeviceDescription(node, StoredString(kDeviceDescription));
    const bool attached =
        nodes.WriteHardwareKeyString(node, vantaro::registry_value::kAttachedTo, StoredString(portName));
    return described && attached;
}

int RunModemNode(const std::vector<std::string>& arguments, DeviceNodes& nodes, std::string& output) {
    // An id that would not fit its buffer is a wrong command line as well; nothing is created.
    if (arguments.size() != 2 || !BuildInstanceId(arguments[0], arguments[1])) {
        output.append(kWrongArgument);
        return kExitUsage;
    }
    return CreateRootModemNode(nodes, arguments[0], arguments[1]) ? kExitSuccess : kExitFailure;
}

} // namespace modemnode
