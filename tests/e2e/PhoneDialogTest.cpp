// The real Vantaro.exe under Wine against simulated phones (tests/tools/simphone.py links them
// into the test prefix as COM71 to COM92): the Phone dialog lists what each port answered, gives
// the port and the operator's settings to the Settings dialog, sends a code once per click (a
// PIN, a PUK with a new PIN, a changed PIN), and never holds the program when it is closed in the
// middle of a check.

#include "e2e/ProgramState.h"
#include "e2e/SerialCommOverride.h"
#include "e2e/UiDriver.h"
#include "phone/PhoneCheck.h"
#include "resources/resource.h"
#include "workflow/PhoneText.h"
#include "workflow/SettingsForm.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <fstream>
#include <mutex>
#include <thread>
#include <tuple>

namespace vantaro::e2e {
namespace {

using Cells = std::vector<std::string>;

// The simulated phones of this test program (see the WRAPPER line in CMakeLists.txt).
constexpr char kReady[] = "COM71";
constexpr char kPin[] = "COM72";
constexpr char kDenied[] = "COM73";
constexpr char kSilent[] = "COM74";
constexpr char kOperatorSim[] = "COM75";
// COM76 to COM89 are silent too: with COM74, fifteen ports that never answer.
// COM90: a SIM of a network whose settings the database names in plain ASCII (for the picture).
constexpr char kAsciiOperatorSim[] = "COM90";
// COM91: a SIM that wants its PIN (1234), for the whole way through its tries; COM92: a SIM
// blocked until its PUK, for the pictures.
constexpr char kPinTries[] = "COM91";
constexpr char kPuk[] = "COM92";
// COM93: a SIM that wants its PIN (1234) and says "SIM busy" to the first AT+CPIN? after each code.
constexpr char kBusyAfterCode[] = "COM93";
// COM94: a ready SIM whose balance code (*100#) opens a menu, answered in UCS2 hex.
constexpr char kBalanceMenu[] = "COM94";
constexpr int kFirstMoreSilent = 76;
constexpr int kMoreSilent = 14;

// A whole check takes about 4 s; a loaded machine takes more than ten times that only in a fault.
constexpr DWORD kCheckBound = 60000;
// A silent port's check: every probe unanswered. A program that waited for its workers could not
// end before that.
constexpr DWORD kSilentCheckMs = static_cast<DWORD>(CheckTimings{}.probes) * CheckTimings{}.probeMs;
// The longest the dialogs' thread may go without handling a message: ten times the longest of a
// usual run (about 35 ms under Wine), and still well short of a phone's probe.
constexpr DWORD kLongestPingMs = 500;

bool ChineseWindows() { return ::GetACP() == 936; }

// The English text of a key as the delivered Setting.ini has it ("checking..." in ASCII).
std::string English(const TextKey& key) {
    return key.key == std::string("checking") ? "checking..." : key.english;
}

class PhoneDialogTest : public ::testing::Test {
protected:
    // The Settings dialog over a port list of exactly these ports, in English unless the test
    // runs as a Chinese Windows.
    HWND OpenSettings(const std::string& name, const std::vector<std::string>& ports) {
        for (std::size_t i = 0; i < ports.size(); ++i) {
            char valueName[32];
            std::snprintf(valueName, sizeof valueName, "\\Device\\Serial%02u", static_cast<unsigned>(i));
            EXPECT_TRUE(serialComm_.SetPortName(valueName, ports[i]));
        }
        vantaro_ = std::make_unique<VantaroProcess>(name);
        if (!ChineseWindows()) {
            std::string settings = ReadFile(vantaro_->SettingsPath());
            const std::size_t at = settings.find("language=0");
            if (at != std::string::npos) settings.replace(at, 10, "language=1");
            vantaro_->WriteSettings(settings);
        }
        if (!vantaro_->Start()) return nullptr;
        settings_ = vantaro_->WaitForSettingsDialog();
        return settings_;
    }

    // A top-level window of the program holding a control with this id.
    HWND WaitForWindowWith(int controlId, DWORD timeoutMs = kDefaultWait) {
        HWND found = nullptr;
        WaitUntil(
            [&] {
                for (HWND window : vantaro_->TopWindows())
                    if (::GetDlgItem(window, controlId) && ::IsWindowVisible(window)) found = window;
                return found != nullptr;
            },
            timeoutMs, [&] { return "a window with control " + std::to_string(controlId) + "; the program shows" + vantaro_->WindowTitles(); });
        return found;
    }

    HWND OpenPhoneDialog() {
        Click(settings_, IDC_CHECK_PHONE);
        return WaitForWindowWith(IDC_PHONE_PORTS);
    }

