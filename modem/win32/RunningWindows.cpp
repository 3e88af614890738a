#include "modem/win32/RunningWindows.h"

#include <windows.h>

#include <cstddef>

namespace vantaro {

namespace {

using RtlGetVersionEntry = LONG(WINAPI*)(OSVERSIONINFOEXW*);

// RtlGetVersion fills the extended fields only when dwOSVersionInfoSize names the extended
// form; no pointer in it, so 284 in both builds.
static_assert(sizeof(OSVERSIONINFOEXW) == 284);
static_assert(offsetof(OSVERSIONINFOEXW, wSuiteMask) == 280 && offsetof(OSVERSIONINFOEXW, wProductType) == 282);

} // namespace

RunningWindows ReadRunningWindows() {
    RunningWindows windows;
    // The device installer compares the decorations with the version Windows really has;
    // GetVersionEx answers what the program's manifest lets it know. ntdll is in every process,
    // so nothing is loaded here.
    if (HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll")) {
        const auto getVersion = reinterpret_cast<RtlGetVersionEntry>(
            reinterpret_cast<void (*)()>(::GetProcAddress(ntdll, "RtlGetVersion")));
        OSVERSIONINFOEXW info{};
        info.dwOSVersionInfoSize = sizeof info;
        if (getVersion && getVersion(&info) == 0)
            windows.version = WindowsVersion{info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber,
                                             info.wProductType, info.wSuiteMask};
    }
    // The setup functions pick an INF's Strings section by the thread's language.
    windows.languageId = LANGIDFROMLCID(::GetThreadLocale());
    return windows;
}

} // namespace vantaro
