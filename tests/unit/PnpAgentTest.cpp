// pnpagent64's answers to its command line, against device-installation services in memory.

#include "fakes/ModemInfText.h"
#include "pnpagent64/AgentCommand.h"

#include <gtest/gtest.h>

namespace vantaro::pnpagent {
namespace {

constexpr char kId[] = "USB\\VID_1782&PID_0003&MI_01";
constexpr char kInf[] = "C:\\Vantaro\\modem_inf64.inf";

class FakeDriverInstaller final : public DriverInstaller {
public:
    bool FileExists(const std::string& path) override {
        const std::string driver = std::string("\\") + testing::kInfDriverPath;
        const bool isDriver = path.size() >= driver.size() && path.compare(path.size() - driver.size(), driver.size(), driver) == 0;
        return isDriver ? driverBesideInf : infExists;
    }
    bool ReadInf(const std::string&, std::string& bytes) override {
        bytes = infText;
        return infReadable;
    }
    DeviceMatch MatchDevices(const std::string&, const std::string&) override { return match; }
    bool UpdateDriver(const std::string& hardwareId, const std::string& infPath, bool& restartNeeded,
                      std::uint32_t& error) override {
        ++updates;
        restartNeeded = restart;
        error = updateError;
        return updateError == 0;
    }

    bool infExists = true;
    bool infReadable = true;
    std::string infText = testing::ModemInf();
    bool driverBesideInf = true;
    DeviceMatch match{1, 1};
    bool restart = false;
    std::uint32_t updateError = 0;
    int updates = 0;
};

class PnpAgentTest : public ::testing::Test {
protected:
    AgentResult Run(std::vector<std::string> arguments) { return RunAgent(arguments, installer); }
    AgentResult Update(const std::string& id = kId, const std::string& inf = kInf) {
        return Run({"UpdateDriverForPlugAndPlayDevices", id, inf});
    }