    bool WaitForStatus(HWND phone, const std::string& text, DWORD timeoutMs = kCheckBound) {
        return WaitUntil([&] { return ControlText(phone, IDC_PHONE_STATUS) == text; }, timeoutMs,
                         [&] { return "the status \"" + text + "\"; it says \"" + ControlText(phone, IDC_PHONE_STATUS) + "\""; });
    }

    static bool Done(const std::vector<Cells>& rows) {
        return std::none_of(rows.begin(), rows.end(), [](const Cells& row) {
            return row.size() < 2 || row[1] == English(phonetext::kChecking) || row[1].rfind("\xd5\xfd", 0) == 0;
        });
    }
    static std::string StillChecking(const std::vector<Cells>& rows) {
        std::string ports;
        for (const Cells& row : rows)
            if (!Done({row})) ports += " " + (row.empty() ? std::string("(an empty row)") : row[0]);
        return ports.empty() ? " none" : ports;
    }
    static bool WaitForAllRows(HWND phone, std::vector<Cells>& rows) {
        return WaitUntil([&] { return Done(rows = ListViewRows(phone, IDC_PHONE_PORTS)); }, kCheckBound,
                         [&] { return "every row done; still checking:" + StillChecking(rows); });
    }

    void SaveImage(HWND window, const std::string& name) {
        ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        ::Sleep(300);  // the program's thread paints once its queue is empty
        EXPECT_TRUE(SaveWindowImage(window, ArtifactsFolder() + "\\" + name + ".bmp")) << name;
    }

    // OK in a code dialog: whether it ended the dialog within `closeBound`.
    bool ClickOk(HWND ask, DWORD closeBound = kDefaultWait) {
        Click(ask, IDOK);
        return WaitUntil([&] { return !::IsWindow(ask); }, closeBound,
                         closeBound < kDefaultWait ? "the code dialog to close after OK (a look: it is meant to stay)"
                                                   : "the code dialog to close after OK");
    }
    // Clicks the button that asks for a code, types the codes into the code dialog's fields (the
    // code, then the new PIN twice) and clicks OK: the dialog when it stays open, else nothing.
    // Where the dialog is meant to stay open, a short `closeBound` is the look that says so. With a
    // `title`, the code dialog's title is that.
    HWND EnterCodes(HWND phone, int button, const std::vector<std::string>& codes, DWORD closeBound = kDefaultWait,
                    const char* title = nullptr) {
        Click(phone, button);
        HWND ask = WaitForWindowWith(IDC_PIN);
        EXPECT_NE(ask, nullptr) << "no code dialog";
        if (ask && title) EXPECT_EQ(WindowText(ask), title);
        const int fields[] = {IDC_PIN, IDC_NEW_PIN, IDC_NEW_PIN_AGAIN};
        for (std::size_t i = 0; ask && i < codes.size() && i < 3; ++i) {
            EXPECT_TRUE(::GetWindowLongA(::GetDlgItem(ask, fields[i]), GWL_STYLE) & ES_PASSWORD) << "a code is masked";
            SetControlText(ask, fields[i], codes[i]);
        }
        return ask && !ClickOk(ask, closeBound) ? ask : nullptr;
    }
    bool WaitForSimCell(HWND phone, const std::string& text) {
        return WaitUntil([&] {
            const std::vector<Cells> rows = ListViewRows(phone, IDC_PHONE_PORTS);
            return rows.size() == 1 && rows[0].size() == 5 && rows[0][2] == text;
        }, kCheckBound, [&] { return "the SIM cell \"" + text + "\""; });
    }

    void ExitProgram() {
        Click(settings_, IDC_EXIT);
        EXPECT_TRUE(vantaro_->WaitForExit()) << "the program did not end after Exit";
    }

