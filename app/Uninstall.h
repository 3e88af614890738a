#pragma once
// /uninstall: removes what an install made and nothing else: the dial-up entry named by
// connection_name, every modem of Setting.ini's hardware id (with its driver key), and the
// desktop shortcut that the About dialog makes. Each step runs whatever the others did, and
// each finds nothing the second time, so a run cut short is finished by the next one.

#include "app/CommandLine.h"
#include "log/Log.h"
#include "platform/Profile.h"
#include "platform/Removal.h"

#include <string>
#include <vector>

namespace vantaro {

struct UninstallInputs {
    std::string hardwareId;
    std::string connectionName;
};

// The hardware id and the entry name as an install reads them.
UninstallInputs ReadUninstallInputs(const Profile& settings);

class UninstallSteps {
public:
    UninstallSteps() = default;
    UninstallSteps(const UninstallSteps&) = delete;
    UninstallSteps& operator=(const UninstallSteps&) = delete;
    virtual ~UninstallSteps() = default;

    virtual Removal RemoveDialupEntry(const std::string& entryName) = 0;
    virtual Removal RemoveModems(const std::string& hardwareId) = 0;
    virtual Removal RemoveDesktopShortcut() = 0;
};

struct UninstallOutcome {
    ExitCode exitCode = ExitCode::Done;
    std::vector<std::string> messages;  // what the user is told, one line each
};

UninstallOutcome RunUninstall(const UninstallInputs& inputs, UninstallSteps& steps, Log& log);

} // namespace vantaro
