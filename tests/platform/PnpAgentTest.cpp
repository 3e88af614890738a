// pnpagent64.exe, the real 64-bit program, under Wine: it installs the sample driver for a
// device that has the hardware id, and exits with 0 when there is nothing it can install.

#include "ModemDevices.h"
#include "e2e/UiDriver.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace vantaro {
namespace {

using ::testing::IsEmpty;
using ::testing::SizeIs;
using e2e::ProgramRun;
using platformtest::kModemHardwareId;
using platformtest::ModemDevices;
using platformtest::StringValue;

constexpr char kForeignHardwareId[] = "USB\\VID_1782&PID_FFFF&MI_01";

class PnpAgentTest : public ::testing::Test {
protected:
    void SetUp() override {
        platformtest::RemoveAllModemDevices();
        ASSERT_THAT(ModemDevices(), IsEmpty());
    }
    void TearDown() override { platformtest::RemoveAllModemDevices(); }

    ProgramRun Agent(const std::string& arguments) {
        return e2e::RunProgram(e2e::PnpAgentFolder() + "\\pnpagent64.exe", "pnpagent64.exe " + arguments);
    }
    ProgramRun Update(const std::string& hardwareId, const std::string& infName = "modem_inf64.inf") {
        return Agent("UpdateDriverForPlugAndPlayDevices " + hardwareId + " \"" + dist + "\\" + infName + "\"");
    }
    static int Lines(const std::string& output) {
        int lines = 0;
        for (char c : output) lines += c == '\n';
        return lines;
    }

    const std::string dist = e2e::DistFolder();
};

TEST_F(PnpAgentTest, InstallsTheSampleDriverAndExitsNonZero) {
    ASSERT_TRUE(platformtest::CreateBareModemDevice(kModemHardwareId));
    const ProgramRun run = Update(kModemHardwareId);
    ASSERT_TRUE(run.started) << "pnpagent64.exe is not in " << e2e::PnpAgentFolder();
    ASSERT_TRUE(run.finished);
    EXPECT_NE(run.exitCode, 0u) << run.output;
    EXPECT_EQ(Lines(run.output), 1) << run.output;
    EXPECT_NE(run.output.find("Installed the driver for"), std::string::npos) << run.output;
    const auto devices = ModemDevices();
    ASSERT_THAT(devices, SizeIs(1));
    ASSERT_TRUE(devices[0].driverValues.count("DriverDesc")) << "no driver was installed";
    EXPECT_EQ(StringValue(devices[0].driverValues.at("DriverDesc")), "ZOR GPRS Modem");
}

TEST_F(PnpAgentTest, RemovesADeviceAndItsPackageWithTheExitCodesVantaroReads) {
    ASSERT_TRUE(platformtest::CreateBareModemDevice(kModemHardwareId));
    ASSERT_NE(Update(kModemHardwareId).exitCode, 0u);
    const auto devices = ModemDevices();
    ASSERT_THAT(devices, SizeIs(1));
    const std::string package =
        devices[0].driverValues.count("InfPath") ? StringValue(devices[0].driverValues.at("InfPath")) : "";

    const std::string device = "RemoveDevice \"" + devices[0].instanceId + "\"";
    EXPECT_EQ(Agent(device).exitCode, 1u) << "removed";
    EXPECT_THAT(ModemDevices(), IsEmpty());
    EXPECT_EQ(Agent(device).exitCode, 2u) << "nothing there";
    if (package.empty()) GTEST_SKIP() << "Wine keeps no InfPath: no package to remove";
    EXPECT_EQ(Agent("RemoveDriverPackage " + package).exitCode, 1u) << "removed";
    EXPECT_EQ(Agent("RemoveDriverPackage " + package).exitCode, 2u) << "nothing there";
}

TEST_F(PnpAgentTest, ExitsZeroForAHardwareIdTheInfDoesNotHave) {
    ASSERT_TRUE(platformtest::CreateBareModemDevice(kForeignHardwareId));
    const ProgramRun run = Update(kForeignHardwareId);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    EXPECT_NE(run.output.find("has no driver for the hardware id"), std::string::npos) << run.output;
    const auto devices = ModemDevices();
    ASSERT_THAT(devices, SizeIs(1));
    EXPECT_EQ(devices[0].driverValues.count("DriverDesc"), 0u) << "nothing may be installed";
}

TEST_F(PnpAgentTest, ExitsZeroWhenNoDeviceHasTheHardwareId) {
    const ProgramRun run = Update(kModemHardwareId);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    EXPECT_NE(run.output.find("no device has the hardware id"), std::string::npos) << run.output;
}

TEST_F(PnpAgentTest, AnyOtherCommandLineGetsTheUsageAndExitsZero) {
    for (const std::string& arguments : {std::string(), std::string("Install x y"),
                                        std::string("UpdateDriverForPlugAndPlayDevices ") + kModemHardwareId}) {
        const ProgramRun run = Agent(arguments);
        ASSERT_TRUE(run.finished);
        EXPECT_EQ(run.exitCode, 0u) << arguments;
        EXPECT_EQ(run.output.rfind("usage: pnpagent64.exe UpdateDriverForPlugAndPlayDevices", 0), 0u) << run.output;
        EXPECT_EQ(Lines(run.output), 1) << run.output;
    }
}

} // namespace
} // namespace vantaro