    SerialCommOverride serialComm_;
    std::unique_ptr<VantaroProcess> vantaro_;
    HWND settings_ = nullptr;
};

TEST_F(PhoneDialogTest, ListsEachPortWithWhatItAnswered) {
    if (ChineseWindows()) GTEST_SKIP() << "the English run holds this";
    ASSERT_NE(OpenSettings("phone_list", {kReady, kPin, kDenied, kSilent}), nullptr) << ProgramState(*vantaro_);
    EXPECT_EQ(ControlText(settings_, IDC_CHECK_PHONE), "Check phone");
    EXPECT_EQ(ComboItems(settings_, IDC_PORT_LIST), (Cells{kReady, kPin, kDenied, kSilent})) << "plain port names";
    HWND phone = OpenPhoneDialog();
    ASSERT_NE(phone, nullptr) << "no Phone dialog: " << ProgramState(*vantaro_);
    EXPECT_EQ(WindowText(phone), "Phone check");
    EXPECT_EQ(::GetWindow(phone, GW_OWNER), settings_) << "modal over the Settings dialog";
    EXPECT_FALSE(::IsWindowEnabled(settings_));

    const std::vector<Cells> early = ListViewRows(phone, IDC_PHONE_PORTS);
    ASSERT_EQ(early.size(), 4u);
    EXPECT_EQ(early[3], (Cells{kSilent, "checking...", "", "", ""})) << "a silent port is not done before 3 s";

    std::vector<Cells> rows;
    ASSERT_TRUE(WaitForAllRows(phone, rows)) << "the check did not end";
    EXPECT_EQ(rows, (std::vector<Cells>{{kReady, "ZOR Z100", "ready", "4/5, -73 dBm", "home"},
                                        {kPin, "ZOR Z100", "PIN needed, 3 tries left", "4/5, -73 dBm", "home"},
                                        {kDenied, "ZOR Z100", "ready", "4/5, -73 dBm", "denied"},
                                        {kSilent, "no answer", "", "", ""}}));
    EXPECT_TRUE(WaitForStatus(phone, English(phonetext::kSeveralModems))) << ControlText(phone, IDC_PHONE_STATUS);
    EXPECT_EQ(ListViewSelection(phone, IDC_PHONE_PORTS), -1) << "three modems: the user chooses";
    EXPECT_FALSE(ControlEnabled(phone, IDC_USE_PORT));

    Click(phone, IDCANCEL);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(phone); }, kDefaultWait, "the Phone dialog to close")) << "Close did not close";
    EXPECT_EQ(ComboSelection(settings_, IDC_PORT_LIST), 3) << "Close leaves the port list alone";
    ExitProgram();
}

TEST_F(PhoneDialogTest, TheOneModemIsSelectedAndUseThisPortPutsItInThePortList) {
    if (ChineseWindows()) GTEST_SKIP() << "the English run holds this";
    ASSERT_NE(OpenSettings("phone_use_port", {kSilent, kReady, "COM76"}), nullptr) << ProgramState(*vantaro_);
    ASSERT_EQ(ControlText(settings_, IDC_PORT_LIST), "COM76") << "the last port is selected at the start";
    HWND phone = OpenPhoneDialog();
    ASSERT_NE(phone, nullptr) << ProgramState(*vantaro_);
    EXPECT_TRUE(WaitForStatus(phone, "The phone's modem is on COM71.")) << ControlText(phone, IDC_PHONE_STATUS);
    EXPECT_EQ(ListViewSelection(phone, IDC_PHONE_PORTS), 1);
    SaveImage(phone, "phone-dialog-en");

    ASSERT_TRUE(ControlEnabled(phone, IDC_USE_PORT));
    Click(phone, IDC_USE_PORT);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(phone); }, kDefaultWait, "the Phone dialog to close"))
        << "Use this port did not close the dialog";
    EXPECT_EQ(ControlText(settings_, IDC_PORT_LIST), kReady);
    EXPECT_EQ(ComboItems(settings_, IDC_PORT_LIST), (Cells{kSilent, kReady, "COM76"}));
    ExitProgram();
}

TEST_F(PhoneDialogTest, APinIsSentOncePerClickAndTheAnswerSaid) {
    if (ChineseWindows()) GTEST_SKIP() << "the English run holds this";
    ASSERT_NE(OpenSettings("phone_pin", {kPin}), nullptr) << ProgramState(*vantaro_);
    HWND phone = OpenPhoneDialog();
    ASSERT_NE(phone, nullptr) << ProgramState(*vantaro_);
    ASSERT_TRUE(WaitForStatus(phone, "The phone's modem is on COM72.")) << ControlText(phone, IDC_PHONE_STATUS);
    ASSERT_TRUE(ControlEnabled(phone, IDC_ENTER_PIN));

    ASSERT_EQ(EnterCodes(phone, IDC_ENTER_PIN, {"0000"}, kDefaultWait, "Enter PIN"), nullptr);
    EXPECT_TRUE(WaitForStatus(phone, English(phonetext::kPinRejected) + " 2 tries left")) << ControlText(phone, IDC_PHONE_STATUS);
    ASSERT_EQ(EnterCodes(phone, IDC_ENTER_PIN, {"1234"}, kDefaultWait, "Enter PIN"), nullptr);
    EXPECT_TRUE(WaitForStatus(phone, English(phonetext::kPinAccepted))) << ControlText(phone, IDC_PHONE_STATUS);
    EXPECT_EQ(ReadFile(vantaro_->SettingsPath()).find("1234"), std::string::npos) << "the PIN is never stored";
    EXPECT_TRUE(WaitForSimCell(phone, "ready")) << "the SIM that took its PIN is read again by itself: no Check again";
    EXPECT_FALSE(ControlEnabled(phone, IDC_ENTER_PIN));
    Click(phone, IDCANCEL);
    ExitProgram();
}

