// Driver installation against device setup, process start and file search in memory: the
// platform calls in their order with their arguments, the device removed and the set destroyed
// on every way out, and every message.

#include "fakes/ApnCases.h"
#include "fakes/FakeDeviceSetup.h"
#include "fakes/FakeProcessLauncher.h"
#include "fakes/MemoryProfile.h"
#include "fakes/RecordingMessages.h"
#include "modem/ModemInstaller.h"
#include "modem/PnpAgentCommand.h"
#include "platform/PlatformCodes.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

namespace vantaro {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::FakeDeviceSetup;
using testing::FakeFileSearch;
using testing::FakeProcessLauncher;
using testing::MemoryProfile;
using testing::RecordingMessages;
using FakeRegistryValue = testing::FakeRegistry::Value;

constexpr char kHardwareId[] = "USB\\VID_1782&PID_0003&MI_01";
constexpr char kInf[] = "C:\\Program Files\\Vantaro\\modem_inf.inf";
constexpr char kInf64[] = "C:\\Program Files\\Vantaro\\modem_inf64.inf";
constexpr char kAgent[] = "C:\\Program Files\\Vantaro\\pnpagent64.exe";
constexpr std::uint32_t kSomeSetupError = 0xE000020B;  // ERROR_NO_SUCH_DEVINST

class InstallModemDeviceTest : public ::testing::Test {
protected:
    InstallModemDeviceTest() { files.files["modem_inf64.inf"] = kInf64; }

    bool Install(const std::string& apn = "cmnet", int connMode = 1, const std::string& hardwareId = kHardwareId) {
        return installer.InstallModemDevice(hardwareId, kInf, "COM3", apn, connMode);
    }
    bool Called(const std::string& call) const {
        return std::find(setup.calls.begin(), setup.calls.end(), call) != setup.calls.end();
    }
    const FakeRegistryValue* DriverValue(const std::string& name) const {
        return setup.driverKeys.Find(FakeDeviceSetup::DriverKeyPath(0), name);
    }
    // The device was removed, and the set destroyed after that as the very last call.
    void ExpectRemovedAndDestroyed() const {
        ASSERT_GE(setup.calls.size(), 2u);
        EXPECT_EQ(setup.calls[setup.calls.size() - 2], "RemoveDevice 0");
        EXPECT_EQ(setup.calls.back(), "DestroyDeviceInfoList");
        EXPECT_EQ(setup.liveSets, 0);
    }
    void ExpectDestroyedNotRemoved() const {
        EXPECT_FALSE(Called("RemoveDevice 0")) << "the device must stay";
        ASSERT_FALSE(setup.calls.empty());
        EXPECT_EQ(setup.calls.back(), "DestroyDeviceInfoList");
        EXPECT_EQ(setup.liveSets, 0);
    }

