#include "platform/win32/SystemVersion.h"

#include <windows.h>

#include <cstddef>

namespace vantaro {

// The basic version record, in its first published size: GetVersionExA takes the form by
// dwOSVersionInfoSize and fails on any other. No pointer in it, so 148 in both builds.
static_assert(sizeof(OSVERSIONINFOA) == 148);
static_assert(offsetof(OSVERSIONINFOA, dwPlatformId) == 16 && offsetof(OSVERSIONINFOA, szCSDVersion) == 20);

std::optional<std::uint32_t> SystemPlatformId() {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#elif defined(_MSC_VER)
#pragma warning(push)
#pragma warning(disable : 4996)
#endif
    const BOOL known = ::GetVersionExA(&version);
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#elif defined(_MSC_VER)
#pragma warning(pop)
#endif
    if (!known) return std::nullopt;
    return version.dwPlatformId;
}

} // namespace vantaro
