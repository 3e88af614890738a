#include "modem/InfFileCheck.h"

namespace vantaro {

std::optional<InfProblem> CheckModemInfFile(FileSearch& files, const std::string& infPath,
                                            const std::string& hardwareId, InfPlatform platform,
                                            const RunningWindows& windows) {
    InfCheckInput check;
    check.infName = infPath;
    check.bytes = files.ReadFile(infPath, kMaxInfBytes);
    check.hardwareId = hardwareId;
    check.platform = platform;
    check.windows = windows;
    const std::string folder = infPath.substr(0, infPath.find_last_of("\\/") + 1);
    check.fileExists = [&files, &folder](const std::string& relativePath) {
        return files.FileExists(folder + relativePath);
    };
    return CheckModemInf(check);
}

} // namespace vantaro
