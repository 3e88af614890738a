#include "app/Win32UninstallSteps.h"

#include "app/AboutDialog.h"
#include "app/Shortcut.h"
#include "dialup/win32/SystemRasLibrary.h"

namespace vantaro {

Removal Win32UninstallSteps::RemoveDialupEntry(const std::string& entryName) {
    SystemRasLibrary library;
    return vantaro::RemoveDialupEntry(library, entryName);
}

std::optional<EntryDevice> Win32UninstallSteps::DialupEntryDevice(const std::string& entryName) {
    SystemRasLibrary library;
    return ReadEntryDevice(library, entryName);
}

Removal Win32UninstallSteps::RemoveShortcut(const std::string& linkPath) {
    return vantaro::RemoveShortcut(linkPath, kAboutShortcutTarget);
}

Removal Win32UninstallSteps::RemoveDesktopShortcut() { return vantaro::RemoveDesktopShortcut(kAboutShortcutTarget); }

} // namespace vantaro
