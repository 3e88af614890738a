#pragma once
// The modem class's devices in memory: the list can be refused, single removals can fail with
// an error code of the test's choosing, and every removal is recorded.

#include "modem/InstalledModems.h"

#include <map>

namespace vantaro::testing {

class FakeInstalledModems final : public InstalledModems {
public:
    std::optional<std::vector<InstalledDevice>> List() override {
        ++lists;
        if (listError != 0) {
            lastError = listError;
            return std::nullopt;
        }
        listed_ = devices;
        for (std::size_t i = 0; i < listed_.size(); ++i) listed_[i].index = i;
        return listed_;
    }
    bool Remove(const InstalledDevice& device) override {
        const std::string id = listed_.at(device.index).instanceId;
        const auto refusal = removalErrors.find(id);
        if (refusal != removalErrors.end()) {
            lastError = refusal->second;
            return false;
        }
        removed.push_back(id);
        for (auto it = devices.begin(); it != devices.end(); ++it) {
            if (it->instanceId == id) {
                devices.erase(it);
                break;
            }
        }
        return true;
    }
    std::uint32_t LastError() const override { return lastError; }

    std::vector<InstalledDevice> devices;
    std::uint32_t listError = 0;
    std::map<std::string, std::uint32_t> removalErrors;  // instance id -> error code
    std::vector<std::string> removed;
    int lists = 0;
    std::uint32_t lastError = 0;

private:
    std::vector<InstalledDevice> listed_;  // the latest list, which removals refer to
};

} // namespace vantaro::testing
