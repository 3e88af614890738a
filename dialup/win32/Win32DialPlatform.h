#pragma once
// What a dial session needs from the platform, in one place for the Settings dialog to own.

#include "dialup/win32/SystemRasLibrary.h"
#include "dialup/win32/Win32DialEvents.h"
#include "platform/win32/Win32Clock.h"

namespace vantaro {

struct Win32DialPlatform {
    SystemRasLibrary ras;
    Win32DialEvents events;
    Win32Clock clock;
};

} // namespace vantaro