// A SIM through its tries: the count beside its state, two wrong PINs, the last try only when
// confirmed, blocked, unlocked with its PUK and a new PIN, read again, its PIN changed.
TEST_F(PhoneDialogTest, ASimIsCountedDownToItsPukUnlockedAndGivenANewPin) {
    if (ChineseWindows()) GTEST_SKIP() << "the English run holds this";
    ASSERT_NE(OpenSettings("phone_pin_tries", {kPinTries}), nullptr) << ProgramState(*vantaro_);
    HWND phone = OpenPhoneDialog();
    ASSERT_NE(phone, nullptr) << ProgramState(*vantaro_);
    ASSERT_TRUE(WaitForStatus(phone, "The phone's modem is on COM91.")) << ControlText(phone, IDC_PHONE_STATUS);
    for (const auto& [pin, left] : {std::pair{"0000", " 2 tries left"}, std::pair{"0001", " 1 try left"}}) {
        ASSERT_EQ(EnterCodes(phone, IDC_ENTER_PIN, {pin}), nullptr);
        EXPECT_TRUE(WaitForStatus(phone, English(phonetext::kPinRejected) + left)) << ControlText(phone, IDC_PHONE_STATUS);
    }

    // The last try: OK without the box ticked sends nothing and keeps the dialog.
    HWND last = EnterCodes(phone, IDC_ENTER_PIN, {"0002"}, 2000);
    ASSERT_NE(last, nullptr) << "the last try went without a confirmation";
    EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(last, IDC_PIN_CONFIRM)));
    EXPECT_EQ(ControlText(last, IDC_PIN_NOTE), English(phonetext::kConfirmLastTry));
    SaveImage(last, "pin-last-try-en");
    ::SendMessageA(::GetDlgItem(last, IDC_PIN_CONFIRM), BM_SETCHECK, BST_CHECKED, 0);
    ASSERT_TRUE(ClickOk(last));
    EXPECT_TRUE(WaitForStatus(phone, English(phonetext::kPinBlocked))) << ControlText(phone, IDC_PHONE_STATUS);
    EXPECT_TRUE(WaitForSimCell(phone, "PUK needed, 10 tries left"));
    EXPECT_EQ(ControlText(phone, IDC_ENTER_PIN), "Unlock with PUK...");

    // The PUK with a new PIN, twice; the new PIN is the one that changes.
    ASSERT_EQ(EnterCodes(phone, IDC_ENTER_PIN, {"12345678", "4321", "4321"}), nullptr);
    EXPECT_TRUE(WaitForStatus(phone, English(phonetext::kPukAccepted))) << ControlText(phone, IDC_PHONE_STATUS);
    EXPECT_TRUE(WaitForSimCell(phone, "ready")) << "the unlocked SIM is read again by itself";
    EXPECT_EQ(ControlText(phone, IDC_ENTER_PIN), "Enter PIN...");
    ASSERT_TRUE(WaitUntil([&] { return ControlEnabled(phone, IDC_CHANGE_PIN); }, kDefaultWait, "Change PIN enabled"));
    ASSERT_EQ(EnterCodes(phone, IDC_CHANGE_PIN, {"4321", "5678", "5678"}), nullptr);
    EXPECT_TRUE(WaitForStatus(phone, English(phonetext::kPinChanged))) << ControlText(phone, IDC_PHONE_STATUS);
    const std::string settings = ReadFile(vantaro_->SettingsPath());
    for (const char* code : {"0002", "12345678", "4321", "5678"})
        EXPECT_EQ(settings.find(code), std::string::npos) << code << " is stored";
    Click(phone, IDCANCEL);
    ExitProgram();
}

