#include "platform/win32/SystemVersion.h"

#include <windows.h>

namespace vantaro {

// The basic version record, in its first published size.
static_assert(sizeof(OSVERSIONINFOA) == 148);

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
