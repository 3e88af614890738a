// modemnode <class segment> <port name>: creates the root-enumerated device node
// Root\<class segment>\<port name>, describes it as "ZOR Modem" and writes the port name as
// "AttachedTo" into its hardware key. Exit code 0 on success, 1 on a failure, 2 on a wrong
// command line (which also prints "Wrong Argument!").

#include "modemnode/RootModemNode.h"
#include "modemnode/win32/Win32DeviceNodes.h"
#include "platform/win32/DllSearch.h"

#include <windows.h>

int main(int argc, char** argv) {
    vantaro::RestrictDllSearchToSystemFolder();
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    modemnode::Win32DeviceNodes nodes;
    std::string output;
    const int exitCode = modemnode::RunModemNode(arguments, nodes, output);
    if (!output.empty()) {
        // Straight to the handle: the bytes go out as they are, "\r\n" included.
        DWORD written = 0;
        ::WriteFile(::GetStdHandle(STD_OUTPUT_HANDLE), output.data(), static_cast<DWORD>(output.size()), &written,
                    nullptr);
    }
    return exitCode;
}
