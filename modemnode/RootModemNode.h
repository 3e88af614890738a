#pragma once
// modemnode's decisions: the command line, the instance id, and the steps that create (or
// find) the root-enumerated modem node and tie it to a COM port.

#include "modemnode/DeviceNodes.h"
#include "platform/PlatformCodes.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace modemnode {

constexpr std::string_view kWrongArgument = "Wrong Argument!\r\n";
constexpr std::string_view kDeviceDescription = "ZOR Modem";
// The id buffer holds 32 bytes with its terminator.
constexpr std::size_t kMaxInstanceIdLength = 31;

// Exit codes: a caller can tell success from failure, and both from a wrong command line.
enum ExitCode : int { kExitSuccess = 0, kExitFailure = 1, kExitUsage = 2 };

// "Root\<class segment>\<port name>"; nothing when it would not fit the id buffer.
std::optional<std::string> BuildInstanceId(const std::string& classSegment, const std::string& portName);

// True when the node was created or found and its description and "AttachedTo" were written;
// false otherwise (root not found, creation refused, a value not written).
bool CreateRootModemNode(DeviceNodes& nodes, const std::string& classSegment, const std::string& portName);

// The whole tool: `arguments` without the program name; what goes to standard output is
// appended to `output`. Returns the exit code.
int RunModemNode(const std::vector<std::string>& arguments, DeviceNodes& nodes, std::string& output);

} // namespace modemnode
