#pragma once
// The running Windows as the INF check compares a driver file with it: its true version (not
// the one an older program is told) and the language of its setup texts.

#include "modem/InfCheck.h"

namespace vantaro {

RunningWindows ReadRunningWindows();

} // namespace vantaro
