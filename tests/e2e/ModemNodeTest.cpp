// The real modemnode.exe under Wine: its exact output and exit codes. Wine's configuration
// manager cannot locate the root of the device tree (CM_Locate_DevNodeA answers CR_FAILURE),
// so a run with two arguments must end cleanly with the failure code and create nothing.

#include "e2e/UiDriver.h"
#include "platform/win32/UniqueHandle.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vantaro::e2e {
namespace {

constexpr DWORD kFailureExit = 1;
constexpr DWORD kUsageExit = 2;
constexpr DWORD kRunWait = 30000;
const std::string kWrongArgument = "Wrong Argument!\r\n";

struct ModemNodeRun {
    bool ended = false;
    DWORD exitCode = 0;
    std::string output;
};

using Handle = UniqueKernelHandle;

// Runs modemnode.exe from the distribution folder with its standard output on a pipe.
ModemNodeRun RunModemNode(const std::vector<std::string>& arguments) {
    ModemNodeRun run;
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    Handle readEnd, writeEnd;
    if (!::CreatePipe(readEnd.put(), writeEnd.put(), &inherit, 0)) return run;
    ::SetHandleInformation(readEnd.get(), HANDLE_FLAG_INHERIT, 0);

    std::string commandLine = "\"" + DistFolder() + "\\modemnode.exe\"";
    for (const std::string& argument : arguments) commandLine += " " + argument;
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd.get();
    startup.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION started{};
    if (!::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                          &started)) {
        ADD_FAILURE() << "cannot start " << commandLine << ": error " << ::GetLastError();
        return run;
    }
    Handle process(started.hProcess), thread(started.hThread);
    writeEnd.reset();

    run.ended = ::WaitForSingleObject(process.get(), kRunWait) == WAIT_OBJECT_0;
    if (!run.ended) {
        ::TerminateProcess(process.get(), 0xDEAD);
        return run;
    }
    ::GetExitCodeProcess(process.get(), &run.exitCode);
    char buffer[256];
    DWORD got = 0;
    while (::ReadFile(readEnd.get(), buffer, sizeof(buffer), &got, nullptr) && got > 0) run.output.append(buffer, got);
    return run;
}

bool EnumKeyExists(const std::string& instanceId) {
    return MachineKeyExists("SYSTEM\\CurrentControlSet\\Enum\\" + instanceId);
}

TEST(ModemNode, AnyArgumentCountButTwoPrintsWrongArgumentAndExitsWithTheUsageCode) {
    for (const auto& arguments : std::vector<std::vector<std::string>>{{}, {"MODEM"}, {"MODEM", "COM4", "COM5"}}) {
        const ModemNodeRun run = RunModemNode(arguments);
        ASSERT_TRUE(run.ended) << arguments.size() << " arguments: modemnode did not end";
        EXPECT_EQ(run.output, kWrongArgument) << arguments.size() << " arguments";
        EXPECT_EQ(run.exitCode, kUsageExit) << arguments.size() << " arguments";
    }
}

TEST(ModemNode, AnIdLongerThanThirtyOneCharactersIsAUsageErrorAndCreatesNothing) {
    const ModemNodeRun run = RunModemNode({"MODEM", "COM4567890123456789012"});
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(run.output, kWrongArgument);
    EXPECT_EQ(run.exitCode, kUsageExit);
    EXPECT_FALSE(EnumKeyExists("Root\\MODEM\\COM4567890123456789012"));
}

TEST(ModemNode, WhereTheConfigurationManagerFindsNoRootTheRunFailsCleanlyAndSilently) {
    const ModemNodeRun run = RunModemNode({"MODEM", "COM4"});
    ASSERT_TRUE(run.ended) << "modemnode did not end";
    EXPECT_EQ(run.output, "");
    EXPECT_EQ(run.exitCode, kFailureExit) << "neither success nor a crash";
    EXPECT_FALSE(EnumKeyExists("Root\\MODEM\\COM4"));
}

} // namespace
} // namespace vantaro::e2e
