// The connection's keeper against a dial in memory: what the tray shows and says, and the status
// line, through one connection's life: connected, figures ticking, the 90 % warning, a drop, a
// redial after its wait, and a final error that ends the redials.

#include "fakes/FakeClock.h"
#include "fakes/FakeDialEvents.h"
#include "fakes/FakeLog.h"
#include "fakes/FakeRasDialService.h"
#include "fakes/SettingsFormFixture.h"
#include "workflow/LinkKeeper.h"

#include <gtest/gtest.h>

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
    explicit LinkKeeperTest(UsageSettings usageSettings = {1, false}) : usage{usageFile, log.clock, clock, usageSettings, &log.log} {
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

    testing::FakeClock clock;
    testing::FakeDialEvents events{clock};
    testing::FakeRasDialService ras;
    DialSession dial{form, ras, events, clock};
    ScriptedLink link{clock};
    MemoryUsageFile usageFile;
    testing::RecordingLog log;
    UsageCounter usage;
    std::function<void()> worker;
    LinkKeeper keeper{{form, dial, link, usage, clock, messages, [](const std::string& text) { return text; },
                       [this](std::function<void()> work) { return static_cast<bool>(worker = std::move(work)); },
                       [this] { dial.DisconnectClicked(); }},
                      RedialSettings{true, 5, 2}};
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

// --- what the dialog is doing after each thing the user, the service or the clock does --------

// The dialog as SettingsDialog drives it, one step at a time; After() says the activity, the
// action buttons (Connect, Disconnect, Install, About, Check phone: + on, - off) and the dials made.
struct Clicks : LinkKeeperTest {
    void TestBody() override {}
    void Step(const std::string& step) {
        if (step == "connect") {
            keeper.ConnectClicked();
        } else if (step == "disconnect") {
            if (form.Allows(IDC_DISCONNECT)) keeper.UserEnded();
            dial.DisconnectClicked();
        } else if (step == "run") {
            if (worker) std::exchange(worker, {})();
        } else if (step == "tick" || step == "early tick") {
            clock.now += step == "tick" ? 1000 : 999;  // a timer may come a moment early
            keeper.Tick();
        } else if (step == "exit") {
            keeper.DialogEnded();
            dial.DialogEnded();
        } else if (step == "fails" || step == "connects" || step == "refused") {
            ras.dialResult = step == "refused" ? 633 : 0;
            ras.notifications = {{step == "fails" ? 1 : ras::kStateConnected, step == "fails" ? 678u : 0u}};
            ras.nextConnection = step == "refused" ? 0 : ++handles;
        } else if (step == "drop" || step == "silent drop") {
            link.dropped = true;
            link.signalled = step == "drop";
        } else if (step == "phone") {
            form.Apply(SettingsForm::ActivityEvent::PhoneCheckOpened);
        } else if (step == "phone closed") {
            form.Apply(SettingsForm::ActivityEvent::PhoneCheckClosed);
        } else if (step == "install") {
            form.BeginInstall(ProcessKind::Native32);
        } else if (step == "forgetful service" || step == "answering service") {
            // One that has let a dropped connection go answers its hang-up "invalid handle".
            ras.hangUpResult = step == "forgetful service" ? ras::kErrorInvalidHandle : 0;
        } else if (step == "sim locked") {
            keeper.SetSimLocked(true);
        } else if (step == "disconnect during the dial") {
            ras.duringDial = [this] { Step("disconnect"), ras.duringDial = nullptr; };
        } else {
            ADD_FAILURE() << "no step " << step;
        }
    }
    std::string After() const {
        static const char* const kNames[] = {"Idle",      "Installing", "AfterInstall", "Dialling",
                                             "Connected", "AfterDial",  "Redialling",   "CheckingPhone"};
        std::string shown = kNames[static_cast<int>(form.CurrentActivity())];
        shown += ' ';
        for (int id : {IDC_DIAL, IDC_DISCONNECT, IDC_INSTALL, IDC_ABOUT, IDC_CHECK_PHONE})
            shown += controls.IsEnabled(id) ? '+' : '-';
        return shown + " " + std::to_string(ras.dialed.size());
    }
    ras::ConnectionHandle handles = 0x50;
};

TEST(ClickSequence, EveryStepLeavesTheActivityAndTheButtonsItShould) {
    // Each row: a step, then what the dialog shows after it ("" when the step does not say).
    using Steps = std::vector<std::pair<const char*, const char*>>;
    const struct {
        const char* what;
        Steps steps;
    } cases[] = {
        {"a failed Connect keeps Connect off until the redial's wait, and Disconnect ends that wait",
         {{"fails", ""}, {"connect", "Dialling -+--- 0"}, {"run", "Redialling -+--- 1"}, {"tick", "Redialling -+--- 1"},
          {"disconnect", "Idle +-+++ 1"}, {"tick", ""}, {"tick", ""}, {"tick", "Idle +-+++ 1"}}},
        {"a failed redial does not give Connect back either",
         {{"connects", ""}, {"connect", ""}, {"run", ""}, {"tick", "Connected -+--- 1"}, {"drop", ""},
          {"tick", "Redialling -+--- 1"}, {"fails", ""}, {"tick", "Redialling -+--- 1"}, {"tick", "Dialling -+--- 1"},
          {"run", "Redialling -+--- 2"}, {"tick", "Redialling -+--- 2"}, {"disconnect", "Idle +-+++ 2"},
          {"tick", ""}, {"tick", ""}, {"tick", "Idle +-+++ 2"}}},
        {"a dial the service refuses at once ends, and the second refused port gives up",
         {{"refused", ""}, {"connect", ""}, {"run", "Redialling -+--- 1"}, {"tick", ""}, {"tick", ""},
          {"tick", "Dialling -+--- 1"}, {"run", "Redialling -+--- 2"}, {"tick", "Idle +-+++ 2"}}},
        {"the phone check is an activity: no Connect, no install, no phone check beside a dial",
         {{"phone", "CheckingPhone ----- 0"}, {"connect", ""}, {"run", ""}, {"install", "CheckingPhone ----- 0"},
          {"phone closed", "Idle +-+++ 0"}, {"fails", ""}, {"connect", ""}, {"run", ""},
          {"phone", "Redialling -+--- 1"}, {"phone closed", "Redialling -+--- 1"}}},
        {"a link that ended before its end could be signalled is found by its status",
         {{"connects", ""}, {"connect", ""}, {"run", ""}, {"tick", "Connected -+--- 1"}, {"silent drop", ""},
          {"tick", ""}, {"tick", ""}, {"tick", ""}, {"tick", "Connected -+--- 1"}, {"tick", "Redialling -+--- 1"}}},
        {"a connection lifts the block of a SIM the phone check found locked",
         {{"sim locked", ""}, {"connects", ""}, {"connect", ""}, {"run", ""}, {"tick", "Connected -+--- 1"},
          {"drop", ""}, {"tick", "Redialling -+--- 1"}}},
        {"\"Redialling in 2 s\" dials at the second tick, even when ticks come a moment early",
         {{"fails", ""}, {"connect", ""}, {"run", ""}, {"early tick", "Redialling -+--- 1"},
          {"early tick", "Redialling -+--- 1"}, {"early tick", "Dialling -+--- 1"}}},
        {"a Disconnect while the service still starts the dial leaves nothing connected",
         {{"disconnect during the dial", ""}, {"connects", ""}, {"connect", ""}, {"run", "Idle +-+++ 1"},
          {"tick", ""}, {"tick", "Idle +-+++ 1"}}},
        {"a drop after Disconnect, and a second report of one end, change nothing",
         {{"connects", ""}, {"connect", ""}, {"run", ""}, {"tick", ""}, {"disconnect", "Idle +-+++ 1"},
          {"drop", ""}, {"tick", ""}, {"tick", "Idle +-+++ 1"}}},
    };
    for (const auto& c : cases) {
        Clicks dialog;
        std::string trail;
        for (const auto& [step, expected] : c.steps) {
            dialog.Step(step);
            trail += std::string(" > ") + step;
            if (*expected) EXPECT_EQ(dialog.After(), expected) << c.what << ":" << trail;
        }
    }
}

TEST(ClickSequence, EveryConnectionTheServiceGaveIsHungUpExactlyOnce) {
    Clicks dialog;
    for (const char* step : {"connects", "connect", "run", "tick", "drop", "tick",  // a drop is hung up at once
                             "connects", "tick", "tick", "run", "tick", "disconnect",
                             "fails", "connect", "run", "tick", "tick", "tick",         // a failed redial's too
                             "connects", "run", "tick", "drop", "forgetful service", "tick",  // then Disconnect
                             "answering service", "disconnect", "disconnect during the dial", "connects", "connect", "run",
                             "connects", "connect", "run", "tick", "exit"})
        dialog.Step(step);
    ASSERT_EQ(dialog.ras.handedOut.size(), 6u);
    for (ras::ConnectionHandle handle : dialog.ras.handedOut)
        EXPECT_EQ(dialog.ras.Count("HangUp " + std::to_string(handle)), 1) << handle;
    EXPECT_EQ(dialog.ras.Count("HangUp 0"), 0);
}

struct LimitThatHangsUp : LinkKeeperTest {
    LimitThatHangsUp() : LinkKeeperTest(UsageSettings{1, true}) {}
};

TEST_F(LimitThatHangsUp, ItsNoRedialEndsWithItsMonth) {
    ras.notifications = {{ras::kStateConnected, 0}};
    keeper.ConnectClicked();
    for (int i = 0; i < 5; ++i) Tick();  // 320 KB a tick: past 1 MB, hung up
    EXPECT_EQ(form.CurrentActivity(), SettingsForm::Activity::Idle);
    log.clock.time = {2027, 1, 1, 0, 0, 1, 0};
    keeper.ConnectClicked();
    Tick();
    link.dropped = true;
    Tick();
    EXPECT_EQ(form.CurrentActivity(), SettingsForm::Activity::Redialling) << controls.GetText(IDC_STATUS);
}

} // namespace
} // namespace vantaro
