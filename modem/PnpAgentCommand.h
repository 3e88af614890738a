#pragma once
// The contract between Vantaro and its 64-bit driver helper, which does what a 32-bit process
// on 64-bit Windows may not do itself:
//   pnpagent64.exe UpdateDriverForPlugAndPlayDevices <hardware id> "<INF path>"
//     exits with a non-zero code when it installed the driver and with 0 when it did not;
//   pnpagent64.exe RemoveDevice "<device instance id>"
//   pnpagent64.exe RemoveDriverPackage <oemNN.inf>
//     exit with kAgentRemoved, kAgentRemovedAtRestart, kAgentNothingThere or, when nothing was
//     removed, kAgentNotRemoved (0, as for the update: an exit code that cannot be told apart
//     from a crash never means success).

#include <optional>
#include <string>
#include <string_view>

namespace vantaro {

inline constexpr char kPnpAgentFileName[] = "pnpagent64.exe";
inline constexpr char kPnpAgentVerb[] = "UpdateDriverForPlugAndPlayDevices";

inline constexpr char kPnpAgentRemoveDeviceVerb[] = "RemoveDevice";
inline constexpr char kPnpAgentRemoveDriverPackageVerb[] = "RemoveDriverPackage";

inline constexpr int kAgentNotRemoved = 0;
inline constexpr int kAgentRemoved = 1;
inline constexpr int kAgentNothingThere = 2;       // no such device, or no such package
inline constexpr int kAgentRemovedAtRestart = 3;   // Windows finishes the removal when it restarts

// The command line is built in 1024 bytes: at most this many characters before its NUL.
inline constexpr std::size_t kMaxPnpAgentCommandLine = 1023;

// The helper's command line for a hardware id (up to its first NUL) and an INF path; nothing
// when it would not fit kMaxPnpAgentCommandLine.
std::optional<std::string> BuildPnpAgentCommandLine(std::string_view hardwareId, std::string_view infPath);

// The helper's command line for one of the removal verbs; nothing when it would not fit.
std::optional<std::string> BuildPnpAgentRemovalCommandLine(std::string_view verb, std::string_view what);

} // namespace vantaro
