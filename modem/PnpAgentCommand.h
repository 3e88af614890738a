#pragma once
// The contract between Vantaro and its 64-bit driver helper:
//   pnpagent64.exe UpdateDriverForPlugAndPlayDevices <hardware id> "<INF path>"
// The helper exits with a non-zero code when it installed the driver and with 0 when it did not.

#include <optional>
#include <string>
#include <string_view>

namespace vantaro {

inline constexpr char kPnpAgentFileName[] = "pnpagent64.exe";
inline constexpr char kPnpAgentVerb[] = "UpdateDriverForPlugAndPlayDevices";

// The command line is built in 1024 bytes: at most this many characters before its NUL.
inline constexpr std::size_t kMaxPnpAgentCommandLine = 1023;

// The helper's command line for a hardware id (up to its first NUL) and an INF path; nothing
// when it would not fit kMaxPnpAgentCommandLine.
std::optional<std::string> BuildPnpAgentCommandLine(std::string_view hardwareId, std::string_view infPath);

} // namespace vantaro
