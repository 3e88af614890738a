#pragma once
// What a script that runs Vantaro learns from its exit code: the command line gives these, and
// the setup's uninstaller and the MSI's actions read them. installer/CMakeLists.txt writes them
// into the setup's script from this file, so the setup cannot read another number than the
// program gives; keep each on a line of its own, as `Name = number,`.

namespace vantaro {

enum class ExitCode : int {
    Done = 0,
    Failed = 1,              // Vantaro.log says at which step and why
    WrongCommandLine = 2,    // with the usage text
    NoPhoneFound = 3,        // /check with no modem answering, /port auto with none or several
    NeedsAdministrator = 4,  // a step was refused for want of rights
    RestartNeeded = 5,       // /uninstall: Windows finishes removing a modem when it restarts
};

} // namespace vantaro
