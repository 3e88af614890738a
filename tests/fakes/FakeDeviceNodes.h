#pragma once
// A device tree in memory for modemnode: nodes by instance id, their description bytes and
// hardware key values, each as the bytes handed over. Every call is logged; each step can be
// made to fail.

#include "modemnode/DeviceNodes.h"

#include <map>
#include <string>
#include <vector>

namespace modemnode::testing {

class FakeDeviceNodes final : public DeviceNodes {
public:
    static constexpr DeviceNode kRoot = 1;

    struct Node {
        std::string description;
        std::map<std::string, std::string> hardwareKey;
        int descriptionWrites = 0;
        int hardwareKeyWrites = 0;
    };

    std::optional<DeviceNode> LocateRoot() override {
        calls.push_back("LocateRoot");
        if (!rootFound) return std::nullopt;
        return kRoot;
    }
    std::optional<DeviceNode> Locate(const std::string& instanceId) override {
        calls.push_back("Locate " + instanceId);
        auto found = ids.find(instanceId);
        if (found == ids.end() || !locateFinds) return std::nullopt;
        return found->second;
    }
    CreateNodeResult Create(const std::string& instanceId, DeviceNode parent, DeviceNode& node) override {
        calls.push_back("Create " + instanceId + " under " + std::to_string(parent));
        if (ids.count(instanceId)) return CreateNodeResult::AlreadyExists;
        if (refuseCreation) return CreateNodeResult::Refused;
        node = AddNode(instanceId);
        return CreateNodeResult::Created;
    }
    bool SetDeviceDescription(DeviceNode node, std::string_view description) override {
        calls.push_back("SetDeviceDescription " + std::to_string(node));
        if (failDescription || !nodes.count(node)) return false;
        nodes[node].description = std::string(description);
        ++nodes[node].descriptionWrites;
        return true;
    }
    bool WriteHardwareKeyString(DeviceNode node, const std::string& name, std::string_view value) override {
        calls.push_back("WriteHardwareKeyString " + std::to_string(node) + " " + name);
        if (failHardwareKey || !nodes.count(node)) return false;
        nodes[node].hardwareKey[name] = std::string(value);
        ++nodes[node].hardwareKeyWrites;
        return true;
    }

    DeviceNode AddNode(const std::string& instanceId) {
        const DeviceNode node = nextNode++;
        ids[instanceId] = node;
        nodes[node];
        return node;
    }
    const Node& NodeOf(const std::string& instanceId) { return nodes.at(ids.at(instanceId)); }

    bool rootFound = true;
    bool refuseCreation = false;
    bool locateFinds = true;
    bool failDescription = false;
    bool failHardwareKey = false;

    std::vector<std::string> calls;
    std::map<std::string, DeviceNode> ids;
    std::map<DeviceNode, Node> nodes;
    DeviceNode nextNode = 100;
};

} // namespace modemnode::testing
