// The connection's keeper against a dial in memory: what the tray shows and says, and the status
// line, through one connection's life: connected, figures ticking, the 90 % warning, a drop, a
// redial after its wait, and a final error that ends the redials.

#include "fakes/FakeClock.h"
#include "fakes/FakeDialEvents.h"
#include "fakes/FakeLog.h"
#include "fakes/FakePhonePort.h"
#include "fakes/FakeRasLibrary.h"
#include "fakes/FakeRegistry.h"
#include "fakes/MemoryWholeFile.h"
#include "fakes/SettingsFormFixture.h"
#include "workflow/LinkKeeper.h"
#include "modem/ModemRegistry.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>

namespace vantaro {
namespace {

// The connection's end is signalled when the test says; its counters grow 320 KB a sample.
struct ScriptedLink final : LinkProbes {
    struct Probe final : LinkProbe {
        explicit Probe(ScriptedLink& link) : link(link) {}
        bool Notified() const override { return true; }
        bool EndSignalled() override { return link.dropped && link.signalled; }
        LinkStatus Status() override { return link.dropped ? LinkStatus::Gone : LinkStatus::Up; }
        bool Statistics(ras::RAS_STATS& statistics) override {
            statistics.dwBytesRcved = link.received += 320 * 1024;
            statistics.dwConnectDuration = link.clock.now - link.connectedAt;
            return !link.dropped;
        }
        ScriptedLink& link;
    };
    explicit ScriptedLink(testing::FakeClock& clock) : clock(clock) {}
    std::unique_ptr<LinkProbe> Watch(ras::ConnectionHandle) override {
        dropped = false;
        received = 0;  // the service counts each connection from its start
        connectedAt = clock.now;
        return std::make_unique<Probe>(*this);
    }
    testing::FakeClock& clock;
    bool dropped = false;
    bool signalled = true;  // false: the link ended before the service was asked to signal it
    std::uint32_t received = 0;
    std::uint32_t connectedAt = 0;
};

struct MemoryUsageFile final : UsageFile {
    ReadResult Read(std::string&) override { return ReadResult::Missing; }
    bool Replace(const std::string&) override { return true; }
    bool SetAside() override { return true; }
};

struct RecordingTray final : TrayView {
    void Show(LinkState state, const std::string& tooltip) override {
        seen.push_back(std::string(state == LinkState::Connected ? "connected" : state == LinkState::Dialling ? "dialling" : "disconnected") +
                       (state == LinkState::Connected ? "" : ": " + tooltip));
    }
    void Balloon(const std::string& title, const std::string& text) override { seen.push_back(title + " | " + text); }
    std::vector<std::string> seen;
};

struct LinkKeeperTest : ::testing::Test, testing::SettingsFormFixture {
    explicit LinkKeeperTest(UsageSettings usageSettings = {1, false}, RedialSettings redial = {true, 5, 2})
        : redialSettings(redial), usage{usageFile, log.clock, clock, usageSettings, &log.log} {
        Load("[Setting]\nnumber=*99#\nredial_first_wait=2\n[BaseSetting]\nlanguage=1\n"
             "[English]\nconectting=Connecting...\nconnectsucess=Connected.\n");
        keeper.SetTray(&tray);
    }
    // A tick after `ms` more milliseconds, with the dial's worker (if one was started) run first.
    void Tick(std::uint32_t ms = 1000) {
        if (worker) std::exchange(worker, {})();
        clock.now += ms;
        keeper.Tick();
    }

