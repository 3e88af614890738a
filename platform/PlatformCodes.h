#pragma once
// The platform's numbers and names that portable code decides on, spelled as the platform's
// headers spell them, each written once: error codes, value types, the version's platform id,
// and the registry value names of a modem's keys. platform/win32/PlatformCodes.cpp holds every
// number to the platform's own headers. Header only: the helper tools include it too.

#include <cstdint>

namespace vantaro {

namespace platform_code {
inline constexpr std::uint32_t kErrorSuccess = 0;
inline constexpr std::uint32_t kErrorFileNotFound = 2;
inline constexpr std::uint32_t kErrorAccessDenied = 5;
inline constexpr std::uint32_t kErrorInvalidHandle = 6;
inline constexpr std::uint32_t kErrorInvalidParameter = 87;
inline constexpr std::uint32_t kErrorGenFailure = 31;
inline constexpr std::uint32_t kErrorMoreData = 234;
inline constexpr std::uint32_t kErrorNoMoreItems = 259;
// The device-installation services' own codes.
inline constexpr std::uint32_t kErrorKeyDoesNotExist = 0xE0000204;
inline constexpr std::uint32_t kErrorInWow64 = 0xE0000235;

inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kPlatformWin32Nt = 2;
} // namespace platform_code

// Values of a modem's instance, driver and hardware keys.
namespace registry_value {
inline constexpr char kClassGuid[] = "ClassGUID";
inline constexpr char kDriverDesc[] = "DriverDesc";
inline constexpr char kInfPath[] = "InfPath";
inline constexpr char kAttachedTo[] = "AttachedTo";
inline constexpr char kConfigDialog[] = "ConfigDialog";
inline constexpr char kMaximumPortSpeed[] = "MaximumPortSpeed";
inline constexpr char kUserInit[] = "UserInit";
} // namespace registry_value

} // namespace vantaro
