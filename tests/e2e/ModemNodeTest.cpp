// The real modemnode.exe under Wine: its exact output and exit codes. Wine's configuration
// manager cannot locate the root of the device tree (CM_Locate_DevNodeA answers CR_FAILURE),
// so a run with two arguments must end cleanly with the failure code and create nothing.

#include "e2e/UiDriver.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vantaro::e2e {
namespace {

constexpr DWORD kFailureExit = 1;
constexpr DWORD kUsageExit = 2;
const std::string kWrongArgument = "Wrong Argument!\r\n";

// modemnode.exe from the distribution folder, with its output captured.
ProgramRun RunModemNode(const std::vector<std::string>& arguments) {
    std::string line;
    for (const std::string& argument : arguments) line += (line.empty() ? "" : " ") + argument;
    return RunWithArguments(DistFolder() + "\\modemnode.exe", line);
}

bool EnumKeyExists(const std::string& instanceId) {
    return MachineKeyExists("SYSTEM\\CurrentControlSet\\Enum\\" + instanceId);
}

TEST(ModemNode, AnyArgumentCountButTwoPrintsWrongArgumentAndExitsWithTheUsageCode) {
    for (const auto& arguments : std::vector<std::vector<std::string>>{{}, {"MODEM"}, {"MODEM", "COM4", "COM5"}}) {
        const ProgramRun run = RunModemNode(arguments);
        ASSERT_TRUE(run.finished) << arguments.size() << " arguments: modemnode did not end";
        EXPECT_EQ(run.output, kWrongArgument) << arguments.size() << " arguments";
        EXPECT_EQ(run.exitCode, kUsageExit) << arguments.size() << " arguments";
    }
}

TEST(ModemNode, AnIdLongerThanThirtyOneCharactersIsAUsageErrorAndCreatesNothing) {
    const ProgramRun run = RunModemNode({"MODEM", "COM4567890123456789012"});
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.output, kWrongArgument);
    EXPECT_EQ(run.exitCode, kUsageExit);
    EXPECT_FALSE(EnumKeyExists("Root\\MODEM\\COM4567890123456789012"));
}

TEST(ModemNode, WhereTheConfigurationManagerFindsNoRootTheRunFailsCleanlyAndSilently) {
    const ProgramRun run = RunModemNode({"MODEM", "COM4"});
    ASSERT_TRUE(run.finished) << "modemnode did not end";
    EXPECT_EQ(run.output, "");
    EXPECT_EQ(run.exitCode, kFailureExit) << "neither success nor a crash";
    EXPECT_FALSE(EnumKeyExists("Root\\MODEM\\COM4"));
}

} // namespace
} // namespace vantaro::e2e
