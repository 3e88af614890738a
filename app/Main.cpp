// Vantaro's start: a command line runs on its own; otherwise find Setting.ini, then run the
// outcome dialog, which runs the Settings dialog.

#include "app/CommandLineRun.h"
#include "app/OutcomeDialog.h"
#include "workflow/RunningMutex.h"
#include "platform/win32/DllSearch.h"
#include "platform/win32/ModulePath.h"
#include "platform/win32/UniqueHandle.h"
#include "platform/win32/Win32MessageSink.h"
#include "settings/SettingsKeys.h"

#include <windows.h>
#include <commctrl.h>
#include <sddl.h>

namespace {

// InitCommonControlsEx fails on any dwSize but the published one; no pointer in it, 8 bytes in
// both builds.
static_assert(sizeof(INITCOMMONCONTROLSEX) == 8);

constexpr char kIniNotFoundMessage[] = "Fail to get the ini file.";

// The settings file on the executable search path. Without one, the program's own folder is
// where it will be read and written: the Windows directory is not writable for a normal user,
// so a save there would be lost.
std::string LocateSettingsFile() {
    std::string path = vantaro::SearchExecutablePath(vantaro::settings::kFileName);
    if (!path.empty()) return path;
    vantaro::Win32MessageSink().Show(kIniNotFoundMessage);
    return vantaro::ExecutableFolder() + "\\" + vantaro::settings::kFileName;
}

// Held until the program ends; a second Vantaro opens the same mutex and runs all the same. A
// descriptor the platform cannot read leaves the mutex its default one: the program still runs.
vantaro::UniqueKernelHandle CreateRunningMutex() {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorA(vantaro::kRunningMutexSecurity, SDDL_REVISION_1,
                                                               &descriptor, nullptr))
        descriptor = nullptr;
    const vantaro::UniqueHlocal owner(descriptor);
    SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor, FALSE};
    return vantaro::UniqueKernelHandle(
        ::CreateMutexA(descriptor ? &attributes : nullptr, FALSE, vantaro::kRunningMutexName));
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    vantaro::RestrictDllSearchToSystemFolder();
    const vantaro::UniqueKernelHandle running = CreateRunningMutex();

    // With any argument Vantaro runs for a script (or says how to call it) and opens no dialog.
    const std::vector<std::string> arguments = vantaro::ProgramArguments();
    const vantaro::CommandLine line = vantaro::ParseCommandLine(arguments);
    if (line.action != vantaro::CommandAction::Dialog) return vantaro::RunCommandLine(line, arguments);

    // The three-dimensional look of the dialog controls: common controls version 6 (manifest).
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);

    const std::string profilePath = LocateSettingsFile();
    {
        vantaro::OutcomeDialog outcome(profilePath);
        outcome.DoModal(nullptr);
    }
    // No message loop follows: the program ends here.
    return 0;
}
