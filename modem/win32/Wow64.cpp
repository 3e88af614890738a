#include "modem/win32/Wow64.h"

#include "platform/win32/UniqueHandle.h"

#include <windows.h>

#include <cstdio>

namespace vantaro {

namespace {

using IsWow64ProcessEntry = BOOL(WINAPI*)(HANDLE, PBOOL);

constexpr UINT kSystemDirectoryBuffer = 261;
constexpr std::size_t kKernelPathBuffer = 275;

// kernel32 from the system folder by full path; by plain name when that path is not to be had.
UniqueHmodule LoadKernel32() {
    char directory[kSystemDirectoryBuffer] = {};
    const UINT length = ::GetSystemDirectoryA(directory, kSystemDirectoryBuffer);
    if (length != 0 && length < kSystemDirectoryBuffer) {
        char path[kKernelPathBuffer];
        const int written = std::snprintf(path, sizeof path, "%s\\kernel32.dll", directory);
        if (written > 0 && static_cast<std::size_t>(written) < sizeof path) {
            UniqueHmodule module(::LoadLibraryA(path));
            if (module) return module;
        }
    }
    return UniqueHmodule(::LoadLibraryA("kernel32.dll"));
}

} // namespace

bool IsRunningUnderWow64() {
    UniqueHmodule kernel = LoadKernel32();
    if (!kernel) return false;
    const auto isWow64Process = reinterpret_cast<IsWow64ProcessEntry>(
        reinterpret_cast<void (*)()>(::GetProcAddress(kernel.get(), "IsWow64Process")));
    BOOL wow64 = FALSE;
    return isWow64Process && isWow64Process(::GetCurrentProcess(), &wow64) && wow64;
}

} // namespace vantaro
