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
        bool EndSignalled() override { return link.dropped; }
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
        connectedAt = clock.now;
        return std::make_unique<Probe>(*this);
    }
    testing::FakeClock& clock;
    bool dropped = false;
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
    LinkKeeperTest() {
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
    UsageCounter usage{usageFile, log.clock, clock, UsageSettings{1, false}, &log.log};
    std::function<void()> worker;
    LinkKeeper keeper{{form, dial, link, usage, clock, messages, [](const std::string& text) { return text; },
                       [this](std::function<void()> work) { return static_cast<bool>(worker = std::move(work)); }, {}},
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

} // namespace
} // namespace vantaro
