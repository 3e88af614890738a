#pragma once
// The install sequence's platform on Windows: SetupAPI and the 64-bit helper for the driver,
// the remote-access service for the modem scan and the dial-up entry, the registry for the
// modem's configuration. Only wiring: each service is its subsystem's own Win32 class.

#include "dialup/win32/SystemRasLibrary.h"
#include "modem/win32/Win32DeviceSetup.h"
#include "modem/win32/Win32FileSearch.h"
#include "modem/win32/Win32ProcessLauncher.h"
#include "modem/win32/Win32Registry.h"
#include "platform/win32/Win32Clock.h"
#include "workflow/InstallSequence.h"

namespace vantaro {

struct Win32InstallPlatform {
    Win32InstallPlatform() : services{setup, processes, files, ras, registry, clock, record} {}
    Win32InstallPlatform(const Win32InstallPlatform&) = delete;
    Win32InstallPlatform& operator=(const Win32InstallPlatform&) = delete;

    Win32DeviceSetup setup;
    Win32ProcessLauncher processes;
    Win32FileSearch files;
    SystemRasLibrary ras;
    Win32Registry registry;
    Win32Clock clock;
    Win32Registry record{RegistryView::SixtyFourBit};
    InstallPlatform services;
};

// Whether this 32-bit program runs on 64-bit Windows, which takes the 64-bit INF.
bool RunningUnderWow64();
// This process: 32-bit on 32-bit Windows, 32-bit under WOW64, or 64-bit.
ProcessKind RunningProcessKind();

} // namespace vantaro
