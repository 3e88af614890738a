#include "app/Win32InstallPlatform.h"

#include "modem/win32/Wow64.h"

namespace vantaro {

bool RunningUnderWow64() { return IsRunningUnderWow64() != 0; }

} // namespace vantaro
