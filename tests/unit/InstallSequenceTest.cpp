// The install sequence against fakes of every service it calls: which step ends a run, what
// the user is told, and what the outcome dialog later finds in the flags.

#include "app/OutcomeText.h"
#include "fakes/FakeControls.h"
#include "fakes/MemoryProfile.h"
#include "fakes/RecordingMessages.h"
#include "modem/InstallSequence.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <set>

namespace vantaro {
namespace {

using testing::FakeControls;
using testing::MemoryProfile;
using testing::RecordingMessages;

class NoPorts final : public SerialPortSource {
public:
    void EnumerateSerialPorts(std::vector<std::uint32_t>& ports) const override { ports.clear(); }
};

class FakeHold final : public RasLibraryHold {
public:
    explicit FakeHold(bool loaded) : loaded_(loaded) {}
    bool Loaded() const override { return loaded_; }

private:
    bool loaded_;
};

struct EntryCall {
    std::vector<std::string> arguments;
};

class FakeInstallServices final : public InstallServices {
public:
    bool IsRunningUnderWow64() override { return wow64; }
    std::string SearchExecutablePath(const std::string& fileName) override {
        searched.push_back(fileName);
        return foundFiles.count(fileName) ? "C:\\Vantaro\\" + fileName : std::string();
    }
    int InstallModemDevice(const std::string& hardwareId, const std::string& infPath, const std::string& portName,
                           const std::string& apn, int connectionMode) override {
        installs.push_back({hardwareId, infPath, portName, apn, std::to_string(connectionMode)});
        return installResult;
    }
    bool EnumModemDevices(std::vector<ModemDeviceName>& devices) override {
        devices.clear();
        if (!scans.empty()) {
            devices = scans.front();
            scans.pop_front();
        }
        ++scanCount;
        return true;
    }
    std::unique_ptr<RasLibraryHold> BindRas() override { return std::make_unique<FakeHold>(rasLoaded); }
    bool CreateDialupEntry(const std::string& entryName, const std::string& phoneNumber, const std::string& userName,
                           const std::string& password, const std::string& dns1, const std::string& dns2,
                           const std::string& deviceType, const std::string& deviceName, std::string* refusal) override {
        entries.push_back({{entryName, phoneNumber, userName, password, dns1, dns2, deviceType, deviceName}});
        if (!entryResult && refusal) *refusal = entryRefusal;
        return entryResult;
    }
    int ConfigureModemRegistry(const std::string& portName, const std::string& speed,
                               const std::string& initString) override {
        configurations.push_back({portName, speed, initString});
        return 1;
    }
    void Sleep(unsigned milliseconds) override {
        sleeps.push_back(milliseconds);
        if (onSleep) onSleep();
    }

    bool wow64 = false;
    std::set<std::string> foundFiles = {"modem_inf.inf", "modem_inf64.inf"};
    int installResult = 1;
    std::deque<std::vector<ModemDeviceName>> scans;
    bool rasLoaded = true;
    bool entryResult = true;
    std::string entryRefusal;
    std::function<void()> onSleep;

    std::vector<std::string> searched;
    std::vector<std::vector<std::string>> installs;
    int scanCount = 0;
    std::vector<EntryCall> entries;
    std::vector<std::vector<std::string>> configurations;
    std::vector<unsigned> sleeps;
};

const std::vector<ModemDeviceName> kOneModem = {{"modem", "ZOR GPRS Modem"}};

class InstallSequenceTest : public ::testing::Test {
protected:
    InstallSequenceTest() {
        profile.Reset(
            "[Setting]\nnumber=*99#\nusername=user\npassword=pw\napn=cmnet\nconn_mode=1\ndns1=1.2.3.4\ndns2=5.6.7.8\n"
            "connection_name=My GPRS\n[BaseSetting]\nhardwareid_in_inf=USB\\VID_1782&PID_0003&MI_01\n"
            "[Chinese]\nmodemsetsu=OK\n");
        controls.SetItems(IDC_PORT_LIST, {"COM3", "COM5"});
        controls.SetCurSel(IDC_PORT_LIST, 1);
        controls.SetItems(IDC_LANGUAGE, {"Chinese", "English"});
        controls.SetItems(IDC_CONNECTION_TYPE, {"GPRS", "CSD"});
        controls.onTextChanged = [this](int id) {
            if (id == IDC_APN) form.RebuildInitString();
        };
        form.LoadSettings();
        controls.SetItems(IDC_PORT_LIST, {"COM3", "COM5"});
        controls.SetCurSel(IDC_PORT_LIST, 1);
        form.EnableActionButtons(false);  // as the install button leaves them
        services.scans = {kOneModem, kOneModem};
    }

