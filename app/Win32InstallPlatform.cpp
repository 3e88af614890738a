#include "app/Win32InstallPlatform.h"

#include "modem/win32/Wow64.h"

namespace vantaro {

bool RunningUnderWow64() { return IsRunningUnderWow64() != 0; }

ProcessKind RunningProcessKind() {
    if (sizeof(void*) == 8) return ProcessKind::Native64;
    return RunningUnderWow64() ? ProcessKind::Wow64 : ProcessKind::Native32;
}

} // namespace vantaro
