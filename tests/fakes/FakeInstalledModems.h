#pragma once
// The modem class's devices in memory, and their removal: the list can be refused, a removal
// can be answered as the test says (by instance id), and every removal is recorded. The driver
// store's packages are copies of our modem INF unless the test says otherwise.

#include "modem/DeviceRemoval.h"
#include "modem/InstalledModems.h"
#include "fakes/ModemInfText.h"

#include <map>

namespace vantaro::testing {

class FakeInstalledModems final : public InstalledModems, public DeviceRemover {
public:
    std::optional<std::vector<InstalledDevice>> List() override {
        ++lists;
        if (listError != 0) {
            lastError = listError;
            return std::nullopt;
        }
        std::vector<InstalledDevice> listed = devices;
        for (std::size_t i = 0; i < listed.size(); ++i) listed[i].index = i;
        return listed;
    }
    std::uint32_t LastError() const override { return lastError; }
    std::optional<DriverPackage> ReadDriverPackage(const std::string& infName) override {
        const auto package = packages.find(infName);
        if (package != packages.end()) return package->second;
        return DriverPackage{"modem_inf.inf", ModemInf()};
    }

    DeviceRemoval RemoveDevice(const std::string& instanceId) override {
        const auto answer = removals.find(instanceId);
        const DeviceRemoval result = answer != removals.end() ? answer->second : DeviceRemoval{DeviceRemovalResult::Removed};
        if (result.result != DeviceRemovalResult::Removed) return result;
        removed.push_back(instanceId);
        for (auto it = devices.begin(); it != devices.end(); ++it) {
            if (it->instanceId == instanceId) {
                devices.erase(it);
                break;
            }
        }
        return result;
    }
    DeviceRemoval RemoveDriverPackage(const std::string& infName) override {
        const auto answer = removals.find(infName);
        if (answer != removals.end()) return answer->second;
        removed.push_back(infName);
        return {DeviceRemovalResult::Removed};
    }

    std::vector<InstalledDevice> devices;
    std::uint32_t listError = 0;
    std::map<std::string, DeviceRemoval> removals;  // instance id or INF name -> answer other than Removed
    std::vector<std::string> removed;               // instance ids and INF names, in order
    std::map<std::string, std::optional<DriverPackage>> packages;  // INF name -> package other than ours
    int lists = 0;
    std::uint32_t lastError = 0;
};

} // namespace vantaro::testing
