#include "modem/win32/Win32ProcessLauncher.h"

#include "platform/win32/ProcessRecords.h"
#include "platform/win32/UniqueHandle.h"

#include <windows.h>

#include <cstring>
#include <vector>

namespace vantaro {

ProcessOutcome Win32ProcessLauncher::RunAndWait(const std::string& programPath, const std::string& commandLine) {
    // CreateProcessA may write into the command line.
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    STARTUPINFOA startup;
    std::memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info;
    std::memset(&info, 0, sizeof info);
    if (!::CreateProcessA(programPath.c_str(), line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                          nullptr, &startup, &info))
        return ProcessOutcome{ProcessOutcome::State::NotStarted, 0};

    UniqueKernelHandle process(info.hProcess);
    UniqueKernelHandle thread(info.hThread);
    ::WaitForSingleObject(process.get(), INFINITE);
    DWORD exitCode = 0;
    const BOOL read = ::GetExitCodeProcess(process.get(), &exitCode);
    process.reset();
    thread.reset();
    if (!read) return ProcessOutcome{ProcessOutcome::State::ExitCodeUnreadable, 0};
    return ProcessOutcome{ProcessOutcome::State::Exited, exitCode};
}

} // namespace vantaro