// A SIM busy for a moment after each code, as real SIMs are: each refusal still gets its count,
// and the third wrong PIN asks for the confirmation (before, the busy answer kept "3 tries left"
// and the last try went out unasked).
TEST_F(PhoneDialogTest, ASimBusyAfterEachCodeIsCountedDownAndItsThirdWrongPinConfirmedFirst) {
    if (ChineseWindows()) GTEST_SKIP() << "the English run holds this";
    ASSERT_NE(OpenSettings("phone_pin_busy", {kBusyAfterCode}), nullptr) << ProgramState(*vantaro_);
    HWND phone = OpenPhoneDialog();
    ASSERT_NE(phone, nullptr) << ProgramState(*vantaro_);
    ASSERT_TRUE(WaitForStatus(phone, "The phone's modem is on COM93.")) << ControlText(phone, IDC_PHONE_STATUS);
    for (const auto& [pin, left] : {std::pair{"0000", "2 tries left"}, std::pair{"0001", "1 try left"}}) {
        ASSERT_EQ(EnterCodes(phone, IDC_ENTER_PIN, {pin}), nullptr) << pin << " asked for a confirmation";
        EXPECT_TRUE(WaitForStatus(phone, English(phonetext::kPinRejected) + " " + left)) << ControlText(phone, IDC_PHONE_STATUS);
        EXPECT_TRUE(WaitForSimCell(phone, std::string("PIN needed, ") + left));
    }
    HWND last = EnterCodes(phone, IDC_ENTER_PIN, {"0002"}, 2000);
    ASSERT_NE(last, nullptr) << "the third wrong PIN went without a confirmation";
    EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(last, IDC_PIN_CONFIRM)));
    EXPECT_EQ(ControlText(last, IDC_PIN_NOTE), English(phonetext::kConfirmLastTry));
    Click(last, IDCANCEL);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(last); }, kDefaultWait, "the code dialog to close after Cancel"));
    EXPECT_TRUE(WaitForSimCell(phone, "PIN needed, 1 try left")) << "nothing was sent";
    Click(phone, IDCANCEL);
    ExitProgram();
}

TEST_F(PhoneDialogTest, TheSimsOperatorGetsItsSettingsAndOneClickFillsTheFields) {
    if (ChineseWindows()) GTEST_SKIP() << "the English run holds this";
    ASSERT_NE(OpenSettings("phone_proposal", {kOperatorSim}), nullptr) << ProgramState(*vantaro_);
    const std::string apnBefore = ControlText(settings_, IDC_APN);
    HWND phone = OpenPhoneDialog();
    ASSERT_NE(phone, nullptr) << ProgramState(*vantaro_);
    ASSERT_TRUE(WaitForStatus(phone, "The phone's modem is on COM75.")) << ControlText(phone, IDC_PHONE_STATUS);
    // The note is set before the status line. A check that did not read the SIM's operator shows
    // the no-operator note here.
    ASSERT_EQ(ControlText(phone, IDC_PROPOSAL_NOTE), "Settings for the SIM's operator 460-01:");
    const Cells candidates = ListBoxItems(phone, IDC_PROPOSALS);
    ASSERT_FALSE(candidates.empty());
    for (const std::string& candidate : candidates) EXPECT_EQ(candidate.find("46001"), std::string::npos);

    const std::string first = candidates.front();
    const std::string apn = first.substr(first.rfind(' ') + 1);
    ASSERT_TRUE(ControlEnabled(phone, IDC_USE_SETTINGS));
    Click(phone, IDC_USE_SETTINGS);
    EXPECT_TRUE(WaitUntil([&] { return ControlText(settings_, IDC_APN) == apn; }, kDefaultWait, "the APN field to change"))
        << "APN " << ControlText(settings_, IDC_APN) << " instead of " << apn << " (" << apnBefore << " before)";
    EXPECT_EQ(ControlText(settings_, IDC_INIT_STRING), BuildInitString(apn)) << "the init string follows the APN";
    EXPECT_EQ(ReadFile(vantaro_->SettingsPath()).find("apn=" + apn + "\r"), std::string::npos) << "nothing is saved";
    Click(phone, IDCANCEL);
    ExitProgram();
}

// The balance: the code goes out, the network's menu comes back decoded, and its answer, typed in
// the same dialog, brings the balance.
TEST_F(PhoneDialogTest, TheBalanceComesBackDecodedAndAMenuIsAnsweredInTheSameDialog) {
    if (ChineseWindows()) GTEST_SKIP() << "the English run holds this";
    ASSERT_NE(OpenSettings("phone_balance", {kBalanceMenu}), nullptr) << ProgramState(*vantaro_);
    HWND phone = OpenPhoneDialog();
    ASSERT_NE(phone, nullptr) << ProgramState(*vantaro_);
    ASSERT_TRUE(WaitForStatus(phone, "The phone's modem is on COM94."));
    ASSERT_TRUE(WaitUntil([&] { return ControlEnabled(phone, IDC_BALANCE); }, kDefaultWait, "Balance enabled"));
    Click(phone, IDC_BALANCE);
    HWND balance = WaitForWindowWith(IDC_USSD_ANSWER);
    ASSERT_NE(balance, nullptr) << ProgramState(*vantaro_);
    const auto answered = [&](const std::string& note, const std::string& answer) {
        return WaitUntil([&] { return ControlText(balance, IDC_USSD_NOTE) == note && ControlText(balance, IDC_USSD_ANSWER) == answer; },
                         kCheckBound, [&] {
                             return "\"" + note + "\" / \"" + answer + "\"; the dialog says \"" + ControlText(balance, IDC_USSD_NOTE) +
                                    "\" / \"" + ControlText(balance, IDC_USSD_ANSWER) + "\"";
                         });
    };
    SetControlText(balance, IDC_USSD_CODE, "*100#");
    Click(balance, IDC_USSD_SEND);
    EXPECT_TRUE(answered("The network asks for an answer: type it and click Send.", "1 Balance\r\n2 Bundles"));
    EXPECT_EQ(ControlText(balance, IDC_USSD_LABEL), "Your answer to the menu (digits, * and #):");
    SetControlText(balance, IDC_USSD_CODE, "1");
    Click(balance, IDC_USSD_SEND);
    EXPECT_TRUE(answered("The network's answer to *100#.", "Balance: 12.50"));
    Click(balance, IDCANCEL);
    Click(phone, IDCANCEL);
    ExitProgram();
}

