#pragma once
// Process start through the platform.

#include "modem/ProcessLauncher.h"

namespace vantaro {

class Win32ProcessLauncher final : public ProcessLauncher {
public:
    ProcessOutcome RunAndWait(const std::string& programPath, const std::string& commandLine) override;
};

} // namespace vantaro
