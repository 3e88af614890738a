#pragma once
// The uninstall's steps on Windows: the phone book through rasapi32.dll from the system folder,
// the modems through SetupAPI, the shortcut through the shell.

#include "app/Uninstall.h"

namespace vantaro {

class Win32UninstallSteps final : public UninstallSteps {
public:
    explicit Win32UninstallSteps(Log& log) : log_(log) {}

    Removal RemoveDialupEntry(const std::string& entryName) override;
    Removal RemoveModems(const std::string& hardwareId) override;
    Removal RemoveDesktopShortcut() override;

private:
    Log& log_;
};

} // namespace vantaro