    void Run() { RunInstallSequence(form, services, messages); }
    std::string Outcome() const {
        return ComposeOutcomeText(controls.endedWithOk ? kModalOk : 2, form.modemInstalled, form.connectionCreated,
                                  form.PortName(), form.ConnectionName());
    }

    MemoryProfile profile;
    FakeControls controls;
    RecordingMessages messages;
    RecordingMessages dialogMessages;
    NoPorts ports;
    SettingsForm form{profile, controls, dialogMessages, ports};
    FakeInstallServices services;
};

TEST_F(InstallSequenceTest, ASuccessfulRunBindsTheEntryToTheLastModemAndConfiguresTheModem) {
    services.scans = {kOneModem, {{"modem", "first"}, {"modem", "second"}}};
    Run();
    EXPECT_TRUE(messages.Shown().empty());
    ASSERT_EQ(services.installs.size(), 1u);
    EXPECT_EQ(services.installs[0], (std::vector<std::string>{"USB\\VID_1782&PID_0003&MI_01",
                                                              "C:\\Vantaro\\modem_inf.inf", "COM5", "cmnet", "1"}));
    EXPECT_EQ(services.sleeps, (std::vector<unsigned>{1000, 1000}));
    ASSERT_EQ(services.entries.size(), 1u);
    EXPECT_EQ(services.entries[0].arguments, (std::vector<std::string>{"My GPRS", "*99#", "user", "pw", "1.2.3.4",
                                                                       "5.6.7.8", "modem", "second"}));
    ASSERT_EQ(services.configurations.size(), 1u);
    EXPECT_EQ(services.configurations[0],
              (std::vector<std::string>{"COM5", "115200", "at+eslp=0;+cgdcont=1,\"IP\",\"cmnet\""}));
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
    Run();
    EXPECT_EQ(messages.Shown(), std::vector<std::string>{"Fail to open model port,please insert phone"});
    EXPECT_EQ(controls.GetText(IDC_STATUS), "Fail to open model port,please insert phone");
    EXPECT_TRUE(controls.IsEnabled(IDC_INSTALL));
    EXPECT_TRUE(services.searched.empty());
}

TEST_F(InstallSequenceTest, TheInfNameFollowsThePlatformAndItsDefault) {
    services.foundFiles = {};
    Run();
    services.wow64 = true;
    Run();
    profile.WriteString("BaseSetting", "modem_inf_file64", "phone64.inf");
    profile.WriteString("BaseSetting", "modem_inf_file", "phone32.inf");
    Run();
    services.wow64 = false;
    Run();
    EXPECT_EQ(services.searched,
              (std::vector<std::string>{"modem_inf.inf", "modem_inf64.inf", "phone64.inf", "phone32.inf"}));
}

TEST_F(InstallSequenceTest, AMissingInfOrHardwareIdStopsWithTheButtonsLeftDisabled) {
    services.foundFiles = {};
    Run();
    profile.Reset("[BaseSetting]\nhardwareid_in_inf=\n");
    services.foundFiles = {"modem_inf.inf"};
    Run();
    EXPECT_EQ(messages.Shown(), (std::vector<std::string>{"Fail to get modem inf file in ini file.",
                                                          "Fail to get hardware id from ini file."}));
    EXPECT_FALSE(controls.IsEnabled(IDC_INSTALL));
    EXPECT_TRUE(services.installs.empty());
}

TEST_F(InstallSequenceTest, AnOverlongHardwareIdIsRefusedBeforeAnythingIsInstalled) {
    profile.WriteString("BaseSetting", "hardwareid_in_inf", std::string(511, 'H'));
    Run();
    EXPECT_EQ(messages.Shown(), std::vector<std::string>{install::kHardwareIdTooLongMessage});
    EXPECT_TRUE(services.installs.empty());
    EXPECT_TRUE(controls.IsEnabled(IDC_INSTALL));
    profile.WriteString("BaseSetting", "hardwareid_in_inf", std::string(510, 'H'));
    Run();
    EXPECT_EQ(services.installs.size(), 1u);
}

TEST_F(InstallSequenceTest, AFailedDriverInstallEndsTheDialogWithTheModemNotInstalled) {
    services.installResult = 0;
    Run();
    EXPECT_EQ(messages.Shown(), std::vector<std::string>{"Fail to install a modem device!"});
    EXPECT_TRUE(controls.endedWithOk);
    EXPECT_EQ(services.scanCount, 0);
    EXPECT_EQ(Outcome(), "Fail to install the modem on COM5.");
}

TEST_F(InstallSequenceTest, NoModemOnTheFirstScanOrNoLibraryEndsTheDialog) {
    services.scans = {{}};
    Run();
    EXPECT_EQ(messages.Shown(), std::vector<std::string>{"Fail to Find RAS Modem Device"});
    EXPECT_TRUE(controls.endedWithOk);
    EXPECT_EQ(Outcome(), "Fail to create the Internet Connection.");
}

TEST_F(InstallSequenceTest, AnUnloadedRemoteAccessLibraryCountsAsNoModem) {
    services.rasLoaded = false;
    Run();
    EXPECT_EQ(messages.Shown(), std::vector<std::string>{"Fail to Find RAS Modem Device"});
    EXPECT_TRUE(controls.endedWithOk);
}

TEST_F(InstallSequenceTest, NoModemOnTheSecondScanStopsWithTheDialogOpen) {
    services.scans = {kOneModem, {{"isdn", "x"}}};
    services.scans[1].clear();
    Run();
    EXPECT_EQ(messages.Shown(), std::vector<std::string>{"Fail to Find RAS Modem Device"});
    EXPECT_FALSE(controls.Ended());
    EXPECT_EQ(form.modemInstalled, 1);
    EXPECT_TRUE(services.entries.empty());
}

TEST_F(InstallSequenceTest, AFailedEntrySkipsTheModemConfigurationUnlessAnEarlierRunMadeOne) {
    services.entryResult = false;
    Run();
    EXPECT_EQ(messages.Shown(), std::vector<std::string>{"Fail to create a Internet Connection."});
    EXPECT_TRUE(controls.IsEnabled(IDC_INSTALL));
    EXPECT_TRUE(services.configurations.empty());

    services.entryResult = true;
    services.scans = {kOneModem, kOneModem};
    Run();
    services.entryResult = false;
    services.scans = {kOneModem, kOneModem};
    Run();
    EXPECT_EQ(services.configurations.size(), 2u) << "the second run must still configure the modem";
}

TEST_F(InstallSequenceTest, AnEntryValueTooLongForThePhoneBookIsNamedInTheStatusLine) {
    services.entryResult = false;
    services.entryRefusal = "the phone number is longer than 128 characters";
    Run();
    EXPECT_EQ(messages.Shown(), std::vector<std::string>{"Fail to create a Internet Connection."});
    EXPECT_EQ(controls.GetText(IDC_STATUS),
              "Fail to create a Internet Connection: the phone number is longer than 128 characters");
    EXPECT_TRUE(controls.IsEnabled(IDC_INSTALL));
}

TEST_F(InstallSequenceTest, AMissingConnModeCountsAsGprsAndDoubleZeroAsCsd) {
    profile.Reset("[BaseSetting]\nhardwareid_in_inf=ID\n");
    Run();
    profile.Reset("[BaseSetting]\nhardwareid_in_inf=ID\n[Setting]\nconn_mode=00\n");
    services.scans = {kOneModem, kOneModem};
    Run();
    ASSERT_EQ(services.installs.size(), 2u);
    EXPECT_EQ(services.installs[0][4], "1");
    EXPECT_EQ(services.installs[1][4], "0");
    EXPECT_EQ(services.entries[0].arguments[0], "GPRS Connection");
}

TEST_F(InstallSequenceTest, ADialogClosedDuringARunIsNeverTouchedAgain) {
    services.onSleep = [this] { controls.End(); };
    const int statusWrites = controls.setTextCount[IDC_STATUS];
    Run();
    EXPECT_EQ(controls.setTextCount[IDC_STATUS], statusWrites);
    EXPECT_FALSE(controls.endedWithOk);
    EXPECT_TRUE(services.entries.empty());
    EXPECT_TRUE(services.configurations.empty());
}

} // namespace
} // namespace vantaro
