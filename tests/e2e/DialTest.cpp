// The real Vantaro.exe under Wine dialling through the rasapi32.dll double: the hidden dial and
// disconnect buttons (clicked by their commands), a dial that connects, one that fails, one that
// times out, one the service refuses, leaving the dialog while a dial still waits, and APNs tried
// in turn. Simulated phones wait on COM93 (roaming) and COM94 (at home, a SIM of 460-00)
// (tests/tools/simphone.py, see CMakeLists.txt).

#include "e2e/DialFixture.h"
#include "e2e/SerialCommOverride.h"
#include "modem/ModemRegistry.h"
#include "workflow/RoamingText.h"

#include <gtest/gtest.h>

#include <iostream>

namespace vantaro::e2e {
namespace {

// A user and a password, and a single dial: no redial.
constexpr char kSetting[] = "username=card\r\npassword=secret\r\nredial=0\r\n";

// The dial's own wait, as the program has it, and some room for a slow machine.
constexpr DWORD kDialWait = 20000;
constexpr DWORD kDialWaitWithRoom = kDialWait + 8000;

using DialTest = DialFixture;

TEST_F(DialTest, ADialShowsConecttingThenConnectedAndDisconnectHangsUp) {
    ras.Set("Dial", "outcome", "connect");
    ras.Set("Dial", "delay_ms", "800");
    HWND dialog = StartDialog(kSetting);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(SettledButtons(dialog, kIdleButtons), kIdleButtons);

    Click(dialog, IDC_DIAL);
    ASSERT_TRUE(WaitForStatus(dialog, "conectting")) << "status: " << ControlText(dialog, IDC_STATUS);
    EXPECT_EQ(SettledButtons(dialog, kDiallingButtons), kDiallingButtons);
    ASSERT_TRUE(WaitForStatus(dialog, "Connected.")) << "status: " << ControlText(dialog, IDC_STATUS);
    EXPECT_EQ(SettledButtons(dialog, kDiallingButtons), kDiallingButtons);
    SaveWindowImage(dialog, ArtifactsFolder() + "\\dial-connected.bmp");

    // The phone-book calls come from the system directory; the dial from the same library.
    const std::vector<std::string> log = ras.LogLines();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(::lstrcmpiA(log[0].c_str(), ("loaded from=" + rasdouble::Installation::SystemLibraryPath()).c_str()), 0)
        << log[0];
    const auto dials = ras.LogLinesStartingWith("RasDialA phonebook=");
    ASSERT_EQ(dials.size(), 1u);
    EXPECT_NE(dials[0].find("phonebook=<none> entry= phone=*99***1# "), std::string::npos) << dials[0];
    EXPECT_NE(dials[0].find("domain= notifier_type=0 handle_in=0"), std::string::npos) << dials[0];

    Click(dialog, IDC_DISCONNECT);
    ASSERT_TRUE(WaitForStatus(dialog, "dissucess")) << "status: " << ControlText(dialog, IDC_STATUS);
    EXPECT_EQ(SettledButtons(dialog, kIdleButtons), kIdleButtons);
    const std::string handle = DialHandle(ras, 0);
    EXPECT_EQ(ras.LogLinesStartingWith("RasHangUpA handle=" + handle + " result=0").size(), 1u);
    EXPECT_EQ(ras.LogLinesStartingWith("RasGetConnectStatusA handle=" + handle + " result=6").size(), 1u);

    Exit(dialog);
    EXPECT_EQ(ras.LogLinesStartingWith("RasHangUpA").size(), 1u) << "no connection was left to hang up";
}

TEST_F(DialTest, ARoamingPhoneIsNotDialledWhenTheSettingsSayDeny) {
    SerialCommOverride serialComm;  // the port list holds the roaming phone alone
    ASSERT_TRUE(serialComm.SetPortName("\\Device\\Serial0", "COM93"));
    ras.Set("Dial", "outcome", "connect");
    HWND dialog = StartDialog(std::string(kSetting) + "roaming=deny\r\n");
    ASSERT_NE(dialog, nullptr);
    Click(dialog, IDC_DIAL);
    ASSERT_TRUE(WaitForStatus(dialog, roamingtext::kDenied.english)) << "status: " << ControlText(dialog, IDC_STATUS);
    EXPECT_EQ(SettledButtons(dialog, kIdleButtons), kIdleButtons);
    EXPECT_TRUE(ras.LogLinesStartingWith("RasDialA").empty()) << "the roaming phone was dialled";
    Exit(dialog);
}

TEST_F(DialTest, AnErrorShowsTheServicesTextAndTheNextDialHangsUpTheLeftoverFirst) {
    ras.Set("Dial", "outcome", "error");
    ras.Set("Dial", "error", "678");
    ras.Set("Errors", "678", "The remote computer did not respond.");
    HWND dialog = StartDialog(kSetting);
    ASSERT_NE(dialog, nullptr);

    Click(dialog, IDC_DIAL);
    ASSERT_TRUE(WaitForStatus(dialog, "Error: 678 - The remote computer did not respond."))
        << "status: " << ControlText(dialog, IDC_STATUS);
    EXPECT_EQ(SettledButtons(dialog, kIdleButtons), kIdleButtons);

    ras.Set("Dial", "outcome", "connect");
    Click(dialog, IDC_DIAL);
    ASSERT_TRUE(WaitForStatus(dialog, "Connected.")) << "status: " << ControlText(dialog, IDC_STATUS);
    const std::vector<std::string> log = ras.LogLines();
    const std::size_t hangUp = IndexOf(log, "RasHangUpA handle=" + DialHandle(ras, 0) + " result=0");
    const std::size_t secondDial = IndexOf(log, "RasDialA started handle=" + DialHandle(ras, 1));
    EXPECT_LT(hangUp, secondDial) << "the failed dial's connection must be hung up before the next dial";

    // Leaving the dialog hangs up the live connection.
    Exit(dialog);
    EXPECT_EQ(ras.LogLinesStartingWith("RasHangUpA handle=" + DialHandle(ras, 1)).size(), 1u);
}

TEST_F(DialTest, ADialThatTheServiceRefusesSaysItsErrorAndGivesTheButtonsBack) {
    ras.Set("Dial", "outcome", "refuse");
    ras.Set("Errors", "678", "No answer.");
    HWND dialog = StartDialog(kSetting);
    ASSERT_NE(dialog, nullptr);
    Click(dialog, IDC_DIAL);
    ASSERT_TRUE(ras.WaitForLogLine("RasDialA refused"));
    ASSERT_TRUE(WaitForStatus(dialog, "Error: 678 - No answer.")) << ControlText(dialog, IDC_STATUS);
    EXPECT_EQ(SettledButtons(dialog, kIdleButtons), kIdleButtons);
    Exit(dialog);
}

TEST_F(DialTest, NoAnswerWithinTwentySecondsIsATimeOut) {
    ras.Set("Dial", "outcome", "never");
    HWND dialog = StartDialog(kSetting);
    ASSERT_NE(dialog, nullptr);
    const DWORD start = ::GetTickCount();
    Click(dialog, IDC_DIAL);
    ASSERT_TRUE(WaitForStatus(dialog, "intimeout", kDialWaitWithRoom)) << "status: " << ControlText(dialog, IDC_STATUS);
    EXPECT_GE(::GetTickCount() - start, 19500u) << "the dial wait ended early";
    EXPECT_EQ(SettledButtons(dialog, kIdleButtons), kIdleButtons);
    Exit(dialog);
    EXPECT_EQ(ras.LogLinesStartingWith("RasHangUpA handle=" + DialHandle(ras, 0)).size(), 1u)
        << "leaving the dialog hangs up what the timed-out dial left";
}

TEST_F(DialTest, LeavingTheDialogWhileADialWaitsEndsTheProgramAtOnce) {
    ras.Set("Dial", "outcome", "never");
    HWND dialog = StartDialog(kSetting);
    ASSERT_NE(dialog, nullptr);
    Click(dialog, IDC_DIAL);
    ASSERT_TRUE(ras.WaitForLogLine("RasDialA started"));
    ASSERT_TRUE(WaitForStatus(dialog, "conectting"));

    const DWORD start = ::GetTickCount();
    Click(dialog, IDC_EXIT);
    // Ended before the dial's own wait could have run out: the program did not wait for it.
    ASSERT_TRUE(vantaro.WaitForExit(kDialWait * 3 / 4)) << "the program hung while the dial thread waited";
    std::cout << "[ measure  ] Exit during a dial to the program's end: " << ::GetTickCount() - start << " ms\n";
    EXPECT_EQ(vantaro.ExitCode(), 0u) << "the program did not end normally";
    EXPECT_EQ(ras.LogLinesStartingWith("RasHangUpA handle=" + DialHandle(ras, 0)).size(), 1u);
}

// A driver key of our modem, as an install leaves it, at the first free number of the modem
// class; removed again at the end (and Root\MODEM with it when this made it).
struct ModemDriverKey {
    ModemDriverKey() {
        while (MachineKeyExists(path = NumberedSubKey(kModemClassKey, index))) ++index;
        made = WriteMachineValues(path, 0, {{"DriverDesc", std::string(kModemDriverDesc)}});
    }
    ~ModemDriverKey() {
        ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, path.c_str());
        if (madeRoot) ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, kRootModemKey);
    }
    const bool madeRoot = !MachineKeyExists(kRootModemKey) && WriteMachineValues(kRootModemKey, 0, {});
    unsigned index = 0;
    std::string path;
    bool made = false;
};

