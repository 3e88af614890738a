#include "app/Win32UninstallSteps.h"

#include "app/AboutDialog.h"
#include "app/Shortcut.h"
#include "dialup/DialupEntry.h"
#include "dialup/win32/SystemRasLibrary.h"
#include "modem/ModemRemoval.h"
#include "modem/win32/Win32InstalledModems.h"

namespace vantaro {

Removal Win32UninstallSteps::RemoveDialupEntry(const std::string& entryName) {
    SystemRasLibrary library;
    return vantaro::RemoveDialupEntry(library, entryName);
}

Removal Win32UninstallSteps::RemoveModems(const std::string& hardwareId) {
    Win32InstalledModems modems;
    return vantaro::RemoveModems(modems, hardwareId, log_);
}

Removal Win32UninstallSteps::RemoveDesktopShortcut() { return vantaro::RemoveDesktopShortcut(kAboutShortcutTarget); }

} // namespace vantaro
