// pnpagent64.exe: installs a driver with the 64-bit driver-update service, and removes devices
// and driver packages, for Vantaro, which as a 32-bit program cannot do that itself on 64-bit
// Windows.

#include "pnpagent64/AgentCommand.h"
#include "platform/win32/DllSearch.h"
#include "pnpagent64/win32/Win32DriverInstaller.h"
#include "modem/win32/Win32DeviceRemover.h"

#include <cstdio>

int main(int argc, char** argv) {
    vantaro::RestrictDllSearchToSystemFolder();
    std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    vantaro::Win32DeviceRemover remover;
    std::optional<vantaro::pnpagent::AgentResult> removal = vantaro::pnpagent::RunRemoval(arguments, remover);
    vantaro::pnpagent::Win32DriverInstaller installer;
    const vantaro::pnpagent::AgentResult result =
        removal ? *removal : vantaro::pnpagent::RunAgent(arguments, installer);
    std::printf("%s\n", result.line.c_str());
    std::fflush(stdout);
    return result.exitCode;
}
