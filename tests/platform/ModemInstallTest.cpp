// The driver installation against Wine's real SetupAPI, registry and process start, with the
// sample INF files and pnpagent64.exe of the distribution folder. Each test starts and ends
// without any device of the modem class.
//
// Wine's in-process driver update never fails (it does not give ERROR_IN_WOW64, nor an error for
// a hardware id that no INF model has). Where a test needs the update refused, only that one
// call is replaced; everything else is the platform's.

#include "ModemDevices.h"
#include "e2e/UiDriver.h"
#include "fakes/RecordingMessages.h"
#include "modem/ModemInstaller.h"
#include "modem/ModemRegistry.h"
#include "modem/win32/Win32DeviceSetup.h"
#include "modem/win32/Win32FileSearch.h"
#include "modem/win32/Win32ProcessLauncher.h"
#include "modem/win32/Win32Registry.h"
#include "modem/win32/Wow64.h"
#include "platform/PlatformCodes.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace vantaro {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using platformtest::kModemHardwareId;
using platformtest::ModemDevice;
using platformtest::ModemDevices;
using platformtest::StringValue;

// The platform's device setup, except that the driver update is refused with `error`.
class RefusedUpdate final : public DeviceSetup {
public:
    explicit RefusedUpdate(std::uint32_t error) : error_(error) {}
    bool GetInfClass(const std::string& infPath, DeviceClass& deviceClass) override {
        return real_.GetInfClass(infPath, deviceClass);
    }
    std::unique_ptr<DeviceInfoSet> CreateDeviceInfoList(const DeviceClass& deviceClass) override {
        return real_.CreateDeviceInfoList(deviceClass);
    }
    bool UpdateDriverForPlugAndPlayDevices(const std::string&, const std::string&) override { return false; }
    std::uint32_t LastError() const override { return error_; }

private:
    Win32DeviceSetup real_;
    std::uint32_t error_;
};

// Sets the current folder for one test (the 64-bit INF is looked for on the search path).
class CurrentFolder {
public:
    explicit CurrentFolder(const std::string& folder) {
        char previous[MAX_PATH] = {};
        ::GetCurrentDirectoryA(sizeof previous, previous);
        previous_ = previous;
        ::SetCurrentDirectoryA(folder.c_str());
    }
    ~CurrentFolder() { ::SetCurrentDirectoryA(previous_.c_str()); }

private:
    std::string previous_;
};

class ModemInstallTest : public ::testing::Test {
protected:
    void SetUp() override {
        platformtest::RemoveAllModemDevices();
        ASSERT_THAT(ModemDevices(), IsEmpty()) << "a modem device is left over that cannot be removed";
    }
    void TearDown() override { platformtest::RemoveAllModemDevices(); }

    bool Install(DeviceSetup& setup, const std::string& infName, int connMode = 1, const std::string& apn = "cmnet") {
        ModemInstaller installer(setup, processes, files, helperInf, messages);
        return installer.InstallModemDevice(kModemHardwareId, dist + "\\" + infName, "COM5", apn, connMode);
    }

    // The one modem device there must be, with the sample driver's description.
    ModemDevice TheInstalledModem() {
        const std::vector<ModemDevice> devices = ModemDevices();
        EXPECT_EQ(devices.size(), 1u);
        if (devices.empty()) return {};
        const ModemDevice& modem = devices[0];
        EXPECT_EQ(modem.instanceId.rfind("ROOT\\MODEM\\", 0), 0u) << modem.instanceId;
        EXPECT_EQ(modem.hardwareIds, std::string(kModemHardwareId) + std::string(2, '\0'));
        EXPECT_TRUE(modem.hasDriverKey);
        auto description = modem.driverValues.find("DriverDesc");
        EXPECT_NE(description, modem.driverValues.end()) << "the INF's install did not run";
        if (description != modem.driverValues.end()) {
            EXPECT_EQ(StringValue(description->second), "ZOR GPRS Modem");
        }
        return modem;
    }

    const std::string dist = e2e::DistFolder();
    Win32DeviceSetup setup;
    Win32ProcessLauncher processes;
    Win32FileSearch files{e2e::PnpAgentFolder()};
    std::string helperInf = "modem_inf64.inf";  // as [Setting] modem_inf_file64 names it
    testing::RecordingMessages messages;
};

