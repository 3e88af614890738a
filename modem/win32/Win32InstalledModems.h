#pragma once
// The modem class's devices through SetupAPI, with what their driver keys say of their driver.

#include "modem/InstalledModems.h"

namespace vantaro {

class Win32InstalledModems final : public InstalledModems {
public:
    std::optional<std::vector<InstalledDevice>> List() override;
    std::uint32_t LastError() const override { return lastError_; }
    std::optional<DriverPackage> ReadDriverPackage(const std::string& infName) override;

private:
    std::uint32_t lastError_ = 0;
};

} // namespace vantaro
