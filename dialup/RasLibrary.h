#pragma once
// The remote-access library as the binding sees it: loaded, asked for entry points by export
// name, freed. The Win32 side loads rasapi32.dll from the system directory; tests hand out
// entry points of their own.

#include <cstdint>

// The platform's calling convention for the remote-access entry points.
#if defined(_WIN32)
#define VANTARO_RASAPI __stdcall
#else
#define VANTARO_RASAPI
#endif

namespace vantaro {

class RasLibrary {
public:
    RasLibrary() = default;
    RasLibrary(const RasLibrary&) = delete;
    RasLibrary& operator=(const RasLibrary&) = delete;
    virtual ~RasLibrary() = default;

    // The loaded module, or null when the library cannot be loaded.
    virtual void* Load() = 0;
    // The entry point of that export name, or null when the module has none.
    virtual void* FindEntryPoint(void* module, const char* exportName) = 0;
    virtual void Free(void* module) = 0;
};

} // namespace vantaro