// With apn_try_all=1 and no Phone dialog, the SIM on the dial's port gives the series: the
// network refuses its first APN, the second connects and is kept for the SIM's ICCID, and the
// next start of the program tries that one first. redial=0 changes none of it.
TEST_F(DialTest, ARefusedApnGivesWayToTheNextWhichIsRememberedForTheSimAndTriedFirstAtTheNextStart) {
    SerialCommOverride serialComm;  // the port list holds the phone at home alone
    ASSERT_TRUE(serialComm.SetPortName("\\Device\\Serial0", "COM94"));
    ModemDriverKey driverKey;
    ASSERT_TRUE(driverKey.made);
    char appData[MAX_PATH] = {};
    ::GetEnvironmentVariableA("APPDATA", appData, sizeof appData);
    const std::string apnFile = std::string(appData) + "\\Vantaro\\apn.ini";
    ::DeleteFileA(apnFile.c_str());
    ras.Set("Dial", "refuse_apn", "cmnet");
    ras.Set("Errors", "720", "No PPP control protocol.");
    vantaro.WriteSettings(Settings(std::string(kSetting) + "apn_try_all=1\r\n"));

    for (const char* run : {"first", "next"}) {
        HWND dialog = OpenDialog();
        ASSERT_NE(dialog, nullptr) << run;
        // No APN of the user's own: the SIM's series alone.
        SetControlText(dialog, IDC_APN, "");
        Click(dialog, IDC_DIAL);
        ASSERT_TRUE(WaitForStatus(dialog, "Connected.")) << run << ": " << ControlText(dialog, IDC_STATUS);
        // The keeper takes the dial's end at its next tick, and its figures show that it has.
        EXPECT_TRUE(WaitUntil([&] { return !ControlText(dialog, IDC_LINK_STATS).empty(); }, kDefaultWait, "the link's figures"));
        Exit(dialog);
    }
    EXPECT_EQ(ras.LogLinesStartingWith("RasDialA init="),
              (std::vector<std::string>{"RasDialA init=at+eslp=0;+cgdcont=1,\"IP\",\"cmnet\"",
                                        "RasDialA init=at+eslp=0;+cgdcont=1,\"IP\",\"cmwap\"",
                                        "RasDialA init=at+eslp=0;+cgdcont=1,\"IP\",\"cmwap\""}));
    const std::string log = ReadFile(vantaro.Folder() + "\\Vantaro.log");
    for (const char* line : {"dial.sim\tdone\t0\tport COM94: home network 460-00 (from the SIM), ICCID 898600**************; 3 APNs",
                             "dial.apn\tstarted\t0\tcmnet 1/3", "dial.apn\tstarted\t0\tcmwap 2/3", "dial.apn\tstarted\t0\tcmwap 1/3"})
        EXPECT_NE(log.find(line), std::string::npos) << line << " in " << log;
    EXPECT_EQ(log.find("secret"), std::string::npos) << "the password is in the log";
    const std::string remembered = ReadFile(apnFile);
    EXPECT_NE(remembered.find("[89860012345678900094]"), std::string::npos) << remembered;  // COM94's SIM
    EXPECT_NE(remembered.find("apn=cmwap"), std::string::npos) << remembered;
}

} // namespace
} // namespace vantaro::e2e