// Closing in the middle of a check: the program ends at once, whichever dialog is closed. "At once"
// is held as an order: it ended before the silent phones' probes could have run out, so it did
// not wait for their workers. How long the close took is printed.
TEST_F(PhoneDialogTest, ClosingMidCheckEndsTheProgramWithinOneSecond) {
    if (ChineseWindows()) GTEST_SKIP() << "the English run holds this";
    // At once, while the workers wait for the silent phones, and as the ready phone answers.
    for (const DWORD delay : {0u, 300u, 1200u})
    for (const bool closeSettings : {false, true}) {
        SCOPED_TRACE(std::string(closeSettings ? "the Settings dialog closed" : "the Phone dialog closed, then Exit") +
                     " after " + std::to_string(delay) + " ms");
        ASSERT_NE(OpenSettings(closeSettings ? "phone_close_settings" : "phone_close_phone", {kSilent, "COM76", "COM77", kReady}),
                  nullptr)
            << ProgramState(*vantaro_);
        HWND phone = OpenPhoneDialog();
        ASSERT_NE(phone, nullptr) << ProgramState(*vantaro_);
        const DWORD checkStarted = ::GetTickCount();  // the check starts as the dialog opens
        ::Sleep(delay);
        const DWORD start = ::GetTickCount();
        if (closeSettings) {
            ::PostMessageA(settings_, WM_CLOSE, 0, 0);
        } else {
            Click(phone, IDCANCEL);
            ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(phone); }, kDefaultWait, "the Phone dialog to close"));
            Click(settings_, IDC_EXIT);
        }
        ASSERT_TRUE(vantaro_->WaitForExit()) << "the program did not end: " << ProgramState(*vantaro_);
        const DWORD ended = ::GetTickCount();
        std::printf("[ figure   ] closed %lu ms into the check; the program ended %lu ms after the close\n",
                    static_cast<unsigned long>(start - checkStarted), static_cast<unsigned long>(ended - start));
        EXPECT_LT(ended - checkStarted, kSilentCheckMs)
            << "the program ended only after the silent phones' probes could have run out: it waited for a phone";
        EXPECT_EQ(vantaro_->ExitCode(), 0u);
        vantaro_.reset();
        serialComm_.Recreate();
    }
}

