// The install sequence over the real chain (driver installer, remote-access binding, dial-up
// entry, modem registry configuration) with fakes of the platform only: which step ends a run,
// what the user is told, and what the outcome dialog later finds in the flags.

#include "app/OutcomeText.h"
#include "fakes/ApnCases.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeDeviceSetup.h"
#include "fakes/FakeProcessLauncher.h"
#include "fakes/FakeRasLibrary.h"
#include "fakes/FakeRegistry.h"
#include "fakes/ModemInfText.h"
#include "fakes/SettingsFormFixture.h"
#include "modem/InstallRecord.h"
#include "modem/ModemRegistry.h"
#include "workflow/FormInstallReport.h"
#include "workflow/InstallSequence.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>

namespace vantaro {
namespace {

using testing::FakeClock;
using testing::FakeDeviceSetup;
using testing::FakeFileSearch;
using testing::FakeProcessLauncher;
using testing::FakeRasLibrary;
using testing::FakeRegistry;
using Devices = std::vector<FakeRasLibrary::Device>;

const Devices kOneModem = {{"modem", "ZOR GPRS Modem"}};
const std::string kDriverKey = NumberedSubKey(kModemClassKey, 0);

// An install with no window: nobody to tell.
class QuietReport final : public InstallReport {
public:
    void Show(const std::string&) override {}
    void Status(const std::string&) override {}
    std::string LookUpMessage(const std::string& key) const override { return key; }
};

// The Settings dialog with COM5 chosen, right after the install button saved its fields.
class InstallSequenceTest : public ::testing::Test, protected testing::SettingsFormFixture {
protected:
    InstallSequenceTest() {
        profile.Reset(
            "[Setting]\nnumber=*99#\nusername=user\npassword=pw\napn=cmnet\nconn_mode=1\ndns1=1.2.3.4\ndns2=5.6.7.8\n"
            "connection_name=My GPRS\n[BaseSetting]\nhardwareid_in_inf=USB\\VID_1782&PID_0003&MI_01\n"
            "[Chinese]\nmodemsetsu=OK\n");
        form.LoadSettings();
        controls.SetItems(IDC_PORT_LIST, {"COM3", "COM5"});
        controls.SetCurSel(IDC_PORT_LIST, 1);
        files.files = {{"modem_inf.inf", "C:\\Vantaro\\modem_inf.inf"},
                       {"modem_inf64.inf", "C:\\Vantaro\\modem_inf64.inf"}};
        files.contents = {{"C:\\Vantaro\\modem_inf.inf", testing::ModemInf()},
                          {"C:\\Vantaro\\modem_inf64.inf", testing::ModemInf()},
                          {std::string("C:\\Vantaro\\") + testing::kInfDriverPath, "MZ"}};
        // The modem appears among the remote-access devices when the driver is in; each pause
        // of the sequence moves on to the next scan.
        scans = {kOneModem, kOneModem};
        clock.onSleep = [this] {
            ras.devices = scans.empty() ? Devices{} : scans.front();
            if (!scans.empty()) scans.pop_front();
        };
        registry.CreateKey(kRootModemKey);
        registry.SetString(kDriverKey, "DriverDesc", kModemDriverDesc);
    }

    InstallResult Run() {
        // An install that stopped keeps the buttons off until a save gives them back.
        if (!form.Allows(IDC_INSTALL)) form.SaveSettings();
        std::optional<InstallRequest> request = form.BeginInstall(process);
        if (!request) return InstallResult::Stopped;
        const InstallResult result = RunInstallSequence(*request, platform, report);
        form.EndInstall(result);
        return result;
    }
    std::string Outcome() const {
        return ComposeOutcomeText(controls.endedWithOk ? kModalOk : 2, form.modemInstalled, form.connectionCreated,
                                  form.PortName(), form.ConnectionName());
    }
    bool ModemConfigured() const { return registry.Find(kDriverKey, "AttachedTo") != nullptr; }