    RedialSettings redialSettings;
    testing::FakeClock clock;
    testing::FakeDialEvents events{clock};
    testing::FakeRasLibrary ras;
    DialSession dial{form, ras, events, clock};
    ScriptedLink link{clock};
    MemoryUsageFile usageFile;
    testing::RecordingLog log;
    UsageCounter usage;
    std::function<void()> worker;
    LinkKeeper keeper{{form, dial, link, usage, clock, messages, [](const std::string& text) { return text; },
                       [this](std::function<void()> work) { return static_cast<bool>(worker = std::move(work)); },
                       [this] { dial.DisconnectClicked(); }},
                      redialSettings};
    RecordingTray tray;
};

TEST_F(LinkKeeperTest, TheTrayFollowsTheLinkFromConnectThroughADropAndARedialToAFinalError) {
    ras.notifications = {{ras::kStateConnected, 0}};
    keeper.ConnectClicked();
    Tick();
    EXPECT_EQ(controls.GetText(IDC_LINK_STATS).rfind("Connected 0:00:00   Received 320.0 KB", 0), 0u)
        << controls.GetText(IDC_LINK_STATS);
    Tick();  // 640 KB of 1 MB
    Tick();  // 960 KB: past 90 %
    link.dropped = true;
    ras.notifications = {{1, 691}};
    Tick();
    EXPECT_EQ(controls.GetText(IDC_STATUS), "link dropped Redialling in 2 s (attempt 1 of 5).");
    EXPECT_EQ(controls.GetText(IDC_LINK_STATS), "");
    Tick();
    EXPECT_TRUE(ras.dialed.size() == 1u) << "redialled before the wait was over";
    Tick();  // the wait is over: the redial starts
    Tick();  // and fails for good
    EXPECT_EQ(ras.dialed.size(), 2u);
    EXPECT_EQ(tray.seen, (std::vector<std::string>{
                             "disconnected: Not connected",
                             "dialling: Connecting...",
                             "Vantaro | Connected.",
                             "connected",
                             "connected",
                             "Vantaro | 90 % of this month's limit is used: 960.0 KB of 1.0 MB.",
                             "connected",
                             "Vantaro | link dropped",
                             "dialling: Connecting...",
                             "Vantaro | Redialling in 2 s (attempt 1 of 5).",
                             "disconnected: Not connected",
                             "Vantaro stopped redialling. | The network refused the login or the link: check the user "
                             "name, password and APN.",
                         }));
    EXPECT_EQ(form.CurrentActivity(), SettingsForm::Activity::Idle);
}

// --- a dial series that tries APNs in turn ([Setting] apn_try_all=1) ---------------------------

// The modem's driver key as the install left it, and each dial's end in turn: the APN that each
// dial found in the init string is recorded as the dial starts.
struct ApnTrialTest : LinkKeeperTest {
    explicit ApnTrialTest(RedialSettings redial = {true, 5, 2}) : LinkKeeperTest({1, false}, redial) {
        registry.CreateKey(kRootModemKey);
        registry.SetString(NumberedSubKey(kModemClassKey, 0), "DriverDesc", kModemDriverDesc);
        keeper.SetApnTrial(&trial);
        ras.duringDial = [this] {
            initsDialled.push_back(registry.Find(NumberedSubKey(kModemClassKey, 0), "UserInit")->text);
            ras.notifications = {ends.at(initsDialled.size() - 1)};
        };
    }
    std::vector<std::string> Inits(std::vector<std::string> apns) const {
        for (std::string& apn : apns) apn = BuildInitString(apn);
        return apns;
    }

