#pragma once
// The one line the outcome dialog words from how the Settings dialog ended.

#include <string>

namespace vantaro {

// IDOK and IDCANCEL, without <windows.h>.
inline constexpr int kModalOk = 1;

std::string ComposeOutcomeText(int modalResult, int modemInstalled, int connectionCreated,
                               const std::string& portName, const std::string& connectionName);

} // namespace vantaro
