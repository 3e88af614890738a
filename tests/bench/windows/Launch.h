#pragma once
// Times one start of a program to its Settings dialog ("Dial_Setting") on screen, from just
// before the process is created to the moment the dialog is visible, and reads the process's
// peak working set once it is idle.

#include <windows.h>

#include <string>

namespace vantaro::bench {

// A monotonic clock in milliseconds (the performance counter).
class Stopwatch {
public:
    Stopwatch();
    double ElapsedMs() const;

private:
    LARGE_INTEGER start_{};
    LARGE_INTEGER frequency_{};
};

struct LaunchResult {
    bool ok = false;
    double visibleMs = 0;
    double peakWorkingSetMiB = 0;
    std::string failure;   // why there is no figure; or what went wrong while closing
};

// The longest a start may take before it counts as failed.
inline constexpr DWORD kLaunchBoundMs = 20000;

// Starts `exe` with `folder` as its current directory, waits (bounded) for its visible
// "Dial_Setting" window, then closes the dialog with Cancel and waits for the process to end
// (bounded; ended by force, and said so, when it does not).
LaunchResult LaunchToSettingsDialog(const std::string& exe, const std::string& folder);

// The visible top-level "Dial_Setting" dialog of that process, or null.
HWND FindSettingsDialog(DWORD processId);

} // namespace vantaro::bench