    testing::FakeRegistry registry;
    testing::MemoryWholeFile apnFile;
    ApnMemory memory{apnFile};
    const std::string iccid = "8949020000123456789";
    ApnTrial trial{registry, &memory, {{"wrong.apn", "right.apn", "third.apn"}, "COM3", iccid}};
    std::vector<testing::FakeRasLibrary::Notification> ends;
    std::vector<std::string> initsDialled;
};

TEST_F(ApnTrialTest, ARefusedApnGivesWayToTheNextWhichConnectsAndIsRemembered) {
    ends = {{1, 629}, {ras::kStateConnected, 0}};
    keeper.ConnectClicked();
    EXPECT_EQ(controls.GetText(IDC_STATUS), "Trying APN wrong.apn (1 of 3)...");
    Tick();  // the first dial is refused: the second APN is written and dialled at once
    EXPECT_EQ(controls.GetText(IDC_STATUS), "Trying APN right.apn (2 of 3)...");
    EXPECT_EQ(form.CurrentActivity(), SettingsForm::Activity::Dialling) << "a try belongs to the same series";
    Tick();
    EXPECT_EQ(initsDialled, Inits({"wrong.apn", "right.apn"}));
    EXPECT_EQ(form.CurrentActivity(), SettingsForm::Activity::Connected);
    EXPECT_EQ(memory.Remembered(iccid), "right.apn");
}

TEST_F(ApnTrialTest, AnErrorOfTheModemOrItsPortDoesNotMoveOnToAnotherApn) {
    ends = {{1, RedialPolicy::kErrorPortNotAvailable}, {1, RedialPolicy::kErrorPortNotAvailable}};
    keeper.ConnectClicked();
    Tick();
    EXPECT_EQ(controls.GetText(IDC_STATUS).find("Trying APN"), std::string::npos) << controls.GetText(IDC_STATUS);
    for (int tick = 0; tick < 3; ++tick) Tick();  // the redial policy's own redial, after its wait
    EXPECT_EQ(initsDialled, Inits({"wrong.apn", "wrong.apn"}));
    EXPECT_EQ(memory.Remembered(iccid), "");
}

// Redial off says what follows a series, not whether its APNs are tried.
struct ApnTrialWithoutRedialTest : ApnTrialTest {
    ApnTrialWithoutRedialTest() : ApnTrialTest({false, 5, 2}) {}
};

// No phone check made this series: before its first dial the SIM on the dial's port completes it
// with the APN remembered for its ICCID and its operator's; a port that does not answer leaves
// the user's APN alone, and with redial off its refusal ends the series.
TEST_F(ApnTrialWithoutRedialTest, TheSimOnTheDialsPortCompletesASeriesNoPhoneCheckMadeBeforeItsFirstDial) {
    testing::FakePhonePorts ports(clock);
    std::map<std::string, std::string> answers = testing::ReadyPhoneAnswers();
    answers["AT+CCID"] = "\r\n+CCID: " + iccid + "\r\n\r\nOK\r\n";
    ports.Add("COM3", testing::TablePhone(answers));
    form.SetPortName("COM3");
    form.SetLog(&log.log);
    memory.Remember(iccid, "right.apn");
    auto waiting = std::make_shared<ApnTrial>(registry, &memory, ApnTrial::Series{{"user.apn"}, "COM3", ""}, true);
    ApnSimStart start(form, ports, clock, providers::BuiltInProviderDatabase(), [](const std::string& text) { return text; });
    dial.SetBeforeDial([&](bool redial) { return start.BeforeDial(redial), DialSession::DialClearance{}; });
    keeper.SetApnTrial(waiting.get());
    ends = {{1, 629}, {ras::kStateConnected, 0}, {1, 629}};

    start.Await(waiting);
    keeper.ConnectClicked();
    Tick();  // the SIM is read and the user's APN dialled; refused, the remembered one is next
    EXPECT_EQ(controls.GetText(IDC_STATUS).rfind("Trying APN right.apn (2 of ", 0), 0u) << controls.GetText(IDC_STATUS);
    EXPECT_GT(waiting->Count(), 3u) << "the operator's APNs and none follow";
    Tick();
    EXPECT_EQ(form.CurrentActivity(), SettingsForm::Activity::Connected);
    EXPECT_NE(log.Text().find("dial.sim\tdone\t0\tport COM3: home network 460-00 (from the SIM), ICCID 894902*************;"),
              std::string::npos) << log.Text();

    keeper.UserEnded();
    dial.DisconnectClicked();
    ports.Add("COM3", testing::SilentPhone());
    start.Await(waiting);
    keeper.ConnectClicked();
    for (int tick = 0; tick < 4; ++tick) Tick();
    EXPECT_NE(log.Text().find("dial.apn\tstarted\t0\tuser.apn 1/1"), std::string::npos) << log.Text();
    EXPECT_EQ(initsDialled, Inits({"user.apn", "right.apn", "user.apn"})) << "redialled with redial off";
    EXPECT_EQ(form.CurrentActivity(), SettingsForm::Activity::Idle);
}

TEST_F(ApnTrialTest, DisconnectDuringTheTriesEndsThemAndNoLaterEndStartsAnother) {
    ends = {{1, 619}, {1, 619}, {1, 619}};
    keeper.ConnectClicked();
    Tick();  // the second APN's dial is started; its worker runs at the next tick
    ASSERT_EQ(controls.GetText(IDC_STATUS), "Trying APN right.apn (2 of 3)...");
    keeper.UserEnded();
    dial.DisconnectClicked();
    Tick();
    Tick();
    EXPECT_LE(initsDialled.size(), 2u) << "no third APN after Disconnect";
    EXPECT_EQ(form.CurrentActivity(), SettingsForm::Activity::Idle);
    ASSERT_EQ(initsDialled.at(0), BuildInitString("wrong.apn"));
}

// --- what the dialog is doing after each thing the user, the service or the clock does --------

// The dialog as SettingsDialog drives it. Run("a b=Shown c") takes the steps in turn and checks,
// after a step with "=", the activity, the action buttons (Connect, Disconnect, Install, About,
// Check phone: + on, - off) and the dials made.
struct Clicks : LinkKeeperTest {
    Clicks() : LinkKeeperTest(UsageSettings{2, true}) {}  // 2 MB a month, then hang up
    void TestBody() override {}
    void Step(const std::string& step) {
        const auto next = [this](std::uint32_t result, std::uint32_t state, std::uint32_t error, ras::ConnectionHandle handle) {
            ras.dialResult = result, ras.notifications = {{state, error}}, ras.nextConnection = handle;
        };
        const auto tick = [this](std::uint32_t ms) { clock.now += ms, keeper.Tick(); };
        const std::map<std::string, std::function<void()>> steps = {
            {"connect", [&] { keeper.ConnectClicked(); }},
            {"disconnect", [&] { if (form.Allows(IDC_DISCONNECT)) keeper.UserEnded(); dial.DisconnectClicked(); }},
            {"run", [&] { if (worker) std::exchange(worker, {})(); }},
            {"tick", [&] { tick(1000); }},
            {"early-tick", [&] { tick(999); }},  // a timer may come a moment early
            {"exit", [&] { keeper.DialogEnded(), dial.DialogEnded(); }},
            {"fails", [&] { next(0, 1, 678, ++handles); }},
            {"connects", [&] { next(0, ras::kStateConnected, 0, ++handles); }},
            {"refused", [&] { next(633, 0, 0, 0); }},
            {"drop", [&] { link.dropped = link.signalled = true; }},
            {"silent-drop", [&] { link.dropped = true, link.signalled = false; }},  // ended before the signal was set up
            {"forgetful", [&] { ras.hangUpResult = ras::kErrorInvalidHandle; }},   // it let the dropped link go
            {"answering", [&] { ras.hangUpResult = 0; }},
            {"phone", [&] { form.Apply(SettingsForm::ActivityEvent::PhoneCheckOpened); }},
            {"phone-closed", [&] { form.Apply(SettingsForm::ActivityEvent::PhoneCheckClosed); }},
            {"balance", [&] { form.Apply(SettingsForm::ActivityEvent::BalanceOpened); }},
            {"balance-closed", [&] { form.Apply(SettingsForm::ActivityEvent::BalanceClosed); }},
            {"install", [&] { form.BeginInstall(ProcessKind::Native32); }},
            {"sim-locked", [&] { keeper.SetSimLocked(true); }},
            {"new-month", [&] { log.clock.time = {2027, 1, 1, 0, 0, 1, 0}; }},
            {"disconnect-in-dial", [&] { ras.duringDial = [this] { Step("disconnect"), ras.duringDial = nullptr; }; }},
        };
        const auto found = steps.find(step);
        if (found == steps.end()) ADD_FAILURE() << "no step " << step;
        else found->second();
    }
    std::string Shown() const {
        static const char* const kNames[] = {"Idle",      "Installing", "AfterInstall", "Dialling",
                                             "Connected", "AfterDial",  "Redialling",   "CheckingPhone", "AskingBalance"};
        std::string shown = kNames[static_cast<int>(form.CurrentActivity())];
        for (int id : {IDC_DIAL, IDC_DISCONNECT, IDC_INSTALL, IDC_ABOUT, IDC_CHECK_PHONE})
            shown += controls.IsEnabled(id) ? '+' : '-';
        return shown + std::to_string(ras.dialed.size());
    }
    void Run(const std::string& steps, const char* what) {
        std::istringstream words(steps);
        std::string trail;
        for (std::string word; words >> word;) {
            const std::size_t equals = word.find('=');
            Step(word.substr(0, equals));
            trail += " " + word;
            if (equals != std::string::npos) EXPECT_EQ(Shown(), word.substr(equals + 1)) << what << ":" << trail;
        }
    }
    ras::ConnectionHandle handles = 0x50;
};

TEST(ClickSequence, EveryStepLeavesTheActivityAndTheButtonsItShould) {
    const std::pair<const char*, const char*> cases[] = {
        {"a failed Connect keeps Connect off until the redial, and Disconnect ends its wait",
         "fails connect=Dialling-+---0 run=Redialling-+---1 tick=Redialling-+---1 disconnect=Idle+-+++1 tick tick tick=Idle+-+++1"},
        {"a failed redial does not give Connect back either",
         "connects connect run tick=Connected-+---1 drop tick=Redialling-+---1 fails tick tick=Dialling-+---1 "
         "run=Redialling-+---2 tick=Redialling-+---2 disconnect=Idle+-+++2 tick tick tick=Idle+-+++2"},
        {"a dial refused at once ends, and the second refused port gives up",
         "refused connect run=Redialling-+---1 tick tick tick=Dialling-+---1 run=Redialling-+---2 tick=Idle+-+++2"},
        {"the phone check is an activity: no Connect or install beside it, and none beside a dial",
         "phone=CheckingPhone-----0 connect run install=CheckingPhone-----0 phone-closed=Idle+-+++0 "
         "fails connect run phone=Redialling-+---1 phone-closed=Redialling-+---1"},
        {"so is the balance asked on the dial's port, which a dial's port never gives",
         "balance=AskingBalance-----0 connect run=AskingBalance-----0 balance-closed=Idle+-+++0 "
         "fails connect run balance=Redialling-+---1"},
        {"a link that ended before its end could be signalled is found by its status",
         "connects connect run tick=Connected-+---1 silent-drop tick tick tick tick=Connected-+---1 tick=Redialling-+---1"},
        {"a connection lifts the block of a SIM the phone check found locked",
         "sim-locked connects connect run tick drop tick=Redialling-+---1"},
        {"\"Redialling in 2 s\" dials at the second tick, even when ticks come a moment early",
         "fails connect run early-tick=Redialling-+---1 early-tick=Redialling-+---1 early-tick=Dialling-+---1"},
        {"a Disconnect while the service still starts the dial leaves nothing connected",
         "disconnect-in-dial connects connect run=Idle+-+++1 tick tick=Idle+-+++1"},
        {"a drop after Disconnect changes nothing", "connects connect run tick disconnect drop tick tick=Idle+-+++1"},
        {"the monthly limit's no-redial ends with its month (320 KB a tick)",
         "connects connect run tick tick tick tick tick tick=Connected-+---1 tick=Idle+-+++1 "
         "new-month connects connect run tick drop tick=Redialling-+---2"},
    };
    for (const auto& [what, steps] : cases) Clicks().Run(steps, what);
}

TEST(ClickSequence, EveryConnectionTheServiceGaveIsHungUpExactlyOnce) {
    Clicks dialog;
    // A drop, a failed redial, a drop the service forgot, Disconnect during RasDial, Exit.
    dialog.Run("connects connect run tick drop tick connects tick tick run tick disconnect "
               "fails connect run tick tick tick connects run tick drop forgetful tick answering disconnect "
               "disconnect-in-dial connects connect run connects connect run tick exit", "");
    ASSERT_EQ(dialog.ras.handedOut.size(), 6u);
    for (ras::ConnectionHandle handle : dialog.ras.handedOut)
        EXPECT_EQ(dialog.ras.Count("RasHangUpA " + std::to_string(handle)), 1) << handle;
}

} // namespace
} // namespace vantaro