// Sixteen ports, one phone: its row is complete while the silent ports are still being checked,
// and the dialogs' thread answers every message meanwhile (pinged every 10 ms). How soon the row
// is complete, how long the whole check takes and the longest wait of a ping go to the output
// and to an artifact.
TEST_F(PhoneDialogTest, TheDialogsThreadKeepsServingMessagesWhileSixteenPortsAreChecked) {
    if (ChineseWindows()) GTEST_SKIP() << "the English run holds this";
    std::vector<std::string> ports = {kSilent};
    for (int i = 0; i < kMoreSilent; ++i) ports.push_back("COM" + std::to_string(kFirstMoreSilent + i));
    ports.push_back(kReady);  // the last one, as when the phone came last
    ASSERT_EQ(ports.size(), 16u);
    ASSERT_NE(OpenSettings("phone_sixteen", ports), nullptr) << ProgramState(*vantaro_);

    // Each ping: when it was sent (ms after the click; negative before it) and how long it waited.
    struct Ping {
        long sentAt;
        DWORD waited;
        bool answered;
    };
    std::mutex pingsMutex;
    std::vector<Ping> pings;
    std::atomic<bool> pinging{true};
    std::atomic<DWORD> clickTime{::GetTickCount() + 100000};
    std::thread pinger([&] {
        LARGE_INTEGER frequency{};
        ::QueryPerformanceFrequency(&frequency);
        while (pinging) {
            LARGE_INTEGER before{}, after{};
            const long sentAt = static_cast<long>(::GetTickCount() - clickTime.load());
            ::QueryPerformanceCounter(&before);
            DWORD_PTR result = 0;
            const bool answered = ::SendMessageTimeoutA(settings_, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &result) != 0;
            ::QueryPerformanceCounter(&after);
            const DWORD waited = static_cast<DWORD>((after.QuadPart - before.QuadPart) * 1000 / frequency.QuadPart);
            {
                std::lock_guard<std::mutex> lock(pingsMutex);
                pings.push_back({sentAt, waited, answered});
            }
            ::Sleep(10);
        }
    });

    ::Sleep(200);
    const DWORD start = ::GetTickCount();
    clickTime = start;
    Click(settings_, IDC_CHECK_PHONE);
    HWND phone = WaitForWindowWith(IDC_PHONE_PORTS);
    // Its first paint (under Wine the list view's first paint alone takes tens of milliseconds)
    // belongs to opening the dialog; this returns once it is done.
    if (phone) ::RedrawWindow(phone, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    const long shownAt = static_cast<long>(::GetTickCount() - start);
    DWORD phoneRow = 0, whole = 0;
    std::string silentDoneBeforePhone;  // silent ports whose row was done when the phone's was
    if (phone) {
        WaitUntil([&] {
            const std::vector<Cells> rows = ListViewRows(phone, IDC_PHONE_PORTS);
            if (!phoneRow && rows.size() == 16 && rows[15].size() == 5 && rows[15][4] == "home") {
                phoneRow = ::GetTickCount() - start;
                for (std::size_t i = 0; i < 15; ++i)
                    if (Done({rows[i]})) silentDoneBeforePhone += " " + rows[i][0];
            }
            return ControlText(phone, IDC_PHONE_STATUS) == "The phone's modem is on COM71.";
        }, kCheckBound, [&] { return "the status naming COM71; it says \"" + ControlText(phone, IDC_PHONE_STATUS) + "\""; });
        whole = ::GetTickCount() - start;
    }
    pinging = false;
    pinger.join();
    ASSERT_NE(phone, nullptr) << ProgramState(*vantaro_);

    // Opening the dialog (creating its window and controls, painting them) is one message each;
    // the check runs from the moment the dialog is on screen until its end.
    DWORD opening = 0, checking = 0;
    int duringCheck = 0, unanswered = 0;
    for (const Ping& ping : pings) {
        if (!ping.answered) ++unanswered;
        if (ping.sentAt < shownAt) {
            if (ping.sentAt >= -20) opening = std::max(opening, ping.waited);
        } else if (ping.sentAt <= static_cast<long>(whole)) {
            checking = std::max(checking, ping.waited);
            ++duringCheck;
        }
    }
    char line[320];
    std::snprintf(line, sizeof line,
                  "16 ports, 1 phone: phone's row complete %lu ms after the click, whole check %lu ms; the dialogs' "
                  "thread: longest wait %lu ms over %d pings during the check (opening the dialog: %lu ms, on screen "
                  "and painted after %ld ms); %d unanswered\n",
                  static_cast<unsigned long>(phoneRow), static_cast<unsigned long>(whole),
                  static_cast<unsigned long>(checking), duringCheck, static_cast<unsigned long>(opening), shownAt,
                  unanswered);
    std::printf("%s", line);
    WriteFile(ArtifactsFolder() + "\\phone-check-timings.txt", line);
    EXPECT_GT(duringCheck, 20) << "too few pings to say anything";
    EXPECT_EQ(unanswered, 0) << "the dialogs' thread left a message unanswered for a second, as long as a phone's probe";
    EXPECT_LT(checking, kLongestPingMs) << "the dialogs' thread went without a message as if it waited for a phone";
    EXPECT_GT(phoneRow, 0u) << "the phone's row never completed";
    EXPECT_EQ(silentDoneBeforePhone, "") << "the phone's row waited for silent ports";

    SaveImage(phone, "phone-dialog-sixteen-en");
    Click(phone, IDCANCEL);
    ExitProgram();
}

// The screenshot of the dialog in the language of the run (the Chinese run shows the Chinese texts).
TEST_F(PhoneDialogTest, Screenshot) {
    const bool chinese = ChineseWindows();
    ASSERT_NE(OpenSettings(chinese ? "phone_screenshot_zh" : "phone_screenshot",
                           {kReady, chinese ? kPin : kDenied, kSilent, chinese ? kOperatorSim : kAsciiOperatorSim, kPuk}),
              nullptr)
        << ProgramState(*vantaro_);
    SaveImage(settings_, ChineseWindows() ? "settings-with-check-phone-zh" : "settings-with-check-phone-en");
    HWND phone = OpenPhoneDialog();
    ASSERT_NE(phone, nullptr) << ProgramState(*vantaro_);
    std::vector<Cells> rows;
    ASSERT_TRUE(WaitForAllRows(phone, rows));
    SelectListViewRow(phone, IDC_PHONE_PORTS, 3);
    ::Sleep(200);
    SaveImage(phone, ChineseWindows() ? "phone-dialog-zh" : "phone-dialog-list-en");
    // The code dialogs: unlocking the blocked SIM, changing the ready one's PIN, and (Chinese)
    // the PIN of the locked one.
    const std::string language = chinese ? "-zh" : "-en";
    for (const auto& [row, button, name] : {std::tuple{4, IDC_ENTER_PIN, "puk-dialog"},
                                            std::tuple{0, IDC_CHANGE_PIN, "change-pin-dialog"},
                                            std::tuple{chinese ? 1 : -1, IDC_ENTER_PIN, "pin-dialog"}}) {
        if (row < 0) continue;
        SelectListViewRow(phone, IDC_PHONE_PORTS, row);
        ASSERT_TRUE(WaitUntil([&, button = button] { return ControlEnabled(phone, button); }, kDefaultWait, name)) << name;
        if (row == 4) SaveImage(phone, "phone-dialog-puk" + language);
        Click(phone, button);
        HWND ask = WaitForWindowWith(IDC_PIN);
        ASSERT_NE(ask, nullptr) << name;
        SaveImage(ask, name + language);
        Click(ask, IDCANCEL);
        ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(ask); }, kDefaultWait, "the code dialog to close"));
    }
    // The Balance dialog with the ready phone's answer.
    SelectListViewRow(phone, IDC_PHONE_PORTS, 0);
    ASSERT_TRUE(WaitUntil([&] { return ControlEnabled(phone, IDC_BALANCE); }, kDefaultWait, "Balance enabled"));
    Click(phone, IDC_BALANCE);
    HWND balance = WaitForWindowWith(IDC_USSD_ANSWER);
    ASSERT_NE(balance, nullptr);
    SetControlText(balance, IDC_USSD_CODE, "*100#");
    Click(balance, IDC_USSD_SEND);
    ASSERT_TRUE(WaitUntil([&] { return ControlText(balance, IDC_USSD_ANSWER) == "Balance: 12.50"; }, kCheckBound, "the balance"));
    SaveImage(balance, "balance-dialog" + language);
    Click(balance, IDCANCEL);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(balance); }, kDefaultWait, "the Balance dialog to close"));
    Click(phone, IDCANCEL);
    ExitProgram();
}

