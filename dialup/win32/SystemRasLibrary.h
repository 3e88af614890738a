#pragma once
// rasapi32.dll from the system directory, by its full path: a rasapi32.dll planted in the
// program's folder or the current directory is never loaded this way.

#include "dialup/RasLibrary.h"

#include <string>

namespace vantaro {

class SystemRasLibrary final : public RasLibrary {
public:
    void* Load() override;
    void* FindEntryPoint(void* module, const char* exportName) override;
    void Free(void* module) override;

    // The full path that Load uses; empty when the system directory cannot be named.
    static std::string LibraryPath();
};

} // namespace vantaro