    FakeDriverInstaller installer;
};

TEST_F(PnpAgentTest, AnInstalledDriverExitsNonZeroAndSaysSo) {
    const AgentResult result = Update();
    EXPECT_NE(result.exitCode, 0);
    EXPECT_EQ(result.line, "Installed the driver for USB\\VID_1782&PID_0003&MI_01 from \"C:\\Vantaro\\modem_inf64.inf\".");
    EXPECT_EQ(installer.updates, 1);
}

TEST_F(PnpAgentTest, ANeededRestartIsSaid) {
    installer.restart = true;
    const AgentResult result = Update();
    EXPECT_NE(result.exitCode, 0);
    EXPECT_NE(result.line.find("restarted"), std::string::npos) << result.line;
}

TEST_F(PnpAgentTest, AnyOtherCommandLineGetsTheUsageAndExitsZero) {
    const std::vector<std::vector<std::string>> wrong = {
        {},
        {"UpdateDriverForPlugAndPlayDevices"},
        {"UpdateDriverForPlugAndPlayDevices", kId},
        {"UpdateDriverForPlugAndPlayDevices", kId, kInf, "extra"},
        {"updatedriverforplugandplaydevices", kId, kInf},
        {"Install", kId, kInf},
    };
    for (const auto& arguments : wrong) {
        const AgentResult result = Run(arguments);
        EXPECT_EQ(result.exitCode, 0) << arguments.size() << " arguments";
        EXPECT_EQ(result.line, "usage: pnpagent64.exe UpdateDriverForPlugAndPlayDevices <hardware id> \"<INF path>\" | "
                               "RemoveDevice \"<instance id>\" | RemoveDriverPackage <oemNN.inf>");
    }
    EXPECT_EQ(installer.updates, 0);
}

struct Refusal {
    const char* name;
    void (*arrange)(FakeDriverInstaller&, std::string& id, std::string& inf);
    const char* says;
};

void PrintTo(const Refusal& refusal, std::ostream* out) { *out << refusal.name; }

class PnpAgentRefusalTest : public PnpAgentTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(PnpAgentRefusalTest, ExitsZeroWithoutUpdatingAndSaysWhy) {
    std::string id = kId;
    std::string inf = kInf;
    GetParam().arrange(installer, id, inf);
    const AgentResult result = Update(id, inf);
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(installer.updates, 0);
    EXPECT_NE(result.line.find(GetParam().says), std::string::npos) << result.line;
    EXPECT_EQ(result.line.find('\n'), std::string::npos) << "one line";
}

INSTANTIATE_TEST_SUITE_P(
    BeforeTheUpdate, PnpAgentRefusalTest,
    ::testing::Values(
        Refusal{"EmptyHardwareId", [](FakeDriverInstaller&, std::string& id, std::string&) { id.clear(); },
                "hardware id is empty"},
        Refusal{"HardwareIdPastTheDeviceIdLimit",
                [](FakeDriverInstaller&, std::string& id, std::string&) { id = std::string(200, 'h'); },
                "longer than 199"},
        Refusal{"InfPathPastMaxPath",
                [](FakeDriverInstaller&, std::string&, std::string& inf) { inf = "C:\\" + std::string(257, 'p'); },
                "longer than 259"},
        Refusal{"EmptyInfPath", [](FakeDriverInstaller&, std::string&, std::string& inf) { inf.clear(); },
                "no INF file"},
        Refusal{"MissingInf", [](FakeDriverInstaller& f, std::string&, std::string&) { f.infExists = false; },
                "no INF file \"C:\\Vantaro\\modem_inf64.inf\""},
        Refusal{"UnreadableInf", [](FakeDriverInstaller& f, std::string&, std::string&) { f.infReadable = false; },
                "The modem driver file C:\\Vantaro\\modem_inf64.inf is missing or cannot be read."},
        Refusal{"DriverFileNotBesideTheInf",
                [](FakeDriverInstaller& f, std::string&, std::string&) { f.driverBesideInf = false; },
                "The file driver\\zorser.sys, which the modem driver installs"},
        Refusal{"NoDeviceWithTheId", [](FakeDriverInstaller& f, std::string&, std::string&) { f.match = {0, 0}; },
                "no device has the hardware id USB\\VID_1782&PID_0003&MI_01"},
        Refusal{"NoDriverInTheInf", [](FakeDriverInstaller& f, std::string&, std::string&) { f.match = {2, 0}; },
                "has no driver for the hardware id"}),
    [](const ::testing::TestParamInfo<Refusal>& info) { return std::string(info.param.name); });

TEST_F(PnpAgentTest, LimitsAreInclusive) {
    const std::string longestId(199, 'h');
    installer.infText = testing::Replaced(installer.infText, testing::kInfHardwareId, longestId);
    EXPECT_NE(Update(longestId, kInf).exitCode, 0);
    installer.infText = testing::ModemInf();
    EXPECT_NE(Update(kId, "C:\\" + std::string(256, 'p')).exitCode, 0);
}

TEST_F(PnpAgentTest, ARefusedUpdateExitsZeroWithTheError) {
    installer.updateError = 0xE000020B;
    const AgentResult result = Update();
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_NE(result.line.find("error 0xE000020B"), std::string::npos) << result.line;
}

TEST(MultiStringLists, FindsAnyEntryWithoutRegardToCase) {
    const std::string ids("USB\\VID_1782&PID_0003&REV_0100&MI_01\0USB\\VID_1782&PID_0003&MI_01\0\0", 66);
    EXPECT_TRUE(MultiStringLists(ids, "USB\\VID_1782&PID_0003&MI_01"));
    EXPECT_TRUE(MultiStringLists(ids, "usb\\vid_1782&pid_0003&mi_01"));
    EXPECT_FALSE(MultiStringLists(ids, "USB\\VID_1782&PID_0003"));
    EXPECT_FALSE(MultiStringLists(std::string("\0A\0\0", 4), "A")) << "the empty entry ends the list";
    EXPECT_TRUE(MultiStringLists("A", "A")) << "a list without its final NULs still reads";
    EXPECT_FALSE(MultiStringLists("", ""));
}

} // namespace
} // namespace vantaro::pnpagent
