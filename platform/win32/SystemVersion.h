#pragma once
// The running system's platform id, from the version query.

#include <cstdint>
#include <optional>

namespace vantaro {

// GetVersionExA's dwPlatformId (platform_code::kPlatformWin32Nt on the NT family), asked with
// the version record in its first published size; nothing when the query fails.
std::optional<std::uint32_t> SystemPlatformId();

} // namespace vantaro
