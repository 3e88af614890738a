#include "app/CommandLineRun.h"

#include "app/CommandOutput.h"
#include "app/CommandActions.h"
#include "app/StoredSecrets.h"
#include "workflow/Uninstall.h"
#include "app/Win32UninstallSteps.h"
#include "log/win32/Win32LogFile.h"
#include "modem/win32/Win32DeviceRemover.h"
#include "modem/win32/Win32InstalledModems.h"
#include "modem/win32/Win32ProcessLauncher.h"
#include "modem/win32/Win32Registry.h"
#include "modem/win32/Wow64.h"
#include "platform/win32/CodePage.h"
#include "platform/win32/ModulePath.h"
#include "settings/win32/Win32Profile.h"
#include "settings/SettingsKeys.h"

#include <windows.h>
#include <shellapi.h>

#include <memory>

namespace vantaro {

namespace {

std::string Joined(const std::vector<std::string>& lines, const char* separator) {
    std::string text;
    for (const std::string& line : lines) text += (text.empty() ? "" : separator) + line;
    return text;
}

ExitCode RunUninstallCommand(const std::string& settingsPath, bool settingsFound, CommandOutput& output, Log& log) {
    if (!settingsFound) {
        log.Step("uninstall", LogResult::Failed, ERROR_FILE_NOT_FOUND, settingsPath);
        output.Say("Setting.ini was not found beside Vantaro.exe: nothing was removed.");
        return ExitCode::Failed;
    }
    const Win32Profile settings(settingsPath);
    Win32Registry record(RegistryView::SixtyFourBit);
    Win32InstalledModems modems;
    Win32DeviceRemover inProcess;
    Win32ProcessLauncher processes;
    AgentDeviceRemover throughHelper(processes, ExecutableFolder());
    Win32UninstallSteps steps;
    UninstallPlatform platform{record, modems,
                               ChooseRemovalRoute(IsRunningUnderWow64()) == RemovalRoute::ThroughHelper
                                   ? static_cast<DeviceRemover&>(throughHelper)
                                   : inProcess,
                               steps};
    const UninstallOutcome outcome = RunUninstall(ReadUninstallInputs(settings), platform, log);
    output.Say(Joined(outcome.messages, "\r\n"));
    return outcome.exitCode;
}

} // namespace

std::vector<std::string> ProgramArguments() {
    // The parser is shell32's: a start without arguments leaves that DLL until the tray icon.
    if (!ArgumentsFollowProgramName(::GetCommandLineW())) return {};
    int count = 0;
    // The shell hands the list out in one block of local memory.
    const std::unique_ptr<wchar_t*, HLOCAL(WINAPI*)(HLOCAL)> arguments(
        ::CommandLineToArgvW(::GetCommandLineW(), &count), &::LocalFree);
    if (!arguments) return {};
    std::vector<std::string> ansi;
    for (int i = 1; i < count; ++i) ansi.push_back(AnsiFromWide(arguments.get()[i]));
    return ansi;
}

int RunCommandLine(const CommandLine& line, const std::vector<std::string>& arguments) {
    // Only the Setting.ini beside the program: one found on the search path (the Windows folder,
    // the working folder, PATH) may be another program's, and /uninstall would remove what it
    // names. Without one, the run says so and the script gets the exit code.
    const FileBesideExecutable settingsFile = FindBesideExecutable(settings::kFileName);
    const std::string& settingsPath = settingsFile.path;
    const bool settingsFound = settingsFile.exists;

    FileLog fileLog(settingsPath);
    Log& log = fileLog.Get();
    if (settingsFound) ConcealStoredSecrets(Win32Profile(settingsPath), log);
    log.Step("command.line", LogResult::Started, 0, Joined(arguments, " "));
    CommandOutput output(line.quiet, log);

    ExitCode exitCode = ExitCode::Done;
    switch (line.action) {
    case CommandAction::Usage:
        output.Show(kUsageText);
        break;
    case CommandAction::Invalid:
        log.Said(line.error);
        output.Show(line.error + "\r\n\r\n" + kUsageText);
        exitCode = ExitCode::WrongCommandLine;
        break;
    case CommandAction::Uninstall:
        exitCode = RunUninstallCommand(settingsPath, settingsFound, output, log);
        break;
    case CommandAction::Install:
        exitCode = RunInstallCommand(line, settingsPath, settingsFound, output, log);
        break;
    case CommandAction::Check:
        exitCode = RunCheckCommand(line, output, log);
        break;
    case CommandAction::Dialog:
        break;
    }
    log.Step("command.line", exitCode == ExitCode::Done ? LogResult::Done : LogResult::Failed, 0,
             "exit code " + std::to_string(static_cast<int>(exitCode)));
    return static_cast<int>(exitCode);
}

} // namespace vantaro
