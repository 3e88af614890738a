// The numbers of platform/PlatformCodes.h, held to the platform's own headers.

#include "platform/PlatformCodes.h"

#include <windows.h>
#include <setupapi.h>

namespace vantaro::platform_code {

static_assert(kErrorSuccess == ERROR_SUCCESS);
static_assert(kErrorFileNotFound == ERROR_FILE_NOT_FOUND);
static_assert(kErrorAccessDenied == ERROR_ACCESS_DENIED);
static_assert(kErrorInvalidHandle == ERROR_INVALID_HANDLE);
static_assert(kErrorInvalidParameter == ERROR_INVALID_PARAMETER);
static_assert(kErrorGenFailure == ERROR_GEN_FAILURE);
static_assert(kErrorMoreData == ERROR_MORE_DATA);
static_assert(kErrorNoMoreItems == ERROR_NO_MORE_ITEMS);
static_assert(kErrorKeyDoesNotExist == static_cast<std::uint32_t>(ERROR_KEY_DOES_NOT_EXIST));
static_assert(kErrorInWow64 == static_cast<std::uint32_t>(ERROR_IN_WOW64));
static_assert(kRegSz == REG_SZ);
static_assert(kPlatformWin32Nt == VER_PLATFORM_WIN32_NT);

} // namespace vantaro::platform_code
