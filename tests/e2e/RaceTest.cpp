// The user leaves the Settings dialog at a random moment of an install (the real exe, the sample
// INF, Wine's SetupAPI and remote-access service) and of a dial (the rasapi32 double): by its
// Cancel command or by the Exit button, with any message box the worker opened answered or left
// open. Every time, the program ends, with exit code 0, within a bound, and leaves no window.
//
// The moments come from a seeded generator; the seed is printed, and VANTARO_RACE_SEED replays
// a run. VANTARO_RACE_ROUNDS changes the number of rounds of each test (50 unless given).

#include "e2e/SerialCommOverride.h"
#include "e2e/UiDriver.h"
#include "platform/ModemDevices.h"
#include "rasdouble/RasDoubleControl.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <random>

namespace vantaro::e2e {
namespace {

// From the close to the end of the process: the program ends at once, but a worker in SetupAPI
// or in the class installer may hold the process until its call returns.
constexpr DWORD kExitBound = 20000;

unsigned Rounds() {
    const char* text = std::getenv("VANTARO_RACE_ROUNDS");
    const int rounds = text ? std::atoi(text) : 0;
    return rounds > 0 ? static_cast<unsigned>(rounds) : 50u;
}

// The same rounds for the same commit unless told otherwise: a fixed seed per suite (its name's
// FNV-1a hash), VANTARO_RACE_SEED=<n> for another, VANTARO_RACE_SEED=random for one from the clock.
std::uint32_t Seed(const char* suite) {
    const char* text = std::getenv("VANTARO_RACE_SEED");
    std::uint32_t seed = 2166136261u;
    for (const char* c = suite; *c; ++c) seed = (seed ^ static_cast<unsigned char>(*c)) * 16777619u;
    if (text && std::string(text) == "random")
        seed = ::GetTickCount();
    else if (text && *text)
        seed = static_cast<std::uint32_t>(std::strtoul(text, nullptr, 10));
    std::cout << "[ seed     ] " << suite << ": VANTARO_RACE_SEED=" << seed << "\n";
    return seed;
}

// Leaves the dialog as the round says, then plays the user until the program is gone: a message
// box that opens is answered, or left open when the round says so. What happened is returned
// for the failure message.
struct Ending {
    bool ended = false;
    DWORD exitCode = 0;
    DWORD afterCloseMs = 0;
    int boxesAnswered = 0;
    std::string boxTexts;
};

Ending CloseAndWait(VantaroProcess& vantaro, HWND dialog, bool byCancel, bool answerBoxes) {
    Ending ending;
    const DWORD closed = ::GetTickCount();
    if (byCancel)
        ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    else
        Click(dialog, IDC_EXIT);
    ending.ended = WaitUntil(
        [&] {
            if (!vantaro.Running()) return true;
            if (HWND box = vantaro.WaitForMessageBox(0)) {
                const std::string text = VantaroProcess::MessageBoxText(box);
                if (ending.boxTexts.find(text) == std::string::npos) ending.boxTexts += "\"" + text + "\" ";
                if (answerBoxes) {
                    VantaroProcess::Acknowledge(box);
                    ++ending.boxesAnswered;
                }
            }
            return false;
        },
        kExitBound);
    ending.afterCloseMs = ::GetTickCount() - closed;
    ending.exitCode = vantaro.ExitCode();
    return ending;
}

// Statistics of one suite, printed at its end.
struct Tally {
    unsigned rounds = 0;
    unsigned boxesSeen = 0;
    DWORD longestExitMs = 0;