TEST_F(ModemInstallTest, TheSampleDriverInstallsIntoANewRootModemDevice) {
    EXPECT_TRUE(Install(setup, "modem_inf.inf"));
    EXPECT_THAT(messages.Shown(), IsEmpty());
    const ModemDevice modem = TheInstalledModem();
    ASSERT_TRUE(modem.driverValues.count("AttachedTo"));
    EXPECT_EQ(modem.driverValues.at("AttachedTo").type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(modem.driverValues.at("AttachedTo").data, std::string("COM5", 5)) << "the NUL is stored with the text";
    ASSERT_TRUE(modem.driverValues.count("UserInit"));
    EXPECT_EQ(modem.driverValues.at("UserInit").type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(StringValue(modem.driverValues.at("UserInit")), "at+cgdcont=1,\"IP\",\"cmnet\",\"\",0,0");
}

TEST_F(ModemInstallTest, The64BitSampleInstallsInProcessUnderWineAndCsdSeedsAt) {
    EXPECT_TRUE(Install(setup, "modem_inf64.inf", 0));
    EXPECT_THAT(messages.Shown(), IsEmpty());
    const ModemDevice modem = TheInstalledModem();
    ASSERT_TRUE(modem.driverValues.count("UserInit"));
    EXPECT_EQ(StringValue(modem.driverValues.at("UserInit")), "at");
}

TEST_F(ModemInstallTest, EachRunMakesANewDevice) {
    ASSERT_TRUE(Install(setup, "modem_inf.inf"));
    ASSERT_TRUE(Install(setup, "modem_inf.inf"));
    const std::vector<ModemDevice> devices = ModemDevices();
    ASSERT_EQ(devices.size(), 2u);
    EXPECT_NE(devices[0].instanceId, devices[1].instanceId);
}

TEST_F(ModemInstallTest, AnInfThatNamesNoClassEndsSilentlyWithoutADevice) {
    const std::string folder = e2e::WorkFolder("modem_install_noclass");
    e2e::WriteFile(folder + "\\noclass.inf", "[Version]\r\nSignature=\"$Windows NT$\"\r\n");
    ModemInstaller installer(setup, processes, files, helperInf, messages);
    EXPECT_FALSE(installer.InstallModemDevice(kModemHardwareId, folder + "\\noclass.inf", "COM5", "cmnet", 1));
    EXPECT_THAT(messages.Shown(), IsEmpty());
    EXPECT_THAT(ModemDevices(), IsEmpty());
}

TEST_F(ModemInstallTest, ARefusedUpdateRemovesTheDeviceItMade) {
    RefusedUpdate refused(0xE000020B);
    EXPECT_FALSE(Install(refused, "modem_inf.inf"));
    EXPECT_THAT(messages.Shown(), IsEmpty());
    EXPECT_THAT(ModemDevices(), IsEmpty()) << "the device and its driver key are removed again";
}

TEST_F(ModemInstallTest, RefusedAsOn64BitWindowsPnpAgentInstallsTheDriver) {
    RefusedUpdate wow64(platform_code::kErrorInWow64);
    CurrentFolder inDist(dist);
    EXPECT_TRUE(Install(wow64, "modem_inf.inf"));
    EXPECT_THAT(messages.Shown(), IsEmpty());
    const ModemDevice modem = TheInstalledModem();
    EXPECT_EQ(StringValue(modem.driverValues.at("AttachedTo")), "COM5") << "the seeded values stay";
}

TEST_F(ModemInstallTest, APnpAgentThatInstallsNothingIsAFailureThatRemovesTheDevice) {
    // The 64-bit INF named in the settings has no model for our hardware id.
    const std::string folder = e2e::WorkFolder("modem_install_foreign64");
    std::string foreign = e2e::ReadFile(dist + "\\modem_inf64.inf");
    for (std::size_t at = foreign.find("PID_0003"); at != std::string::npos; at = foreign.find("PID_0003", at))
        foreign.replace(at, 8, "PID_FFFF");
    e2e::WriteFile(folder + "\\foreign64.inf", foreign);
    helperInf = "foreign64.inf";
    RefusedUpdate wow64(platform_code::kErrorInWow64);
    CurrentFolder inWork(folder);
    EXPECT_FALSE(Install(wow64, "modem_inf.inf"));
    EXPECT_THAT(messages.Shown(), ElementsAre("Error: pnpagent64 exit code == 0", "InstallDriverfor64BitWindows fail!"));
    EXPECT_THAT(ModemDevices(), IsEmpty());
}

TEST_F(ModemInstallTest, AMissingPnpAgentIsSaidAndTheDeviceRemoved) {
    Win32FileSearch withoutAgent(e2e::WorkFolder("modem_install_noagent"));
    RefusedUpdate wow64(platform_code::kErrorInWow64);
    CurrentFolder inDist(dist);  // a pnpagent64.exe in the current folder must not be run either
    ModemInstaller installer(wow64, processes, withoutAgent, helperInf, messages);
    EXPECT_FALSE(installer.InstallModemDevice(kModemHardwareId, dist + "\\modem_inf.inf", "COM5", "cmnet", 1));
    EXPECT_THAT(messages.Shown(), ElementsAre("Fail to create process fail!", "InstallDriverfor64BitWindows fail!"));
    EXPECT_THAT(ModemDevices(), IsEmpty());
}

TEST_F(ModemInstallTest, TheRegistryConfigurationFindsTheInstalledModem) {
    ASSERT_TRUE(Install(setup, "modem_inf.inf"));
    Win32Registry registry;
    EXPECT_TRUE(ConfigureModemRegistry(registry, "COM9", "115200", "at+eslp=0;+cgdcont=1,\"IP\",\"cmnet\""));
    const ModemDevice modem = TheInstalledModem();  // its instance key has sub-keys: it stays
    EXPECT_EQ(StringValue(modem.driverValues.at("AttachedTo")), "COM9");
    EXPECT_EQ(StringValue(modem.driverValues.at("UserInit")), "at+eslp=0;+cgdcont=1,\"IP\",\"cmnet\"");
    ASSERT_TRUE(modem.driverValues.count("MaximumPortSpeed"));
    EXPECT_EQ(modem.driverValues.at("MaximumPortSpeed").type, static_cast<DWORD>(REG_DWORD));
}

// The test prefix is 64-bit: the 32-bit build runs under WOW64 there and takes the helper's
// route; the 64-bit build does not and installs the driver itself.
TEST(IsRunningUnderWow64, IsTrueForThe32BitBuildInA64BitPrefixOnly) {
    BOOL wow64 = FALSE;
    ASSERT_TRUE(::IsWow64Process(::GetCurrentProcess(), &wow64));
    EXPECT_EQ(IsRunningUnderWow64(), wow64 != FALSE);
    EXPECT_EQ(IsRunningUnderWow64(), sizeof(void*) == 4);
}

} // namespace
} // namespace vantaro
