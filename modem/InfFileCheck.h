#pragma once
// The INF check as the install runs it: the file read whole, the files it copies looked for in
// its own folder.

#include "modem/FileSearch.h"
#include "modem/InfCheck.h"

#include <cstddef>
#include <optional>
#include <string>

namespace vantaro {

std::optional<InfProblem> CheckModemInfFile(FileSearch& files, const std::string& infPath,
                                            const std::string& hardwareId, InfPlatform platform,
                                            const RunningWindows& windows);

} // namespace vantaro
