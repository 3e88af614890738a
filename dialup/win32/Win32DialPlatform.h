#pragma once
// What a dial session needs from the platform, in one place for the Settings dialog to own.

#include "dialup/win32/Win32DialEvents.h"
#include "dialup/win32/Win32RasDialService.h"
#include "platform/win32/Win32Clock.h"

namespace vantaro {

struct Win32DialPlatform {
    Win32RasDialService ras;
    Win32DialEvents events;
    Win32Clock clock;
};

} // namespace vantaro
