#include "platform/win32/Win32MessageSink.h"

#include "platform/win32/ModulePath.h"

#include <windows.h>

namespace vantaro {

void Win32MessageSink::Show(const std::string& text) {
    ::MessageBoxA(owner_, text.c_str(), ApplicationTitle().c_str(), MB_OK | MB_ICONEXCLAMATION);
}

} // namespace vantaro
