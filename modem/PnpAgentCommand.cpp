#include "modem/PnpAgentCommand.h"

namespace vantaro {

std::optional<std::string> BuildPnpAgentCommandLine(std::string_view hardwareId, std::string_view infPath) {
    std::string line = std::string(kPnpAgentFileName) + " " + kPnpAgentVerb;
    line += ' ';
    line.append(hardwareId.substr(0, hardwareId.find('\0')));
    line += " \"";
    line.append(infPath.substr(0, infPath.find('\0')));
    line += '"';
    if (line.size() > kMaxPnpAgentCommandLine) return std::nullopt;
    return line;
}

std::optional<std::string> BuildPnpAgentRemovalCommandLine(std::string_view verb, std::string_view what) {
    std::string line = std::string(kPnpAgentFileName) + " ";
    line.append(verb);
    line += " \"";
    line.append(what.substr(0, what.find('\0')));
    line += '"';
    if (line.size() > kMaxPnpAgentCommandLine) return std::nullopt;
    return line;
}

} // namespace vantaro
