#pragma once
// The modem class's devices through SetupAPI; a removal is the class installer's DIF_REMOVE for
// every hardware profile, as Device Manager removes a device.

#include "modem/InstalledModems.h"

#include <memory>

namespace vantaro {

class Win32InstalledModems final : public InstalledModems {
public:
    Win32InstalledModems();
    ~Win32InstalledModems() override;

    std::optional<std::vector<InstalledDevice>> List() override;
    bool Remove(const InstalledDevice& device) override;
    std::uint32_t LastError() const override { return lastError_; }

private:
    struct DeviceList;
    std::unique_ptr<DeviceList> list_;
    std::uint32_t lastError_ = 0;
};

} // namespace vantaro