    FakeDeviceSetup setup;
    FakeProcessLauncher processes;
    FakeFileSearch files;
    RecordingMessages messages;
    ModemInstaller installer{setup, processes, files, "modem_inf64.inf", messages};
};

TEST_F(InstallModemDeviceTest, InstallsInProcessWithEveryCallInOrder) {
    EXPECT_TRUE(Install());
    const std::string driverKey = FakeDeviceSetup::DriverKeyPath(0);
    EXPECT_THAT(setup.calls,
                ElementsAre(std::string("GetInfClass ") + kInf, "CreateDeviceInfoList Modem", "CreateDeviceInfo Modem",
                            "SetHardwareId 0", "RegisterDeviceInfo 0", "OpenDriverKey 0", "CreateDriverKey 0",
                            "write " + driverKey + " AttachedTo", "write " + driverKey + " UserInit",
                            "close " + driverKey, "RegisterDeviceInfo 0",
                            std::string("UpdateDriverForPlugAndPlayDevices ") + kHardwareId + " " + kInf,
                            // the package the driver came from, for the install record
                            "OpenDriverKey 0", "close " + driverKey, "DestroyDeviceInfoList"));
    EXPECT_THAT(messages.Shown(), IsEmpty());
    EXPECT_TRUE(processes.runs.empty());
    // The hardware id goes over as a one-entry multi-string: the id, then two NULs.
    ASSERT_EQ(setup.hardwareIdBytes.size(), 1u);
    EXPECT_EQ(setup.hardwareIdBytes[0], std::string(kHardwareId) + std::string(2, '\0'));
    EXPECT_EQ(setup.hardwareIdBytes[0].size(), std::string(kHardwareId).size() + 2);
}

TEST_F(InstallModemDeviceTest, SeedsTheDriverKeyWithPortAndInitString) {
    ASSERT_TRUE(Install("cmnet", 1));
    ASSERT_NE(DriverValue("AttachedTo"), nullptr);
    EXPECT_EQ(DriverValue("AttachedTo")->text, "COM3");
    EXPECT_EQ(DriverValue("AttachedTo")->type, FakeRegistryValue::Type::String);
    ASSERT_NE(DriverValue("UserInit"), nullptr);
    EXPECT_EQ(DriverValue("UserInit")->text, "at+cgdcont=1,\"IP\",\"cmnet\",\"\",0,0");
}

TEST(DriverKeyInitString, GprsCarriesTheApnAndCsdIsPlainAt) {
    EXPECT_EQ(DriverKeyInitString("cmnet", 1), "at+cgdcont=1,\"IP\",\"cmnet\",\"\",0,0");
    EXPECT_EQ(DriverKeyInitString("internet", 7), "at+cgdcont=1,\"IP\",\"internet\",\"\",0,0") << "any non-zero is GPRS";
    EXPECT_EQ(DriverKeyInitString("", 1), "at+cgdcont=1,\"IP\",\"\",\"\",0,0");
    EXPECT_EQ(DriverKeyInitString("cmnet", 0), "at");
}

TEST(DriverKeyInitString, AnApnOf480CharactersIsTheLongestThatFits) {
    const std::optional<std::string> longest = DriverKeyInitString(std::string(480, 'a'), 1);
    ASSERT_TRUE(longest.has_value());
    EXPECT_EQ(longest->size(), 507u) << "507 characters and the NUL fill the 508-byte buffer";
    EXPECT_FALSE(DriverKeyInitString(std::string(481, 'a'), 1).has_value());
    EXPECT_EQ(DriverKeyInitString(std::string(5000, 'a'), 0), "at") << "CSD does not use the APN";
}

// The init string is never built from what is no APN, and the install refuses it with its
// message before any call to device setup; so too an APN one character too long for the string.
TEST_F(InstallModemDeviceTest, AnApnThatCannotGoIntoTheInitStringIsRefusedBeforeAnythingIsCreated) {
    for (const testing::ApnCase& c : testing::kApnCases) {
        EXPECT_EQ(IsApnText(c.apn), c.accepted) << c.apn;
        EXPECT_EQ(DriverKeyInitString(c.apn, 1).has_value(), c.accepted) << c.apn;
        if (c.accepted) continue;
        messages.Clear();
        EXPECT_FALSE(Install(c.apn, 1)) << c.apn;
        EXPECT_THAT(messages.Shown(), ElementsAre(kApnNotValidMessage)) << c.apn;
    }
    messages.Clear();
    EXPECT_FALSE(Install(std::string(481, 'a'), 1));
    EXPECT_THAT(messages.Shown(), ElementsAre(kApnTooLongMessage));
    EXPECT_THAT(setup.calls, IsEmpty());
}

TEST_F(InstallModemDeviceTest, TheHardwareIdEndsAtItsFirstNul) {
    EXPECT_TRUE(Install("cmnet", 1, std::string("ABC\0junk", 8)));
    ASSERT_EQ(setup.hardwareIdBytes.size(), 1u);
    EXPECT_EQ(setup.hardwareIdBytes[0], std::string("ABC\0\0", 5));
    EXPECT_TRUE(Called(std::string("UpdateDriverForPlugAndPlayDevices ABC ") + kInf));
}

// ---- failures before the device is registered: nothing to remove ----

TEST_F(InstallModemDeviceTest, AnInfThatNamesNoClassEndsSilently) {
    setup.Fail("GetInfClass", 0xE0000102);
    EXPECT_FALSE(Install());
    EXPECT_THAT(messages.Shown(), IsEmpty());
    EXPECT_THAT(setup.calls, ElementsAre(std::string("GetInfClass ") + kInf));
}

TEST_F(InstallModemDeviceTest, ARefusedSetEndsSilently) {
    setup.Fail("CreateDeviceInfoList", 8);
    EXPECT_FALSE(Install());
    EXPECT_THAT(messages.Shown(), IsEmpty());
    EXPECT_FALSE(Called("DestroyDeviceInfoList")) << "no set was made, none may be destroyed";
}

TEST_F(InstallModemDeviceTest, AnElementNotCreatedAsksForAdministratorMode) {
    setup.Fail("CreateDeviceInfo", platform_code::kErrorAccessDenied);
    EXPECT_FALSE(Install());
    EXPECT_THAT(messages.Shown(), ElementsAre("Please run the program in Administrator mode 5"));
    ExpectDestroyedNotRemoved();
}

TEST_F(InstallModemDeviceTest, TheAdministratorMessageShowsTheErrorAsASignedNumber) {
    setup.Fail("CreateDeviceInfo", kSomeSetupError);
    EXPECT_FALSE(Install());
    EXPECT_THAT(messages.Shown(), ElementsAre("Please run the program in Administrator mode -536870389"));
}

TEST_F(InstallModemDeviceTest, ARefusedHardwareIdEndsSilently) {
    setup.Fail("SetHardwareId", 13);
    EXPECT_FALSE(Install());
    EXPECT_THAT(messages.Shown(), IsEmpty());
    ExpectDestroyedNotRemoved();
    EXPECT_FALSE(Called("RegisterDeviceInfo 0"));
}

// ---- failures while the driver key is seeded: the device is removed ----

struct SeedFailure {
    const char* name;
    void (*arrange)(FakeDeviceSetup&);
};

void PrintTo(const SeedFailure& failure, std::ostream* out) { *out << failure.name; }

class SeedFailureTest : public InstallModemDeviceTest, public ::testing::WithParamInterface<SeedFailure> {};

TEST_P(SeedFailureTest, RemovesTheDeviceSilently) {
    GetParam().arrange(setup);
    EXPECT_FALSE(Install());
    EXPECT_THAT(messages.Shown(), IsEmpty());
    ExpectRemovedAndDestroyed();
    EXPECT_FALSE(Called(std::string("UpdateDriverForPlugAndPlayDevices ") + kHardwareId + " " + kInf));
    EXPECT_EQ(setup.driverKeys.OpenKeys(), 0) << "every driver key that was opened is closed";
}

INSTANTIATE_TEST_SUITE_P(
    EveryStep, SeedFailureTest,
    ::testing::Values(
        SeedFailure{"FirstRegistration", [](FakeDeviceSetup& s) { s.Fail("RegisterDeviceInfo", 5, 1); }},
        SeedFailure{"DriverKeyAlreadyThere", [](FakeDeviceSetup& s) { s.DriverKeyExists(); }},
        SeedFailure{"DriverKeyOpenFailsOtherwise", [](FakeDeviceSetup& s) { s.Fail("OpenDriverKey", 5); }},
        SeedFailure{"DriverKeyNotCreatable", [](FakeDeviceSetup& s) { s.Fail("CreateDriverKey", 5); }},
        SeedFailure{"SecondRegistration", [](FakeDeviceSetup& s) { s.Fail("RegisterDeviceInfo", 5, 2); }}),
    [](const ::testing::TestParamInfo<SeedFailure>& info) { return std::string(info.param.name); });

TEST_F(InstallModemDeviceTest, AnExistingDriverKeyIsClosedAndLeftAlone) {
    setup.DriverKeyExists();
    EXPECT_FALSE(Install());
    const std::string driverKey = FakeDeviceSetup::DriverKeyPath(0);
    EXPECT_TRUE(Called("close " + driverKey));
    EXPECT_EQ(setup.driverKeys.ValueCount(driverKey), 0u) << "nothing may be written into a key that was there";
    EXPECT_FALSE(Called("CreateDriverKey 0"));
}

TEST_F(InstallModemDeviceTest, FailedDriverKeyWritesDoNotStopTheInstallation) {
    setup.driverKeys.failingWrites["AttachedTo"] = 5;
    setup.driverKeys.failingWrites["UserInit"] = 5;
    EXPECT_TRUE(Install());
    EXPECT_TRUE(Called("RegisterDeviceInfo 0"));
    EXPECT_THAT(messages.Shown(), IsEmpty());
}

// ---- the driver update ----

TEST_F(InstallModemDeviceTest, ARefusedUpdateRemovesTheDeviceSilently) {
    setup.Fail("UpdateDriverForPlugAndPlayDevices", kSomeSetupError);
    EXPECT_FALSE(Install());
    EXPECT_THAT(messages.Shown(), IsEmpty());
    ExpectRemovedAndDestroyed();
    EXPECT_TRUE(processes.runs.empty()) << "only ERROR_IN_WOW64 hands the update to the helper";
    EXPECT_TRUE(files.searched.empty());
}

class Wow64Test : public InstallModemDeviceTest {
protected:
    Wow64Test() { setup.Fail("UpdateDriverForPlugAndPlayDevices", platform_code::kErrorInWow64); }
};

TEST_F(Wow64Test, TheHelperInstallsTheDriverAndTheDeviceStays) {
    processes.outcome = {ProcessOutcome::State::Exited, 1};
    EXPECT_TRUE(Install());
    EXPECT_THAT(messages.Shown(), IsEmpty());
    ExpectDestroyedNotRemoved();
    EXPECT_THAT(files.searched, ElementsAre("modem_inf64.inf"));
    ASSERT_EQ(processes.runs.size(), 1u);
    EXPECT_EQ(processes.runs[0].programPath, kAgent) << "the helper beside the program, by its full path";
    EXPECT_EQ(processes.runs[0].commandLine,
              "pnpagent64.exe UpdateDriverForPlugAndPlayDevices USB\\VID_1782&PID_0003&MI_01 "
              "\"C:\\Program Files\\Vantaro\\modem_inf64.inf\"");
}

TEST_F(Wow64Test, ExitCodeZeroIsAFailureAndRemovesTheDevice) {
    processes.outcome = {ProcessOutcome::State::Exited, 0};
    EXPECT_FALSE(Install());
    EXPECT_THAT(messages.Shown(), ElementsAre("Error: pnpagent64 exit code == 0", "InstallDriverfor64BitWindows fail!"));
    ExpectRemovedAndDestroyed();
}

TEST_F(Wow64Test, AnUnreadableExitCodeIsAFailureAndRemovesTheDevice) {
    processes.outcome = {ProcessOutcome::State::ExitCodeUnreadable, 0};
    EXPECT_FALSE(Install());
    EXPECT_THAT(messages.Shown(),
                ElementsAre("Error: fail to get pnpagent64 exit code!", "InstallDriverfor64BitWindows fail!"));
    ExpectRemovedAndDestroyed();
}

TEST_F(Wow64Test, AHelperThatDoesNotStartRemovesTheDevice) {
    processes.outcome = {ProcessOutcome::State::NotStarted, 0};
    EXPECT_FALSE(Install());
    EXPECT_THAT(messages.Shown(), ElementsAre("Fail to create process fail!", "InstallDriverfor64BitWindows fail!"));
    ExpectRemovedAndDestroyed();
}

TEST_F(Wow64Test, WithoutAProgramFolderTheHelperIsNotStartedFromAnywhereElse) {
    files.programFolder.clear();
    EXPECT_FALSE(Install());
    EXPECT_TRUE(processes.runs.empty());
    EXPECT_THAT(messages.Shown(), ElementsAre("Fail to create process fail!", "InstallDriverfor64BitWindows fail!"));
    ExpectRemovedAndDestroyed();
}

TEST_F(Wow64Test, AMissing64BitInfIsSaidAndTheHelperStillRunsWithAnEmptyPath) {
    files.files.clear();
    processes.outcome = {ProcessOutcome::State::Exited, 1};
    EXPECT_TRUE(Install());
    EXPECT_THAT(messages.Shown(), ElementsAre("Fail to get modem inf file for 64 bit in ini file."));
    ASSERT_EQ(processes.runs.size(), 1u);
    EXPECT_EQ(processes.runs[0].commandLine,
              "pnpagent64.exe UpdateDriverForPlugAndPlayDevices USB\\VID_1782&PID_0003&MI_01 \"\"");
}

TEST_F(Wow64Test, ACommandLineTooLongIsRefusedBeforeAnythingIsStarted) {
    const std::size_t besidesThePath =
        std::string("pnpagent64.exe UpdateDriverForPlugAndPlayDevices  \"\"").size() + std::string(kHardwareId).size();
    files.files["modem_inf64.inf"] = std::string(1024 - besidesThePath, 'p');
    EXPECT_FALSE(Install());
    EXPECT_TRUE(processes.runs.empty());
    EXPECT_THAT(messages.Shown(), ElementsAre(kPnpAgentCommandLineTooLongMessage, "InstallDriverfor64BitWindows fail!"));
    ExpectRemovedAndDestroyed();
}

// ---- the helper and its INF ----

TEST(PnpAgentCommandLine, ReadsAsTheHelperExpectsItByteForByte) {
    EXPECT_EQ(BuildPnpAgentCommandLine("USB\\VID_1782&PID_0003&MI_01", "C:\\Program Files\\Vantaro\\modem_inf64.inf"),
              "pnpagent64.exe UpdateDriverForPlugAndPlayDevices USB\\VID_1782&PID_0003&MI_01 "
              "\"C:\\Program Files\\Vantaro\\modem_inf64.inf\"");
}

TEST(PnpAgentCommandLine, FillsItsBufferTo1023CharactersAndNoFurther) {
    const std::string id = "USB\\VID_1782&PID_0003&MI_01";
    const std::size_t fixed = std::string("pnpagent64.exe UpdateDriverForPlugAndPlayDevices  \"\"").size() + id.size();
    const std::optional<std::string> longest =
        BuildPnpAgentCommandLine(id.c_str(), std::string(1023 - fixed, 'p').c_str());
    ASSERT_TRUE(longest.has_value());
    EXPECT_EQ(longest->size(), 1023u);
    EXPECT_FALSE(BuildPnpAgentCommandLine(id.c_str(), std::string(1024 - fixed, 'p').c_str()).has_value());
    EXPECT_FALSE(BuildPnpAgentCommandLine(std::string(5000, 'h').c_str(), "x.inf").has_value());
}

TEST_F(InstallModemDeviceTest, TheHelpersInfIsSearchedByTheNameItWasGiven) {
    files.files["own64.inf"] = "D:\\own64.inf";
    EXPECT_EQ(ModemInstaller(setup, processes, files, "own64.inf", messages).GetInf64Path(), "D:\\own64.inf");
    EXPECT_EQ(installer.GetInf64Path(), kInf64);
    EXPECT_THAT(files.searched, ElementsAre("own64.inf", "modem_inf64.inf"));
    EXPECT_THAT(messages.Shown(), IsEmpty());
}

} // namespace
} // namespace vantaro
