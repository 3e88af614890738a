#include "modem/PnpAgentCommand.h"

#include <cstring>

namespace vantaro {

std::optional<std::string> BuildPnpAgentCommandLine(const char* hardwareId, const char* infPath) {
    std::string line = std::string(kPnpAgentFileName) + " " + kPnpAgentVerb;
    line += ' ';
    line.append(hardwareId, std::strlen(hardwareId));
    line += " \"";
    line.append(infPath, std::strlen(infPath));
    line += '"';
    if (line.size() > kMaxPnpAgentCommandLine) return std::nullopt;
    return line;
}

} // namespace vantaro
