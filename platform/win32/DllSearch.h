#pragma once
// Where the program's DLLs come from: the system folder only. Windows looks for a DLL that is
// not a known system DLL first in the program's own folder, so a file of that name left there
// (a downloads folder is the usual place) would run with the rights of whoever starts the
// program. The DLLs that are not known system DLLs are delay-loaded (cmake/DelayLoad.cmake), so
// nothing of them is loaded before main() or WinMain() has called this. Header only: both helper
// tools include it.

#include <windows.h>

namespace vantaro {

// Called first thing in main() or WinMain(). Windows 7 has SetDefaultDllDirectories only with
// its update KB2533623, so it is looked up rather than imported; without it nothing changes.
inline void RestrictDllSearchToSystemFolder() {
    using SetDefaultDllDirectoriesEntry = BOOL(WINAPI*)(DWORD);
    const HMODULE kernel = ::GetModuleHandleA("kernel32.dll");
    const auto setDefaultDllDirectories = reinterpret_cast<SetDefaultDllDirectoriesEntry>(
        reinterpret_cast<void (*)()>(::GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (setDefaultDllDirectories) setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

} // namespace vantaro
