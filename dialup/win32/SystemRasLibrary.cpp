#include "dialup/win32/SystemRasLibrary.h"

#include <windows.h>

namespace vantaro {

namespace {
constexpr char kLibraryName[] = "rasapi32.dll";
} // namespace

std::string SystemRasLibrary::LibraryPath() {
    char folder[MAX_PATH] = {};
    const UINT length = ::GetSystemDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    std::string path(folder, length);
    if (path.back() != '\\') path += '\\';
    return path + kLibraryName;
}

void* SystemRasLibrary::Load() {
    const std::string path = LibraryPath();
    if (path.empty()) return nullptr;
    // Its own dependencies are looked for beside it, in the system directory.
    return ::LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

void* SystemRasLibrary::FindEntryPoint(void* module, const char* exportName) {
    return reinterpret_cast<void*>(::GetProcAddress(static_cast<HMODULE>(module), exportName));
}

void SystemRasLibrary::Free(void* module) { ::FreeLibrary(static_cast<HMODULE>(module)); }

} // namespace vantaro