    void Count(const Ending& ending) {
        ++rounds;
        if (!ending.boxTexts.empty()) ++boxesSeen;
        if (ending.afterCloseMs > longestExitMs) longestExitMs = ending.afterCloseMs;
    }
    void Print(const char* suite) const {
        std::cout << "[ measure  ] " << suite << ": " << rounds << " rounds, " << boxesSeen
                  << " with a message box open at the close or after it, longest close-to-exit " << longestExitMs
                  << " ms\n";
    }
};

#define EXPECT_ENDED_CLEANLY(ending, vantaro, round)                                                              \
    do {                                                                                                          \
        EXPECT_TRUE((ending).ended) << (round) << ": the program still ran " << kExitBound                        \
                                    << " ms after the close; boxes: " << (ending).boxTexts;                       \
        EXPECT_EQ((ending).exitCode, 0u) << (round) << ": the program did not end normally; boxes: "             \
                                         << (ending).boxTexts;                                                    \
        EXPECT_TRUE((vantaro).TopWindows().empty()) << (round) << ": a window of the program is left";           \
    } while (0)

TEST(Races, LeavingTheDialogAtAnyMomentOfAnInstallEndsTheProgram) {
    std::mt19937 random(Seed("install"));
    SerialCommOverride ports;
    ports.SetPortName("Serial3", "COM3");
    Tally tally;
    for (unsigned round = 0; round < Rounds(); ++round) {
        platformtest::RemoveAllModemsAndDriverKeys();
        const DWORD delay = std::uniform_int_distribution<DWORD>(0, 2500)(random);
        const bool byCancel = random() % 2 == 0;
        const bool answerBoxes = random() % 4 != 0;
        const std::string what = "round " + std::to_string(round) + " (close " + std::to_string(delay) + " ms after " +
                                 "the install click, by " + (byCancel ? "Cancel" : "Exit") +
                                 (answerBoxes ? "" : ", message boxes left open") + ")";

        VantaroProcess vantaro("race_install");
        const std::string path = vantaro.SettingsPath();
        ::WritePrivateProfileStringA("BaseSetting", "language", "1", path.c_str());
        ::WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());
        ASSERT_TRUE(vantaro.Start()) << what;
        HWND dialog = vantaro.WaitForSettingsDialog();
        ASSERT_NE(dialog, nullptr) << what << ": the Settings dialog did not appear";
        Click(dialog, IDC_INSTALL);
        ::Sleep(delay);
        const Ending ending = CloseAndWait(vantaro, dialog, byCancel, answerBoxes);
        EXPECT_ENDED_CLEANLY(ending, vantaro, what);
        tally.Count(ending);
        if (::testing::Test::HasFailure()) break;
    }
    platformtest::RemoveAllModemsAndDriverKeys();
    tally.Print("install");
}

TEST(Races, LeavingTheDialogAtAnyMomentOfADialEndsTheProgram) {
    std::mt19937 random(Seed("dial"));
    rasdouble::Installation ras("race_dial");
    ASSERT_TRUE(ras.Installed()) << ras.Error();
    Tally tally;
    for (unsigned round = 0; round < Rounds(); ++round) {
        const DWORD delay = std::uniform_int_distribution<DWORD>(0, 500)(random);
        const bool never = random() % 2 == 0;
        const DWORD connectAfter = std::uniform_int_distribution<DWORD>(0, 400)(random);
        const bool byCancel = random() % 2 == 0;
        const std::string what = "round " + std::to_string(round) + " (dial " +
                                 (never ? std::string("never answered") :
                                          "connected after " + std::to_string(connectAfter) + " ms") +
                                 ", close " + std::to_string(delay) + " ms after the dial click, by " +
                                 (byCancel ? "Cancel" : "Exit") + ")";
        ras.Set("Dial", "outcome", never ? "never" : "connect");
        ras.Set("Dial", "delay_ms", std::to_string(connectAfter));

        VantaroProcess vantaro("race_dial");
        vantaro.WriteSettings("[Setting]\r\nnumber=*99***1#\r\nusername=card\r\npassword=secret\r\n"
                              "[BaseSetting]\r\nlanguage=1\r\n");
        ASSERT_TRUE(vantaro.Start()) << what;
        HWND dialog = vantaro.WaitForSettingsDialog();
        ASSERT_NE(dialog, nullptr) << what << ": the Settings dialog did not appear";
        Click(dialog, IDC_DIAL);
        ::Sleep(delay);
        const Ending ending = CloseAndWait(vantaro, dialog, byCancel, true);
        EXPECT_ENDED_CLEANLY(ending, vantaro, what);
        tally.Count(ending);
        if (::testing::Test::HasFailure()) break;
    }
    tally.Print("dial");
}

// A click that reaches a button its activity has switched off, handled before this returns.
bool SendClick(HWND dialog, int id) {
    DWORD_PTR ignored = 0;
    const LPARAM button = reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id));
    return ::SendMessageTimeoutA(dialog, WM_COMMAND, id, button, SMTO_ABORTIFHUNG, 5000, &ignored) != 0;
}

