#pragma once
// /uninstall: removes what Vantaro's installs made and nothing else. The install record
// (modem/InstallRecord.h) names it: the devices, their driver packages, the dial-up entries and
// the desktop shortcut; then the record goes too. An install by a Vantaro that kept no record
// leaves the modems that our INF's model drives, the dial-up entry named by connection_name when
// it dials through one of them, and the About dialog's desktop shortcut. A record that Vantaro
// did not write, or that does not read, stops the run before anything is removed.
//
// Each step runs whatever the others did, and each finds nothing the second time, so a run cut
// short is finished by the next one; the record stays until everything it names is gone.

#include "workflow/CommandLine.h"
#include "dialup/DialupEntry.h"
#include "log/Log.h"
#include "modem/DeviceRemoval.h"
#include "modem/InstalledModems.h"
#include "modem/Registry.h"
#include "platform/Profile.h"
#include "platform/Removal.h"

#include <optional>
#include <string>
#include <vector>

namespace vantaro {

struct UninstallInputs {
    std::string hardwareId;
    std::string connectionName;
    std::vector<std::string> infNames;  // the names our INF ships under, both kinds of Windows
};

// The hardware id, the entry name and the INF names as an install reads them.
UninstallInputs ReadUninstallInputs(const Profile& settings);

// The phone book and the shell.
class UninstallSteps {
public:
    UninstallSteps() = default;
    UninstallSteps(const UninstallSteps&) = delete;
    UninstallSteps& operator=(const UninstallSteps&) = delete;
    virtual ~UninstallSteps() = default;

    virtual Removal RemoveDialupEntry(const std::string& entryName) = 0;
    virtual std::optional<EntryDevice> DialupEntryDevice(const std::string& entryName) = 0;
    // The link file at `linkPath` when it points at the About dialog's target.
    virtual Removal RemoveShortcut(const std::string& linkPath) = 0;
    virtual Removal RemoveDesktopShortcut() = 0;
};

struct UninstallPlatform {
    Registry& record;          // HKEY_LOCAL_MACHINE in the 64-bit view
    InstalledModems& modems;
    DeviceRemover& remover;    // in this process, or through pnpagent64.exe (ChooseRemovalRoute)
    UninstallSteps& steps;
};

struct UninstallOutcome {
    ExitCode exitCode = ExitCode::Done;
    std::vector<std::string> messages;  // what the user is told, one line each
};

UninstallOutcome RunUninstall(const UninstallInputs& inputs, UninstallPlatform& platform, Log& log);

} // namespace vantaro