    ProcessKind process = ProcessKind::Native32;
    std::deque<Devices> scans;
    FakeDeviceSetup setup;
    FakeProcessLauncher processes;
    FakeFileSearch files;
    FakeRasLibrary ras;
    FakeRegistry registry;
    FakeClock clock;
    FakeRegistry record;
    InstallPlatform platform{setup, processes, files, ras, registry, clock, record};
    testing::RecordingMessages workerMessages;
    FormInstallReport report{form, workerMessages};
};

TEST_F(InstallSequenceTest, ASuccessfulRunBindsTheEntryToTheLastModemAndConfiguresTheModem) {
    scans = {kOneModem, {{"modem", "first"}, {"modem", "second"}}};
    EXPECT_EQ(Run(), InstallResult::Done);
    EXPECT_TRUE(workerMessages.Shown().empty());
    EXPECT_NE(std::find(setup.calls.begin(), setup.calls.end(),
                        "UpdateDriverForPlugAndPlayDevices USB\\VID_1782&PID_0003&MI_01 C:\\Vantaro\\modem_inf.inf"),
              setup.calls.end());
    EXPECT_EQ(clock.sleeps, (std::vector<std::uint32_t>{1000, 1000}));
    ASSERT_EQ(ras.propertiesCalls.size(), 1u);
    const ras::RASENTRYA& entry = ras.propertiesCalls[0].entry;
    EXPECT_EQ(ras.propertiesCalls[0].entryName, "My GPRS");
    EXPECT_STREQ(entry.szLocalPhoneNumber, "*99#");
    EXPECT_STREQ(entry.szDeviceName, "second");
    ASSERT_EQ(ras.dialParamsCalls.size(), 1u);
    EXPECT_STREQ(ras.dialParamsCalls[0].dialParams.szUserName, "user");
    EXPECT_STREQ(ras.dialParamsCalls[0].dialParams.szPassword, "pw");
    ASSERT_TRUE(ModemConfigured());
    EXPECT_EQ(registry.Find(kDriverKey, "AttachedTo")->text, "COM5");
    EXPECT_EQ(registry.Find(kDriverKey, "UserInit")->text, "at+eslp=0;+cgdcont=1,\"IP\",\"cmnet\"");
    EXPECT_EQ(controls.GetText(IDC_STATUS), "OK");
    EXPECT_TRUE(controls.IsEnabled(IDC_INSTALL));
    EXPECT_FALSE(controls.Ended());
    EXPECT_EQ(form.modemInstalled, 1);
    EXPECT_EQ(form.connectionCreated, 1);
    EXPECT_EQ(form.PortName(), "COM5");
    EXPECT_EQ(Outcome(), "The Installation is canceled.");  // the user leaves with Exit
}

TEST_F(InstallSequenceTest, NoSelectedPortStopsBeforeAnythingElse) {
    controls.SetCurSel(IDC_PORT_LIST, -1);
    EXPECT_EQ(Run(), InstallResult::NoPort);
    EXPECT_EQ(workerMessages.Shown(), std::vector<std::string>{"Fail to open model port,please insert phone"});
    EXPECT_EQ(controls.GetText(IDC_STATUS), "Fail to open model port,please insert phone");
    EXPECT_TRUE(controls.IsEnabled(IDC_INSTALL));
    EXPECT_TRUE(files.searched.empty());
}

TEST_F(InstallSequenceTest, TheInfNameFollowsThePlatformAndItsDefault) {
    files.files.clear();
    Run();
    process = ProcessKind::Wow64;
    Run();
    profile.WriteString("BaseSetting", "modem_inf_file64", "phone64.inf");
    profile.WriteString("BaseSetting", "modem_inf_file", "phone32.inf");
    Run();
    // A native 64-bit process runs on 64-bit Windows too, and removes devices itself.
    process = ProcessKind::Native64;
    Run();
    form.SaveSettings();
    const std::optional<InstallRequest> native64 = form.BeginInstall(ProcessKind::Native64);
    ASSERT_TRUE(native64);
    EXPECT_EQ(native64->platform, InfPlatform::Amd64);
    EXPECT_EQ(native64->removalRoute, ChooseRemovalRoute(false));
    form.EndInstall(InstallResult::NoInf);
    process = ProcessKind::Native32;
    Run();
    EXPECT_EQ(files.searched, (std::vector<std::string>{"modem_inf.inf", "modem_inf64.inf", "phone64.inf",
                                                        "phone64.inf", "phone32.inf"}));
}

TEST_F(InstallSequenceTest, AMissingInfOrHardwareIdStopsWithTheButtonsLeftDisabled) {
    files.files.clear();
    EXPECT_EQ(Run(), InstallResult::NoInf);
    profile.WriteString("BaseSetting", "hardwareid_in_inf", "");
    files.files = {{"modem_inf.inf", "C:\\modem_inf.inf"}};
    EXPECT_EQ(Run(), InstallResult::NoHardwareId);
    EXPECT_EQ(workerMessages.Shown(), (std::vector<std::string>{"Fail to get modem inf file in ini file.",
                                                                "Fail to get hardware id from ini file."}));
    EXPECT_FALSE(controls.IsEnabled(IDC_INSTALL));
    EXPECT_TRUE(setup.calls.empty());
}

TEST_F(InstallSequenceTest, AnOverlongHardwareIdIsRefusedBeforeAnythingIsInstalled) {
    profile.WriteString("BaseSetting", "hardwareid_in_inf", std::string(511, 'H'));
    EXPECT_EQ(Run(), InstallResult::ValueTooLong);
    EXPECT_EQ(workerMessages.Shown(), std::vector<std::string>{install::kHardwareIdTooLongMessage});
    EXPECT_TRUE(setup.calls.empty());
    EXPECT_TRUE(controls.IsEnabled(IDC_INSTALL));
    profile.WriteString("BaseSetting", "hardwareid_in_inf", std::string(510, 'H'));
    EXPECT_NE(Run(), InstallResult::ValueTooLong);
}

TEST_F(InstallSequenceTest, AFailedDriverInstallEndsTheDialogWithTheModemNotInstalled) {
    setup.Fail("UpdateDriverForPlugAndPlayDevices", 5);
    EXPECT_EQ(Run(), InstallResult::DriverFailed);
    EXPECT_EQ(workerMessages.Shown().back(), "Fail to install a modem device!");
    EXPECT_TRUE(controls.endedWithOk);
    EXPECT_TRUE(ras.enumCalls.empty());
    EXPECT_EQ(Outcome(), "Fail to install the modem on COM5.");
}

TEST_F(InstallSequenceTest, NoModemOnTheFirstScanEndsTheDialog) {
    scans = {Devices{}};
    EXPECT_EQ(Run(), InstallResult::NoRasModem);
    EXPECT_EQ(workerMessages.Shown(), std::vector<std::string>{"Fail to Find RAS Modem Device"});
    EXPECT_TRUE(controls.endedWithOk);
    EXPECT_EQ(Outcome(), "Fail to create the Internet Connection.");
}

TEST_F(InstallSequenceTest, AnUnloadedRemoteAccessLibraryCountsAsNoModem) {
    ras.loadFails = true;
    EXPECT_EQ(Run(), InstallResult::NoRasModem);
    EXPECT_EQ(workerMessages.Shown(), std::vector<std::string>{"Fail to Find RAS Modem Device"});
    EXPECT_TRUE(controls.endedWithOk);
}

TEST_F(InstallSequenceTest, NoModemOnTheSecondScanStopsWithTheDialogOpen) {
    scans = {kOneModem, {}};
    EXPECT_EQ(Run(), InstallResult::NoRasModemLater);
    EXPECT_EQ(workerMessages.Shown(), std::vector<std::string>{"Fail to Find RAS Modem Device"});
    EXPECT_FALSE(controls.Ended());
    EXPECT_EQ(form.modemInstalled, 1);
    EXPECT_TRUE(ras.propertiesCalls.empty());
}

TEST_F(InstallSequenceTest, AFailedEntrySkipsTheModemConfigurationWhateverAnEarlierRunMade) {
    form.connectionCreated = 1;  // as an earlier run left it
    ras.setPropertiesResult = 621;
    EXPECT_EQ(Run(), InstallResult::EntryFailed);
    EXPECT_EQ(workerMessages.Shown(), std::vector<std::string>{"Fail to create a Internet Connection."});
    EXPECT_TRUE(controls.IsEnabled(IDC_INSTALL));
    EXPECT_FALSE(ModemConfigured()) << "an entry made by an earlier run must not let this one configure the modem";
    EXPECT_NE(controls.GetText(IDC_STATUS), "OK");
}

TEST_F(InstallSequenceTest, AModemWhoseKeysCannotBeWrittenIsAFailureNotASuccess) {
    registry.refuseFullAccess = true;
    EXPECT_EQ(Run(), InstallResult::RegistryFailed) << "a script would read this run as a success";
    EXPECT_EQ(workerMessages.Shown(), std::vector<std::string>{install::kRegistryFailedMessage});
    EXPECT_NE(controls.GetText(IDC_STATUS), "OK");
    EXPECT_TRUE(controls.IsEnabled(IDC_INSTALL));
}

TEST_F(InstallSequenceTest, AnEntryValueTooLongForThePhoneBookIsNamedInTheStatusLine) {
    controls.SetText(IDC_PHONE, std::string(129, '9'));
    EXPECT_EQ(Run(), InstallResult::EntryFailed);
    EXPECT_EQ(workerMessages.Shown(), std::vector<std::string>{"Fail to create a Internet Connection."});
    EXPECT_EQ(controls.GetText(IDC_STATUS),
              "Fail to create a Internet Connection: the phone number is longer than 128 characters");
    EXPECT_TRUE(controls.IsEnabled(IDC_INSTALL));
}

// One install of its own for each row.
struct OneInstall final : InstallSequenceTest {
    void TestBody() override {}
    using InstallSequenceTest::ModemConfigured, InstallSequenceTest::Run, InstallSequenceTest::ras,
        InstallSequenceTest::record, InstallSequenceTest::platform, InstallSequenceTest::setup,
        SettingsFormFixture::controls, SettingsFormFixture::profile;
};

TEST(InstallSequence, AnEntryThatWasThereBeforeIsKeptUnlessAskedAndIsNeverRecordedAsOurs) {
    const std::string kept =
        "Modem installed. The dial-up connection \"My GPRS\" was there before and is kept as it was "
        "(replace_entry=1 in Setting.ini replaces it).";
    const struct {
        std::uint32_t validate;  // 183: the phone book has an entry of that name
        const char* replaceEntry;
        bool ourEarlierInstall;  // the record names the entry
        std::size_t writes;
        bool recorded;
        std::string status;
    } cases[] = {
        {0, "0", false, 1, true, "OK"},
        {183, "0", false, 0, false, kept},
        {183, "", false, 0, false, kept},
        {183, "1", false, 1, false, "OK"},
        {183, "0", true, 1, true, "OK"},  // our own entry takes this run's values
    };
    for (const auto& c : cases) {
        OneInstall run;
        if (c.ourEarlierInstall) AddToInstallRecord(run.record, RecordedKind::DialupEntry, "my gprs", true);
        run.profile.WriteString("Setting", "replace_entry", c.replaceEntry);
        run.ras.validateResult = c.validate;
        EXPECT_EQ(run.Run(), InstallResult::Done) << c.validate << c.replaceEntry;
        EXPECT_EQ(run.ras.propertiesCalls.size(), c.writes) << c.validate << c.replaceEntry;
        EXPECT_EQ(ReadInstallRecord(run.record).record.dialupEntries.size(), c.recorded ? 1u : 0u)
            << c.validate << c.replaceEntry;
        EXPECT_EQ(run.controls.GetText(IDC_STATUS), c.status) << c.validate << c.replaceEntry;
        EXPECT_TRUE(run.ModemConfigured()) << "the modem is configured all the same";
    }
}

// As /install runs it: the request read from Setting.ini, with no dialog to have checked it.
TEST(InstallSequence, AnApnThatIsNoApnIsRefusedBeforeAnythingIsInstalled) {
    for (const testing::ApnCase& c : testing::kApnCases) {
        for (const char* connMode : {"1", "0"}) {
            OneInstall run;
            run.profile.WriteString("Setting", "apn", c.apn);
            run.profile.WriteString("Setting", "conn_mode", connMode);
            const InstallRequest request = ReadInstallRequest(run.profile, ProcessKind::Native32, "COM5",
                                                              BuildInitString(run.profile.ReadString("Setting", "apn", "")));
            QuietReport quiet;
            const InstallResult result = RunInstallSequence(request, run.platform, quiet);
            EXPECT_EQ(result == InstallResult::ApnRefused, !c.accepted) << c.apn << " conn_mode " << connMode;
            if (!c.accepted) EXPECT_TRUE(run.setup.calls.empty()) << c.apn << ": nothing may be installed";
        }
    }
}

TEST_F(InstallSequenceTest, AMissingConnModeCountsAsGprsAndDoubleZeroAsCsd) {
    const InstallRequest missing = ReadInstallRequest(testing::MemoryProfile(""), ProcessKind::Native32, "COM1", "");
    const InstallRequest csd = ReadInstallRequest(testing::MemoryProfile("[Setting]\nconn_mode=00\n"), ProcessKind::Native32, "COM1", "");
    EXPECT_EQ(missing.connectionMode, 1);
    EXPECT_EQ(csd.connectionMode, 0);
    EXPECT_EQ(missing.entryName, "GPRS Connection");
    EXPECT_EQ(missing.helperInfName, "modem_inf64.inf");
    // The sequence's own INF comes from [BaseSetting], the helper's from [Setting].
    const InstallRequest both = ReadInstallRequest(
        testing::MemoryProfile("[BaseSetting]\nmodem_inf_file64=base.inf\n[Setting]\nmodem_inf_file64=own64.inf\n"),
        ProcessKind::Wow64, "COM1", "");
    EXPECT_EQ(both.infName, "base.inf");
    EXPECT_EQ(both.helperInfName, "own64.inf");
}

TEST_F(InstallSequenceTest, ADialogClosedDuringARunIsNeverTouchedAgainNorReadForItsValues) {
    clock.onSleep = [this] {
        ras.devices = kOneModem;
        controls.End();
    };
    std::optional<InstallRequest> request = form.BeginInstall(ProcessKind::Native32);
    ASSERT_TRUE(request);
    const int statusWrites = controls.setTextCount[IDC_STATUS];
    EXPECT_EQ(RunInstallSequence(*request, platform, report), InstallResult::Stopped);
    EXPECT_EQ(controls.setTextCount[IDC_STATUS], statusWrites);
    EXPECT_FALSE(controls.endedWithOk);
    EXPECT_TRUE(ras.propertiesCalls.empty());
    EXPECT_FALSE(ModemConfigured());
}

TEST_F(InstallSequenceTest, TheInitStringAndPortAreTheOnesShownWhenTheInstallStarted) {
    std::optional<InstallRequest> request = form.BeginInstall(ProcessKind::Native32);
    ASSERT_TRUE(request);
    // The dialog ends (its controls read empty from now on) before the run gets to the registry.
    controls.End();
    QuietReport quiet;
    ASSERT_EQ(RunInstallSequence(*request, platform, quiet), InstallResult::Done);
    EXPECT_EQ(registry.Find(kDriverKey, "AttachedTo")->text, "COM5");
    EXPECT_EQ(registry.Find(kDriverKey, "UserInit")->text, "at+eslp=0;+cgdcont=1,\"IP\",\"cmnet\"");
}

TEST_F(InstallSequenceTest, ASecondInstallIsRefusedWhileOneRuns) {
    ASSERT_TRUE(form.BeginInstall(ProcessKind::Native32));
    form.SaveSettings();  // says "saveset", which must not give the buttons back
    EXPECT_FALSE(controls.IsEnabled(IDC_INSTALL));
    EXPECT_FALSE(controls.IsEnabled(IDC_DIAL));
    EXPECT_FALSE(form.BeginInstall(ProcessKind::Native32)) << "a second install must not start beside the first";
    form.EndInstall(InstallResult::Done);
    EXPECT_TRUE(controls.IsEnabled(IDC_INSTALL));
    EXPECT_TRUE(form.BeginInstall(ProcessKind::Native32));
}

// A wrong INF is named in plain words before anything is installed, then the install fails.
class WrongInf : public InstallSequenceTest {
protected:
    void ExpectRefused(const std::string& inf, const std::string& said) {
        files.contents["C:\\Vantaro\\modem_inf.inf"] = inf;
        EXPECT_EQ(Run(), InstallResult::DriverFailed);
        EXPECT_EQ(workerMessages.Shown(), (std::vector<std::string>{said, "Fail to install a modem device!"}));
        EXPECT_TRUE(setup.calls.empty()) << "no device may be made for a wrong INF";
        EXPECT_TRUE(controls.endedWithOk);
    }
};

TEST_F(WrongInf, OfAnotherClass) {
    ExpectRefused(testing::Replaced(testing::ModemInf(), "Class=Modem", "Class=Net"),
                  "The driver file is not a modem driver: its device class is Net.");
}

TEST_F(WrongInf, WithoutAModelForTheHardwareId) {
    ExpectRefused(testing::Replaced(testing::ModemInf(), "VID_1782", "VID_9999"),
                  "The modem driver file has no driver for the hardware id USB\\VID_1782&PID_0003&MI_01 on this "
                  "version of Windows.");
}

TEST_F(WrongInf, WithoutTheFileItCopiesInTheLanguagesOwnWords) {
    profile.WriteString("Chinese", "infnofile", "QUE %s");
    files.contents.erase(std::string("C:\\Vantaro\\") + testing::kInfDriverPath);
    ExpectRefused(testing::ModemInf(), std::string("QUE ") + testing::kInfDriverPath);
}

} // namespace
} // namespace vantaro
