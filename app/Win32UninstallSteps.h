#pragma once
// The uninstall's steps on Windows: the phone book through rasapi32.dll from the system folder,
// the shortcut through the shell.

#include "workflow/Uninstall.h"

namespace vantaro {

class Win32UninstallSteps final : public UninstallSteps {
public:
    Removal RemoveDialupEntry(const std::string& entryName) override;
    std::optional<EntryDevice> DialupEntryDevice(const std::string& entryName) override;
    Removal RemoveShortcut(const std::string& linkPath) override;
    Removal RemoveDesktopShortcut() override;
};

} // namespace vantaro
