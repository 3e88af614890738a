#include "bench/windows/Launch.h"

#include "platform/win32/UniqueHandle.h"

#include <psapi.h>

namespace vantaro::bench {

namespace {

constexpr char kDialogClass[] = "#32770";
constexpr char kSettingsTitle[] = "Dial_Setting";
constexpr DWORD kIdleBoundMs = 5000;
constexpr DWORD kExitBoundMs = 10000;

} // namespace

Stopwatch::Stopwatch() {
    ::QueryPerformanceFrequency(&frequency_);
    ::QueryPerformanceCounter(&start_);
}

double Stopwatch::ElapsedMs() const {
    LARGE_INTEGER now{};
    ::QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart - start_.QuadPart) * 1000.0 / static_cast<double>(frequency_.QuadPart);
}

HWND FindSettingsDialog(DWORD processId) {
    // Finding by class and title asks the window manager only: no message reaches the program.
    for (HWND window = ::FindWindowExA(nullptr, nullptr, kDialogClass, kSettingsTitle); window;
         window = ::FindWindowExA(nullptr, window, kDialogClass, kSettingsTitle)) {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(window, &owner);
        if (owner == processId && ::IsWindowVisible(window)) return window;
    }
    return nullptr;
}

LaunchResult LaunchToSettingsDialog(const std::string& exe, const std::string& folder) {
    LaunchResult result;
    std::string commandLine = "\"" + exe + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};

    const Stopwatch clock;
    if (!::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                          &info)) {
        result.failure = "could not start " + exe + " (error " + std::to_string(::GetLastError()) + ")";
        return result;
    }
    const UniqueKernelHandle process(info.hProcess);
    const UniqueKernelHandle thread(info.hThread);

    HWND dialog = nullptr;
    for (;;) {
        dialog = FindSettingsDialog(info.dwProcessId);
        if (dialog) break;
        // Waiting on the process is the pause between looks: it ends early if the program does.
        if (::WaitForSingleObject(process.get(), 1) == WAIT_OBJECT_0) {
            DWORD code = 0;
            ::GetExitCodeProcess(process.get(), &code);
            result.failure = exe + " ended (exit code " + std::to_string(code) + ") before its dialog was shown";
            return result;
        }
        if (clock.ElapsedMs() > kLaunchBoundMs) {
            ::TerminateProcess(process.get(), 98);
            ::WaitForSingleObject(process.get(), kExitBoundMs);
            result.failure = exe + " showed no Settings dialog within " + std::to_string(kLaunchBoundMs) + " ms";
            return result;
        }
    }
    result.visibleMs = clock.ElapsedMs();

    ::WaitForInputIdle(process.get(), kIdleBoundMs);
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (::GetProcessMemoryInfo(process.get(), &counters, sizeof counters))
        result.peakWorkingSetMiB = static_cast<double>(counters.PeakWorkingSetSize) / (1024.0 * 1024.0);

    ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, IDCANCEL)));
    if (::WaitForSingleObject(process.get(), kExitBoundMs) != WAIT_OBJECT_0) {
        ::TerminateProcess(process.get(), 97);
        ::WaitForSingleObject(process.get(), kExitBoundMs);
        result.failure = exe + " did not end after Cancel within " + std::to_string(kExitBoundMs) + " ms";
    }
    result.ok = true;
    return result;
}

} // namespace vantaro::bench