TEST(Races, DisconnectDuringAnInstallIsOffAndEndsNothing) {
    SerialCommOverride ports;
    ports.SetPortName("Serial3", "COM3");
    platformtest::RemoveAllModemsAndDriverKeys();
    VantaroProcess vantaro("race_install_disconnect");
    ASSERT_TRUE(vantaro.Start());
    HWND dialog = vantaro.WaitForSettingsDialog();
    ASSERT_NE(dialog, nullptr) << "the Settings dialog did not appear";
    Click(dialog, IDC_INSTALL);
    // The install holds the buttons for its two pauses of a second at least.
    ASSERT_TRUE(WaitUntil([&] { return !ControlEnabled(dialog, IDC_INSTALL); }, kDefaultWait)) << "the install did not start";
    EXPECT_FALSE(ControlEnabled(dialog, IDC_DISCONNECT));
    const std::string status = ControlText(dialog, IDC_STATUS);
    ASSERT_TRUE(SendClick(dialog, IDC_DISCONNECT));
    EXPECT_EQ(ControlText(dialog, IDC_STATUS), status) << "a Disconnect during the install said something";
    for (int id : {IDC_INSTALL, IDC_DIAL, IDC_ABOUT}) EXPECT_FALSE(ControlEnabled(dialog, id)) << id << " came back";
    const Ending ending = CloseAndWait(vantaro, dialog, false, true);
    EXPECT_ENDED_CLEANLY(ending, vantaro, "the install");
    platformtest::RemoveAllModemsAndDriverKeys();
}

TEST(Races, CheckPhoneIsOffWhileADialWaitsForALeftoverConnection) {
    rasdouble::Installation ras("race_dial_check_phone");
    ASSERT_TRUE(ras.Installed()) << ras.Error();
    // The first dial fails and keeps its connection, which lingers for 3 s after its hang-up.
    ras.Set("Dial", "outcome", "error");
    ras.Set("HangUp", "gone_after_ms", "3000");
    VantaroProcess vantaro("race_dial_check_phone");
    vantaro.WriteSettings("[Setting]\r\nnumber=*99***1#\r\nredial=0\r\n[BaseSetting]\r\nlanguage=1\r\n");
    ASSERT_TRUE(vantaro.Start());
    HWND dialog = vantaro.WaitForSettingsDialog();
    ASSERT_NE(dialog, nullptr) << "the Settings dialog did not appear";
    Click(dialog, IDC_DIAL);
    ASSERT_TRUE(ras.WaitForLogLine("RasGetErrorStringA")) << "the first dial did not fail";
    ASSERT_TRUE(WaitUntil([&] { return ControlEnabled(dialog, IDC_DIAL); }, kDefaultWait));
    ras.Set("Dial", "outcome", "connect");
    const std::vector<HWND> windows = vantaro.TopWindows();
    Click(dialog, IDC_DIAL);
    ASSERT_TRUE(ras.WaitForLogLine("RasHangUpA")) << "the leftover connection was not hung up";
    EXPECT_FALSE(ControlEnabled(dialog, IDC_CHECK_PHONE)) << "the check could take the port from the dial";
    Click(dialog, IDC_CHECK_PHONE);
    ASSERT_TRUE(WaitUntil([&] { return ras.LogLinesStartingWith("RasDialA started").size() == 2; }))
        << "the second dial did not start";
    EXPECT_EQ(vantaro.TopWindows(), windows) << "the Phone dialog opened during the dial";
    const Ending ending = CloseAndWait(vantaro, dialog, false, true);
    EXPECT_ENDED_CLEANLY(ending, vantaro, "the dial");
}

} // namespace
} // namespace vantaro::e2e
