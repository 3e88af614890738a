#pragma once
// What a Vantaro run shows at the moment, for the message of a failed wait: whether it still
// runs (or its exit code) and the titles of its visible windows.

#include "e2e/UiDriver.h"

#include <string>

namespace vantaro::e2e {

inline std::string ProgramState(const VantaroProcess& vantaro) {
    std::string state = vantaro.Running() ? "running" : "ended with " + std::to_string(vantaro.ExitCode());
    state += "; windows:";
    for (HWND window : vantaro.TopWindows()) state += " \"" + WindowText(window) + "\"";
    return state;
}

} // namespace vantaro::e2e
