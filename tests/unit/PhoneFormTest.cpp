// The Phone dialog's presenter: rows as the check reports, the modem's port, the PIN button,
// and the operator's settings proposed for the selected row and put into the Settings form.

#include "fakes/PhoneFormFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace vantaro {
namespace {

using testing::PhoneFormFixture;
using Cells = std::vector<std::string>;

class PhoneFormTest : public ::testing::Test, protected PhoneFormFixture {};

TEST_F(PhoneFormTest, EveryPortOfThePortListReadsCheckingUntilItsFindingsCome) {
    Open({"COM3", "COM5", "COM7"});
    EXPECT_EQ(table.columns, (Cells{"Port", "Phone", "SIM", "Signal", "Network"}));
    ASSERT_EQ(table.rows.size(), 3u);
    for (const Cells& row : table.rows) EXPECT_EQ(row[1], "[utf8:checking\xE2\x80\xA6]") << row[0];
    EXPECT_EQ(phoneControls.GetText(IDC_PHONE_STATUS), "Checking the ports...");
    EXPECT_FALSE(phoneControls.IsEnabled(IDC_CHECK_AGAIN)) << "a check runs";

    phone->PortChecked(Modem("COM5"));
    EXPECT_EQ(table.rows[1], (Cells{"COM5", "Zor Z1", "ready", "4/5, -73 dBm", "home"}));
    EXPECT_EQ(table.rows[0][1], "[utf8:checking\xE2\x80\xA6]") << "the others still wait";
    phone->PortChecked(Silent("COM3"));
    EXPECT_EQ(table.rows[0], (Cells{"COM3", "no answer", "", "", ""}));
    EXPECT_TRUE(phone->Checking());
    phone->PortChecked(Silent("COM7"));
    EXPECT_FALSE(phone->Checking());
    EXPECT_TRUE(phoneControls.IsEnabled(IDC_CHECK_AGAIN));
    EXPECT_EQ(table.outOfRangeWrites, 0);
}

TEST_F(PhoneFormTest, ARowSaysWhatThePortAnswered) {
    struct Case {
        const char* what;
        PortFindings findings;
        Cells cells;
    };
    auto modem = [](auto change) {
        PortFindings findings = Modem("COM1");
        change(findings);
        return findings;
    };
    auto state = [](PortState value) {
        PortFindings findings = Silent("COM1");
        findings.state = value;
        return findings;
    };
    const Case cases[] = {
        {"busy", state(PortState::Busy), {"COM1", "in use by another program", "", "", ""}},
        {"not a modem", state(PortState::NotAModem), {"COM1", "not a modem", "", "", ""}},
        {"refused", state(PortState::Refused), {"COM1", "cannot be opened", "", "", ""}},
        {"signal unknown", modem([](PortFindings& f) { f.signal.reset(); }), {"COM1", "Zor Z1", "ready", "unknown", "home"}},
        {"weakest", modem([](PortFindings& f) { f.signal = 0; }), {"COM1", "Zor Z1", "ready", "0/5, -113 dBm", "home"}},
        {"strongest", modem([](PortFindings& f) { f.signal = 31; }), {"COM1", "Zor Z1", "ready", "5/5, -51 dBm", "home"}},
        {"PIN", modem([](PortFindings& f) { f.sim = SimState::Pin; }), {"COM1", "Zor Z1", "PIN needed", "4/5, -73 dBm", "home"}},
        {"PUK", modem([](PortFindings& f) { f.sim = SimState::Puk; }), {"COM1", "Zor Z1", "PUK needed", "4/5, -73 dBm", "home"}},
        {"no SIM", modem([](PortFindings& f) { f.sim = SimState::NoSim; }), {"COM1", "Zor Z1", "no SIM", "4/5, -73 dBm", "home"}},
        {"PIN2", modem([](PortFindings& f) { f.sim = SimState::Pin2; }), {"COM1", "Zor Z1", "ready (PIN2 locked)", "4/5, -73 dBm", "home"}},
        {"PH-SIM", modem([](PortFindings& f) { f.sim = SimState::PhoneSimPin; }), {"COM1", "Zor Z1", "phone code needed", "4/5, -73 dBm", "home"}},
        {"PH-NET", modem([](PortFindings& f) { f.sim = SimState::PhoneNetworkPin; }),
         {"COM1", "Zor Z1", "phone locked to a network", "4/5, -73 dBm", "home"}},
        {"model only", modem([](PortFindings& f) { f.maker.clear(); }), {"COM1", "Z1", "ready", "4/5, -73 dBm", "home"}},
        {"denied", modem([](PortFindings& f) { f.network = f.gprs = Registration::Denied; }),
         {"COM1", "Zor Z1", "ready", "4/5, -73 dBm", "denied"}},
        {"GPRS apart", modem([](PortFindings& f) { f.network = Registration::Roaming; f.gprs = Registration::Searching; }),
         {"COM1", "Zor Z1", "ready", "4/5, -73 dBm", "roaming, GPRS: searching"}},
        {"not registered", modem([](PortFindings& f) { f.network = Registration::NotRegistered; f.gprs = Registration::Unknown; }),
         {"COM1", "Zor Z1", "ready", "4/5, -73 dBm", "not registered"}},
    };
    Open({"COM1"});
    for (const Case& test : cases) EXPECT_EQ(phone->RowCells(test.findings), test.cells) << test.what;
}

TEST_F(PhoneFormTest, ExactlyOneModemIsSelectedAndNamedWhenEveryPortIsDone) {
    struct Case {
        const char* what;
        std::vector<PortFindings> reports;
        int selected;
        std::string status;
    };
    const Case cases[] = {
        {"one modem", {Silent("COM1"), Modem("COM2"), Silent("COM3")}, 1, "The phone's modem is on COM2."},
        {"none", {Silent("COM1"), Silent("COM2"), Silent("COM3")}, -1,
         "No port answered as a modem. Is the phone on and plugged in?"},
        {"two", {Modem("COM1"), Silent("COM2"), Modem("COM3")}, -1, "Several ports answered as modems: choose one."},
    };
    for (const Case& test : cases) {
        PhoneFormFixture fixture;
        fixture.Open({"COM1", "COM2", "COM3"});
        for (std::size_t i = 0; i < test.reports.size(); ++i) {
            EXPECT_EQ(fixture.table.selected, -1) << test.what << ": nothing chosen before every port is done";
            fixture.phone->PortChecked(test.reports[i]);
        }
        EXPECT_EQ(fixture.table.selected, test.selected) << test.what;
        EXPECT_EQ(fixture.phoneControls.GetText(IDC_PHONE_STATUS), test.status) << test.what;
        EXPECT_EQ(fixture.phoneControls.IsEnabled(IDC_USE_PORT), test.selected >= 0) << test.what;
    }
}

TEST_F(PhoneFormTest, ReportsOfPortsNotAskedOrToldTwiceChangeNothing) {
    Open({"COM1", "COM2"});
    phone->PortChecked(Modem("COM9"));
    PortFindings again = Modem("COM1");
    phone->PortChecked(Silent("COM1"));
    phone->PortChecked(again);
    EXPECT_EQ(table.rows[0][1], "no answer");
    EXPECT_EQ(table.rows.size(), 2u);
    EXPECT_TRUE(phone->Checking());
}

TEST_F(PhoneFormTest, AnEmptyPortListSaysSoAndChecksNothing) {
    Open({});
    EXPECT_TRUE(table.rows.empty());
    EXPECT_FALSE(phone->Checking());
    EXPECT_EQ(phoneControls.GetText(IDC_PHONE_STATUS), "The port list is empty: there is no port to check.");
}

TEST_F(PhoneFormTest, UseThisPortSelectsThatPortInTheSettingsPortList) {
    Open({"COM3", "COM5", "COM7"});
    controls.SetCurSel(IDC_PORT_LIST, 2);
    EXPECT_EQ(phone->UseThisPort(), std::nullopt) << "no row selected";
    table.SelectRow(1);
    phone->RowSelected();
    EXPECT_EQ(phone->UseThisPort(), "COM5");
    EXPECT_EQ(controls.GetCurSel(IDC_PORT_LIST), 1);
    EXPECT_EQ(controls.Items(IDC_PORT_LIST), (Cells{"COM3", "COM5", "COM7"})) << "the items stay plain port names";
}

TEST_F(PhoneFormTest, ThePinButtonServesASimThatWantsItsPinOneSendAtATime) {
    struct Case {
        const char* what;
        PortState state;
        SimState sim;
        bool enabled;
    };
    const Case cases[] = {
        {"PIN", PortState::Modem, SimState::Pin, true},     {"ready", PortState::Modem, SimState::Ready, false},
        {"PUK", PortState::Modem, SimState::Puk, true},     {"no SIM", PortState::Modem, SimState::NoSim, false},
        {"no answer", PortState::NoAnswer, SimState::Pin, false},
    };
    for (const Case& test : cases) {
        PhoneFormFixture fixture;
        fixture.Open({"COM1"});
        PortFindings findings = Modem("COM1");
        findings.state = test.state;
        findings.sim = test.sim;
        fixture.phone->PortChecked(findings);
        fixture.table.SelectRow(0);
        fixture.phone->RowSelected();
        EXPECT_EQ(fixture.phoneControls.IsEnabled(IDC_ENTER_PIN), test.enabled) << test.what;
        EXPECT_EQ(fixture.phone->PinButtonAsk().has_value(), test.enabled) << test.what;
        EXPECT_EQ(fixture.phoneControls.GetText(IDC_ENTER_PIN),
                  test.sim == SimState::Puk ? "[utf8:Unlock with PUK\xE2\x80\xA6]" : "Enter PIN...") << test.what;
        const bool ready = test.state == PortState::Modem && test.sim == SimState::Ready;
        EXPECT_EQ(fixture.phoneControls.IsEnabled(IDC_CHANGE_PIN), ready) << test.what;
        EXPECT_EQ(fixture.phoneControls.IsEnabled(IDC_PIN_LOCK), ready) << test.what;
    }
}

TEST_F(PhoneFormTest, ACodeIsSentOncePerClickAndItsOutcomeSaid) {
    struct Case {
        PinAnswer answer;
        std::string status;
        Cells simCell;  // the row's SIM cell afterwards ("checking" when it is read again)
    };
    const Case cases[] = {
        {{PinOutcome::Accepted, SimState::Unknown, std::nullopt}, "The phone took the PIN. The SIM is read again...", {}},
        {{PinOutcome::Rejected, SimState::Pin, 2},
         "The phone refused the PIN. Check it before you try again: a few wrong PINs lock the SIM. 2 tries left",
         {"PIN needed, 2 tries left"}},
        {{PinOutcome::Blocked, SimState::Puk, 10},
         "The SIM is now blocked and wants its PUK: click Unlock with PUK... (the PUK came with the SIM).",
         {"PUK needed, 10 tries left"}},
        {{PinOutcome::NoAnswer, SimState::Unknown, std::nullopt}, "The phone did not answer the PIN.",
         {"PIN needed, tries left not known"}},
        {{PinOutcome::NotOpened, SimState::Unknown, std::nullopt}, "The port could not be opened to send the PIN.", {"PIN needed"}},
    };
    for (const Case& test : cases) {
        PhoneFormFixture fixture;
        fixture.Open({"COM1"});
        PortFindings findings = Modem("COM1");
        findings.sim = SimState::Pin;
        fixture.phone->PortChecked(findings);  // the one modem: selected
        const std::optional<CodeAsk> ask = fixture.phone->PinButtonAsk();
        ASSERT_TRUE(ask && ask->port == "COM1" && ask->action == CodeAction::EnterPin);
        fixture.phone->BeginCode(*ask);
        EXPECT_FALSE(fixture.phoneControls.IsEnabled(IDC_ENTER_PIN)) << "one code on its way at a time";
        EXPECT_FALSE(fixture.phoneControls.IsEnabled(IDC_CHECK_AGAIN));
        EXPECT_EQ(fixture.phone->PinButtonAsk(), std::nullopt);
        const std::optional<std::string> reread = fixture.phone->CodeAnswered(test.answer);
        EXPECT_EQ(fixture.phoneControls.GetText(IDC_PHONE_STATUS), test.status);
        EXPECT_EQ(reread.has_value(), test.simCell.empty()) << test.status << ": only a SIM that took its code is read again";
        if (reread) {
            fixture.phone->BeginReread(*reread);
            EXPECT_EQ(fixture.table.rows[0][1], "[utf8:checking\xE2\x80\xA6]");
            EXPECT_FALSE(fixture.phoneControls.IsEnabled(IDC_ENTER_PIN)) << "nothing until the SIM is read";
            fixture.phone->PortChecked(ModemOf("COM1", "903", "30"));
            EXPECT_EQ(fixture.table.rows[0][2], "ready");
            EXPECT_EQ(fixture.phoneControls.GetText(IDC_PROPOSAL_NOTE), "Settings for the SIM's operator 903-30:");
            EXPECT_EQ(fixture.phoneControls.GetText(IDC_PHONE_STATUS), test.status) << "the code's outcome stays said";
            continue;
        }
        EXPECT_EQ(fixture.table.rows[0][2], test.simCell[0]);
        EXPECT_TRUE(fixture.phoneControls.IsEnabled(IDC_ENTER_PIN)) << "the next try is the user's";
    }
}

// The tries a SIM has left are believed only when it told them after the last code it got. A SIM
// that answers busy, garbage or nothing after a wrong PIN, or a phone whose AT+CPINR fails just
// then, leaves them not known: the row does not keep the count from before, and the next code is
// treated as the last try, which the user confirms first. The code is never sent again by itself.
TEST_F(PhoneFormTest, TriesNotToldAfterACodeAreNotKnownAndTheNextCodeIsConfirmedFirst) {
    struct Case {
        const char* what;
        std::function<void(testing::PinSim&)> after;  // how the SIM answers after the code
        PinOutcome outcome;
        std::string simCell;
        bool confirm;
    };
    const Case cases[] = {
        {"told", [](testing::PinSim&) {}, PinOutcome::Rejected, "PIN needed, 2 tries left", false},
        {"busy once, then told", [](testing::PinSim& sim) { sim.answersAfterCode = 1; }, PinOutcome::Rejected,
         "PIN needed, 2 tries left", false},
        {"busy in words once", [](testing::PinSim& sim) { sim.answersAfterCode = 1, sim.afterCode = "\r\n+CME ERROR: SIM busy\r\n"; },
         PinOutcome::Rejected, "PIN needed, 2 tries left", false},
        {"busy throughout", [](testing::PinSim& sim) { sim.answersAfterCode = 100; }, PinOutcome::Rejected,
         "PIN needed, tries left not known", true},
        {"garbage", [](testing::PinSim& sim) { sim.answersAfterCode = 1, sim.afterCode = "\r\n+CP\x01\x7f#zz"; },
         PinOutcome::Rejected, "PIN needed, tries left not known", true},
        {"AT+CPINR fails", [](testing::PinSim& sim) { sim.triesUnread = true; }, PinOutcome::Rejected,
         "PIN needed, tries left not known", true},
        {"no answer to the PIN", [](testing::PinSim& sim) { sim.silentToCodes = true; }, PinOutcome::NoAnswer,
         "PIN needed, tries left not known", true},
    };
    for (const Case& test : cases) {
        PhoneFormFixture fixture;
        const std::shared_ptr<testing::PinSim> sim = fixture.PlugSim();
        test.after(*sim);
        fixture.Open({"COM1"});
        fixture.phone->PortChecked(LockedModem("COM1", 3));
        const std::optional<CodeAsk> first = fixture.phone->PinButtonAsk();
        ASSERT_TRUE(first) << test.what;
        EXPECT_FALSE(AsksToConfirmLastTry(*first)) << test.what << ": 3 tries left";
        EXPECT_EQ(fixture.SendThrough(*first, "1111").outcome, test.outcome) << test.what;
        EXPECT_EQ(sim->pinTries, 2) << test.what << ": the SIM counted the wrong PIN";
        EXPECT_EQ(sim->codes, 1) << test.what << ": the code is sent once";
        EXPECT_EQ(fixture.table.rows[0][2], test.simCell) << test.what;

        const std::optional<CodeAsk> next = fixture.phone->PinButtonAsk();
        ASSERT_TRUE(next) << test.what;
        EXPECT_EQ(AsksToConfirmLastTry(*next), test.confirm) << test.what;
        EXPECT_EQ(CheckCodeEntry(*next, Secret("2222"), Secret(), Secret(), false),
                  test.confirm ? CodeEntryProblem::UnknownTryNotConfirmed : CodeEntryProblem::None) << test.what;

        // A check that reads the count makes the tries known again.
        fixture.phone->BeginCheck({"COM1"});
        fixture.phone->PortChecked(LockedModem("COM1", 2));
        EXPECT_EQ(fixture.table.rows[0][2], "PIN needed, 2 tries left") << test.what;
        EXPECT_FALSE(AsksToConfirmLastTry(*fixture.phone->PinButtonAsk())) << test.what;
    }
}

// The Phone dialog's buttons follow what the form is doing and what its selected row offers,
// through what a person does.
TEST_F(PhoneFormTest, TheButtonsFollowTheActivityAndTheSelectedRow) {
    const auto buttons = [this] {
        std::string on;
        for (int id : {IDC_USE_PORT, IDC_ENTER_PIN, IDC_CHANGE_PIN, IDC_PIN_LOCK, IDC_CHECK_AGAIN, IDC_USE_SETTINGS,
                       IDC_BALANCE})
            on += phoneControls.IsEnabled(id) ? '+' : '-';
        return on;
    };
    PlugSim();
    Open({"COM1", "COM2"});
    phone->PortChecked(LockedModem("COM1", 3));
    table.SelectRow(0);
    phone->RowSelected();
    EXPECT_EQ(buttons(), "++-----") << "a row that is done is served while the others are checked";
    phone->PortChecked(Silent("COM2"));
    EXPECT_EQ(buttons(), "++--+--");
    const std::optional<CodeAsk> ask = phone->PinButtonAsk();
    ASSERT_TRUE(ask);
    phone->BeginCode(*ask);
    EXPECT_EQ(buttons(), "+------") << "one code at a time, and no check while it goes out";
    phone->BeginReread(phone->CodeAnswered({PinOutcome::Accepted, SimState::Unknown, std::nullopt}).value_or(""));
    EXPECT_EQ(buttons(), "+------") << "nothing until the SIM is read again";
    phone->PortChecked(ModemOf("COM1", "903", "30"));
    EXPECT_EQ(buttons(), "+-+++++");
}

// The tries-left rule: what the user typed is sent only when it has its form, and on the last
// try only once the user has confirmed it.
TEST(CodeEntry, IsSentOnlyInItsFormAndTheLastTryOnlyWhenConfirmed) {
    struct Case {
        CodeAction action;
        std::optional<int> tries;
        const char *code, *newPin, *again;
        bool confirmed;
        CodeEntryProblem expected;
    };
    using P = CodeEntryProblem;
    const Case cases[] = {
        {CodeAction::EnterPin, std::nullopt, "1234", "", "", false, P::None},
        {CodeAction::EnterPin, 3, "123", "", "", true, P::PinNotValid},
        {CodeAction::EnterPin, 1, "1234", "", "", true, P::None},
        {CodeAction::LockOn, 0, "1234", "", "", false, P::LastTryNotConfirmed},
        {CodeAction::Unlock, 10, "1234", "1111", "1111", false, P::PukNotValid},
        {CodeAction::Unlock, 10, "12345678", "11a1", "11a1", false, P::NewPinNotValid},
        {CodeAction::Unlock, 10, "12345678", "1111", "1112", false, P::NewPinsDiffer},
        {CodeAction::Unlock, 1, "12345678", "1111", "1111", false, P::LastTryNotConfirmed},
        {CodeAction::ChangePin, 3, "1111", "22222222", "22222222", false, P::None},
        {CodeAction::ChangePin, 3, "1111", "222222222", "222222222", false, P::NewPinNotValid},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CheckCodeEntry({"COM1", c.action, c.tries}, Secret(c.code), Secret(c.newPin), Secret(c.again), c.confirmed), c.expected)
            << static_cast<int>(c.action) << " " << c.code << "/" << c.newPin << "/" << c.again << " tries "
            << c.tries.value_or(-1);
}

TEST_F(PhoneFormTest, ThePinLockIsReadFirstAndTurnedTheOtherWay) {
    Open({"COM1"});
    phone->PortChecked(Modem("COM1"));
    ASSERT_EQ(phone->BeginLockRead(CodeAction::LockOn), "COM1");
    EXPECT_EQ(phoneControls.GetText(IDC_PHONE_STATUS), "Reading the SIM's PIN lock...");
    EXPECT_FALSE(phoneControls.IsEnabled(IDC_PIN_LOCK));
    const std::optional<CodeAsk> ask = phone->LockRead({PinOutcome::Accepted, true, 1});
    ASSERT_TRUE(ask && ask->action == CodeAction::LockOff) << "the lock is on: the PIN turns it off";
    const CodeDialogTexts texts = phone->DialogTexts(*ask);
    EXPECT_EQ(texts.note, "The PIN lock is on. Enter the PIN to turn it off. 1 try left");
    EXPECT_EQ(texts.confirm, "Last try: a wrong PIN locks the SIM. Send it all the same.");
    ASSERT_EQ(phone->BeginLockRead(CodeAction::LockOn), "COM1");
    EXPECT_EQ(phone->LockRead({PinOutcome::Accepted, std::nullopt, 3}), std::nullopt);
    EXPECT_EQ(phoneControls.GetText(IDC_PHONE_STATUS), "The phone does not say whether the PIN lock is on.");
    EXPECT_TRUE(phoneControls.IsEnabled(IDC_PIN_LOCK));
}

TEST_F(PhoneFormTest, TheSelectedRowsOperatorGetsItsCandidatesPrimaryProviderAndInternetFirst) {
    Open({"COM1"});
    phone->PortChecked(ModemOf("COM1", "903", "30"));
    EXPECT_EQ(phoneControls.GetText(IDC_PROPOSAL_NOTE), "Settings for the SIM's operator 903-30:");
    const Cells items = phoneControls.Items(IDC_PROPOSALS);
    ASSERT_EQ(items.size(), 5u);
    EXPECT_EQ(items[0], "[utf8:Host \xE2\x80\x94 host.net]");
    EXPECT_EQ(phoneControls.GetCurSel(IDC_PROPOSALS), 0);
    EXPECT_TRUE(phoneControls.IsEnabled(IDC_USE_SETTINGS));
}

TEST_F(PhoneFormTest, UseTheseSettingsFillsTheSettingsFieldsAndTheInitStringFollows) {
    Load("[BaseSetting]\nlanguage=1\n[Setting]\napn=cmnet\nusername=old\npassword=old\ndns1=1.1.1.1\ndns2=8.8.8.8\n");
    Open({"COM1"});
    phone->PortChecked(ModemOf("COM1", "904", "40"));
    ASSERT_EQ(phone->Candidates().size(), 1u);
    ASSERT_TRUE(phone->UseTheseSettings());
    EXPECT_EQ(controls.GetText(IDC_APN), "usable.net");
    EXPECT_EQ(controls.GetText(IDC_INIT_STRING), BuildInitString("usable.net"));
    EXPECT_EQ(controls.GetText(IDC_USER_NAME), "");
    EXPECT_EQ(controls.GetText(IDC_PASSWORD), "");
    EXPECT_EQ(controls.GetText(IDC_DNS1), "192.0.2.1");
    EXPECT_EQ(controls.GetText(IDC_DNS2), "") << "the candidate's own DNS servers, none kept from before";
    EXPECT_EQ(profile.Text().find("usable.net"), std::string::npos) << "nothing is saved";
    EXPECT_EQ(phoneControls.GetText(IDC_PHONE_STATUS), "The settings are in the Settings dialog: Save or Install keeps them.");
}

TEST_F(PhoneFormTest, TheChosenCandidateIsTheOneUsed) {
    Open({"COM1"});
    phone->PortChecked(ModemOf("COM1", "903", "30"));
    phoneControls.SetCurSel(IDC_PROPOSALS, 2);
    ASSERT_TRUE(phone->UseTheseSettings());
    EXPECT_EQ(controls.GetText(IDC_APN), phone->Candidates()[2].apn);
    EXPECT_NE(phone->Candidates()[2].apn, phone->Candidates()[0].apn);
    EXPECT_EQ(profile.ReadString("Setting", "apn_try_all", ""), "1") << "the dial series tries the others";
    ASSERT_TRUE(phone->KeptSeries());
    EXPECT_EQ(phone->KeptSeries()->apns.front(), phone->Candidates()[2].apn) << "the chosen APN is tried first";
    EXPECT_EQ(phone->KeptSeries()->portName, "COM1");
}

TEST_F(PhoneFormTest, TheSimsNameChoosesItsProviderAndTheNoteSaysSo) {
    Open({"COM1"});
    PortFindings findings = ModemOf("COM1", "903", "30");
    findings.serviceProviderName = "Virtual One";
    phone->PortChecked(findings);
    EXPECT_EQ(phoneControls.GetText(IDC_PROPOSAL_NOTE),
              "Settings for the SIM's operator 903-30: Chosen by the SIM's name Virtual One.");
    EXPECT_EQ(phone->Candidates().front().provider, "Virtual One");
}

TEST_F(PhoneFormTest, WithoutACandidateTheDialogSaysWhyAndTheFieldsStay) {
    struct Case {
        const char* what;
        SimOperator simOperator;
        std::string note;
    };
    auto home = [](const char* mcc, const char* mnc) {
        SimOperator simOperator;
        simOperator.source = OperatorSource::SimHome;
        simOperator.network = {mcc, mnc};
        return simOperator;
    };
    const Case cases[] = {
        {"no operator", {}, "The SIM's operator is not known: no settings to propose."},
        {"unknown network", home("909", "99"), "The operator 909-99 is not in the database: no settings to propose."},
        {"no APN", home("907", "70"), "The database lists no APN for the operator 907-70."},
        {"nothing usable", home("905", "50"), "The database's APNs for the operator 905-50 do not fit the settings' fields."},
    };
    for (const Case& test : cases) {
        PhoneFormFixture fixture;
        fixture.Load("[BaseSetting]\nlanguage=1\n[Setting]\napn=cmnet\nusername=me\ndns1=1.1.1.1\n");
        fixture.Open({"COM1"});
        PortFindings findings = Modem("COM1");
        findings.simOperator = test.simOperator;
        fixture.phone->PortChecked(findings);
        EXPECT_EQ(fixture.phoneControls.GetText(IDC_PROPOSAL_NOTE).substr(0, test.note.size()), test.note) << test.what;
        EXPECT_TRUE(fixture.phoneControls.Items(IDC_PROPOSALS).empty()) << test.what;
        EXPECT_FALSE(fixture.phoneControls.IsEnabled(IDC_USE_SETTINGS)) << test.what;
        EXPECT_FALSE(fixture.phone->UseTheseSettings()) << test.what;
        EXPECT_EQ(fixture.controls.GetText(IDC_APN), "cmnet") << test.what;
        EXPECT_EQ(fixture.controls.GetText(IDC_USER_NAME), "me") << test.what;
        EXPECT_EQ(fixture.controls.GetText(IDC_DNS1), "1.1.1.1") << test.what;
    }
}

TEST_F(PhoneFormTest, AVisitedNetworkIsSaidToBeOne) {
    Open({"COM1"});
    PortFindings findings = ModemOf("COM1", "903", "30");
    findings.simOperator.source = OperatorSource::RegisteredNetwork;
    findings.simOperator.registeredMatchesImsi = false;
    phone->PortChecked(findings);
    EXPECT_EQ(phoneControls.GetText(IDC_PROPOSAL_NOTE),
              "Settings for network 903-30 (the one the phone is on; when roaming, not the SIM's own):");
}

TEST(PhoneFormTexts, ComeFromTheLanguagesSectionAndFallBackToEnglish) {
    // Read from the section whole, and key by key where the profile cannot read it whole.
    for (const bool wholeSections : {true, false}) {
        SCOPED_TRACE(wholeSections ? "whole section" : "key by key");
        PhoneFormFixture fixture;
        fixture.profile.readsSections = wholeSections;
        fixture.Load("[BaseSetting]\nlanguage=0\n[Chinese]\nuseport=CN-use\nchecking=CN-wait\nmodemon=CN-on %s!\ncolsim=\n");
        fixture.Open({"COM1"});
        EXPECT_EQ(fixture.phoneControls.GetText(IDC_USE_PORT), "CN-use");
        EXPECT_EQ(fixture.phoneControls.GetText(IDC_CHECK_AGAIN), "Check again") << "a missing key gives the English text";
        EXPECT_EQ(fixture.phoneControls.GetText(IDC_PHONE_CLOSE), "Close");
        EXPECT_EQ(fixture.table.columns[2], "") << "a present but empty key is shown empty";
        EXPECT_EQ(fixture.table.columns[1], "Phone");
        EXPECT_EQ(fixture.table.rows[0][1], "CN-wait");
        fixture.phone->PortChecked(PhoneFormFixture::Modem("COM1"));
        EXPECT_EQ(fixture.phoneControls.GetText(IDC_PHONE_STATUS), "CN-on COM1!");
    }
}

TEST(CheckPhoneCaption, ComesFromTheLanguagesSectionOrIsTheEnglishText) {
    struct Case {
        const char* file;
        std::string caption;
    };
    const Case cases[] = {
        {"[BaseSetting]\nlanguage=0\n[Chinese]\ncheckphone=CN-check\n", "CN-check"},
        {"[BaseSetting]\nlanguage=1\n[Chinese]\ncheckphone=CN-check\n", "Check phone"},
        {"", "Check phone"},
    };
    for (const Case& test : cases) {
        testing::SettingsFormFixture fixture;
        fixture.Load(test.file);
        EXPECT_EQ(fixture.controls.GetText(IDC_CHECK_PHONE), test.caption) << test.file;
    }
    testing::SettingsFormFixture fixture;
    fixture.Load("[BaseSetting]\nlanguage=0\n[Chinese]\ncheckphone=CN-check\n[English]\ncheckphone=EN-check\n");
    fixture.controls.SetCurSel(IDC_LANGUAGE, 1);
    fixture.form.ChangeLanguage();
    EXPECT_EQ(fixture.controls.GetText(IDC_CHECK_PHONE), "EN-check") << "the language's change reaches the button";
}

TEST(FillIn, ReplacesTheFirstPlaceholderOnlyAndNothingElse) {
    EXPECT_EQ(FillIn("on %s.", "COM5"), "on COM5.");
    EXPECT_EQ(FillIn("%s and %s %n %d", "A"), "A and %s %n %d");
    EXPECT_EQ(FillIn("no placeholder", "A"), "no placeholder");
}

} // namespace
} // namespace vantaro