// The Phone dialog closed while its ports are being checked, round after round: the workers end
// after their dialog (the ones of missing ports at once, the silent ones at their bounds), and
// the program lives on and checks again.
TEST_F(PhoneDialogTest, TheProgramLivesOnAfterThePhoneDialogClosesMidCheck) {
    if (ChineseWindows()) GTEST_SKIP() << "the English run holds this";
    std::vector<std::string> ports = {kReady, kSilent, "COM76", "COM77"}, missing;
    for (int number = 93; number <= 99; ++number) missing.push_back("COM" + std::to_string(number));
    ports.insert(ports.end(), missing.begin(), missing.end());  // last: every other worker has started
    ASSERT_NE(OpenSettings("phone_close_while_checking", ports), nullptr) << ProgramState(*vantaro_);
    const auto missingDone = [&](HWND phone) {
        const std::vector<Cells> rows = ListViewRows(phone, IDC_PHONE_PORTS);
        return std::count_if(rows.begin(), rows.end(), [&](const Cells& row) {
                   return row.size() >= 2 && row[1] != English(phonetext::kChecking) &&
                          std::find(missing.begin(), missing.end(), row[0]) != missing.end();
               }) == static_cast<std::ptrdiff_t>(missing.size());
    };
    for (int round = 1; round <= 6; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        HWND phone = OpenPhoneDialog();
        ASSERT_NE(phone, nullptr) << ProgramState(*vantaro_);
        ASSERT_TRUE(WaitUntil([&] { return missingDone(phone); }, kCheckBound)) << "the missing ports were not reported";
        Click(phone, IDCANCEL);
        ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(phone); }, kDefaultWait)) << ProgramState(*vantaro_);
    }
    // A whole check more: the workers of every closed dialog end meanwhile.
    HWND phone = OpenPhoneDialog();
    ASSERT_NE(phone, nullptr) << ProgramState(*vantaro_);
    std::vector<Cells> rows;
    EXPECT_TRUE(WaitForAllRows(phone, rows)) << ProgramState(*vantaro_);
    ASSERT_TRUE(vantaro_->Running()) << "the program ended: " << ProgramState(*vantaro_);
    Click(phone, IDCANCEL);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(phone); }, kDefaultWait));
    ExitProgram();
    EXPECT_EQ(vantaro_->ExitCode(), 0u);
}

} // namespace
} // namespace vantaro::e2e
