// Dialling and hanging up from the Settings dialog, against a remote-access service, events and a
// clock in memory: every state of the dialog, every outcome of a dial and of a hang-up, and what
// happens when the dialog ends while a dial still runs.

#include "dialup/DialNotify.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeDialEvents.h"
#include "fakes/FakeRasLibrary.h"
#include "fakes/SettingsFormFixture.h"
#include "workflow/DialSession.h"

#include <gtest/gtest.h>

#include <set>

namespace vantaro {
namespace {

using testing::FakeClock;
using testing::FakeControls;
using testing::FakeDialEvent;
using testing::FakeDialEvents;
using testing::FakeRasLibrary;
using testing::MemoryProfile;
using testing::RecordingMessages;

constexpr char kSettings[] =
    "[Setting]\nnumber=*99***1#\nusername=card\npassword=secret\n"
    "[BaseSetting]\nlanguage=1\n"
    "[English]\nconectting=Connecting...\nconnectsucess=Connected.\nintimeout=Timed out.\n"
    "disconnecting=Disconnecting...\ndissucess=Disconnected.\n";

// Connect, install and About enabled, disconnect disabled; and the other way round.
constexpr char kIdle[] = "on on on / off";
constexpr char kBusy[] = "off off off / on";

constexpr std::uint32_t kConnected = ras::kStateConnected;
constexpr std::uint32_t kDisconnected = ras::kStateDisconnected;

class DialSessionTest : public ::testing::Test, protected testing::SettingsFormFixture {
protected:
    explicit DialSessionTest(const std::string& settings = kSettings) {
        profile.Reset(settings);
        session.ClearDialState();
        form.LoadSettings();
    }

    // The connect button; the dial thread runs when the test says so.
    void Connect() {
        session.ConnectClicked([this](std::function<void()> work) {
            ++workersStarted;
            pendingWorker = std::move(work);
            return true;
        });
    }
    void RunDialThread() {
        ASSERT_TRUE(pendingWorker) << "no dial thread was started";
        std::exchange(pendingWorker, {})();
    }
    void Dial() {
        Connect();
        RunDialThread();
    }
    void DialThatConnects(ras::ConnectionHandle connection = 81) {
        ras.nextConnection = connection;
        ras.notifications = {{kConnected, 0}};
        Dial();
    }
    void Cancel() {
        session.CancelClicked([this] { ++dialogEnds; });
    }

    std::string Status() const { return controls.GetText(IDC_STATUS); }
    std::string Buttons() const {
        auto state = [&](int id) { return controls.IsEnabled(id) ? "on" : "off"; };
        return std::string(state(IDC_DIAL)) + " " + state(IDC_INSTALL) + " " + state(IDC_ABOUT) + " / " +
               state(IDC_DISCONNECT);
    }
    std::vector<std::string> CallsAfter(std::size_t first) const {
        return std::vector<std::string>(ras.calls.begin() + static_cast<std::ptrdiff_t>(first), ras.calls.end());
    }

    FakeClock clock;
    FakeDialEvents events{clock};
    FakeRasLibrary ras;
    DialSession session{form, ras, events, clock};

    std::function<void()> pendingWorker;
    int workersStarted = 0;
    int dialogEnds = 0;
};

// --- the states of the dialog -------------------------------------------------------------

TEST_F(DialSessionTest, TheDialogStartsIdleWithoutConnectionOrEvents) {
    EXPECT_EQ(Buttons(), kIdle);
    EXPECT_EQ(session.Connection(), 0u);
    EXPECT_FALSE(CurrentDialEvents().done);
    EXPECT_FALSE(CurrentDialEvents().error);
}

TEST_F(DialSessionTest, ConnectSaysConecttingAtOnceAndDialsOnAWorker) {
    Connect();
    EXPECT_EQ(Status(), "Connecting...");
    EXPECT_EQ(Buttons(), kBusy);
    EXPECT_EQ(workersStarted, 1);
    EXPECT_TRUE(ras.calls.empty()) << "the dialog's thread must not dial";
}

TEST_F(DialSessionTest, TheDialTakesTheFieldsAsShownAtTheClickWithoutEntryNameAndWaitsTwentySeconds) {
    // Edited after loading and never saved: what the user sees is what is dialled.
    controls.SetText(IDC_PHONE, "*99***2#");
    controls.SetText(IDC_USER_NAME, "card");
    controls.SetText(IDC_PASSWORD, "secret");
    Connect();
    controls.SetText(IDC_USER_NAME, "typed during the dial");
    ras.nextConnection = 81;
    ras.notifications = {{kConnected, 0}};
    RunDialThread();
    ASSERT_EQ(ras.dialed.size(), 1u);
    const ras::RASDIALPARAMSA& dialed = ras.dialed[0];
    EXPECT_EQ(dialed.dwSize, 1052u);
    EXPECT_STREQ(dialed.szEntryName, "");
    EXPECT_STREQ(dialed.szPhoneNumber, "*99***2#");
    EXPECT_STREQ(dialed.szCallbackNumber, "");
    EXPECT_STREQ(dialed.szUserName, "card");
    EXPECT_STREQ(dialed.szPassword, "secret");
    EXPECT_STREQ(dialed.szDomain, "");
    EXPECT_EQ(ras.connectionsGivenTo, (std::vector<ras::ConnectionHandle>{0}));
    EXPECT_EQ(events.waitTimeouts, (std::vector<std::uint32_t>{20000}));
    EXPECT_STREQ(session.DialParams().szPhoneNumber, "*99***2#");
}

TEST_F(DialSessionTest, ReachingConnectedShowsConnectsucessAndKeepsOnlyDisconnectEnabled) {
    ras.notifications = {{0, 0}, {1, 0}, {kConnected, 0}};
    Dial();
    EXPECT_EQ(Status(), "Connected.");
    EXPECT_EQ(Buttons(), kBusy);
    EXPECT_EQ(session.Connection(), 81u);
}

TEST_F(DialSessionTest, EndingDisconnectedWithoutAnErrorCountsAsDone) {
    ras.notifications = {{kDisconnected, 0}};
    Dial();
    EXPECT_EQ(Status(), "Connected.");
    EXPECT_EQ(Buttons(), kBusy);
}

TEST_F(DialSessionTest, AnErrorShowsItsCodeAndTheServicesTextAndReturnsToIdle) {
    ras.notifications = {{1, 678}};
    ras.errorTexts[678] = "The remote computer did not respond.";
    Dial();
    EXPECT_EQ(Status(), "Error: 678 - The remote computer did not respond.");
    EXPECT_EQ(session.DialErrorText(), Status());
    EXPECT_EQ(Buttons(), kIdle);
    EXPECT_EQ(LastDialError(), 678u);
    EXPECT_EQ(ras.errorStringBufferSizes, (std::vector<std::uint32_t>{256}));
    EXPECT_EQ(session.Connection(), 81u) << "the failed dial's connection stays until the next connect";
}

TEST_F(DialSessionTest, AnErrorWithoutTextShowsTheSignedCodeAlone) {
    ras.notifications = {{1, 678}};
    Dial();
    EXPECT_EQ(Status(), "Error: 678 - ");
    ras.notifications = {{1, 0xFFFFFFFFu}};
    Dial();
    EXPECT_EQ(Status(), "Error: -1 - ");
}

TEST_F(DialSessionTest, NoOutcomeWithinTwentySecondsIsATimeOutThatKeepsTheConnection) {
    const std::uint32_t start = clock.now;
    Dial();
    EXPECT_EQ(Status(), "Timed out.");
    EXPECT_EQ(Buttons(), kIdle);
    EXPECT_EQ(clock.now - start, 20000u);
    EXPECT_EQ(session.Connection(), 81u);
}

class EmptyTimeOutText : public DialSessionTest {
protected:
    EmptyTimeOutText() : DialSessionTest(WithEmptyTimeOutText()) {}
    static std::string WithEmptyTimeOutText() {
        std::string settings = kSettings;
        const std::string text = "intimeout=Timed out.";
        return settings.replace(settings.find(text), text.size(), "intimeout=");
    }
};

TEST_F(EmptyTimeOutText, LeavesTheButtonsAsTheDialLeftThem) {
    Dial();
    EXPECT_EQ(Status(), "");
    EXPECT_EQ(Buttons(), kBusy);
}

// The service calls a dial's notifier from a thread of its own until long after the dial: the
// library stays loaded from the session's first call to its end, and is loaded only then.
TEST_F(DialSessionTest, TheLibraryIsLoadedAtTheFirstCallAndKeptUntilTheSessionEnds) {
    {
        DialSession own(form, ras, events, clock);
        EXPECT_EQ(ras.loads, 0) << "nothing is loaded before anything is asked of the service";
        ras.notifications = {{kConnected, 0}};
        own.ConnectClicked([](std::function<void()> work) {
            work();
            return true;
        });
        own.DisconnectClicked();
        EXPECT_EQ(ras.loads, 1);
        EXPECT_EQ(ras.frees, 0) << "freed while the session could still be notified";
        EXPECT_EQ(ras.Count("RasDialA"), 1);
        EXPECT_EQ(ras.Count("RasDialA with other arguments"), 0) << "default phone book, RasDialFunc, no extensions";
    }
    EXPECT_EQ(ras.frees, 1);
}

TEST_F(DialSessionTest, WithoutTheLibraryOrItsDialEntryPointADialFailsAndGivesTheButtonsBack) {
    const struct {
        const char* what;
        bool loadFails;
        std::set<std::string> missing;
    } cases[] = {
        {"no library", true, {}},
        {"no RasDialA", false, {"RasDialA"}},
        {"no RasDialA, no error texts", false, {"RasDialA", "RasGetErrorStringA"}},
    };
    for (const auto& c : cases) {
        ras.loadFails = c.loadFails;
        ras.missingExports = c.missing;
        DialSession own(form, ras, events, clock);
        own.ConnectClicked([](std::function<void()> work) {
            work();
            return true;
        });
        EXPECT_TRUE(ras.dialed.empty()) << c.what;
        EXPECT_EQ(Status(), "Error: 1 - ") << c.what;
        EXPECT_EQ(Buttons(), kIdle) << c.what;
        EXPECT_EQ(own.Connection(), 0u) << c.what;
    }
}

TEST_F(DialSessionTest, ADialThatTheServiceRefusesAtOnceSaysSoAndGivesTheButtonsBack) {
    ras.dialResult = 633;
    ras.nextConnection = 0;
    ras.errorTexts = {{633, "The port is in use."}};
    Dial();
    EXPECT_EQ(Status(), "Error: 633 - The port is in use.");
    EXPECT_EQ(Buttons(), kIdle);
    EXPECT_TRUE(events.waitTimeouts.empty()) << "a dial that did not start is not waited for";
    EXPECT_EQ(ras.Count("RasHangUpA 0"), 0);
}

TEST_F(DialSessionTest, EventsThatCannotBeMadeLeaveTheDialUnstarted) {
    events.failCreation = events.created + 2;  // the error event
    Dial();
    EXPECT_EQ(ras.Count("RasDialA"), 0);
    EXPECT_EQ(Status(), "Connecting...");
    EXPECT_EQ(Buttons(), kBusy);
}

TEST_F(DialSessionTest, ADialWhileAConnectionIsHeldIsNotStarted) {
    DialThatConnects();
    EXPECT_EQ(session.DialAndWait("", "*99#", "", Secret(), ""), 0);
    EXPECT_EQ(ras.Count("RasDialA"), 1);
}

// --- hanging up ---------------------------------------------------------------------------

TEST_F(DialSessionTest, DisconnectShowsDisconnectingWhileItHangsUp) {
    DialThatConnects();
    std::string statusDuringHangUp, buttonsDuringHangUp;
    ras.onHangUp = [&] {
        statusDuringHangUp = Status();
        buttonsDuringHangUp = Buttons();
    };
    session.DisconnectClicked();
    EXPECT_EQ(statusDuringHangUp, "Disconnecting...");
    EXPECT_EQ(buttonsDuringHangUp, kBusy) << "the dial keeps the buttons until the hang-up is done";
    EXPECT_EQ(Status(), "Disconnected.");
    EXPECT_EQ(Buttons(), kIdle);
    EXPECT_EQ(session.Connection(), 0u);
    EXPECT_FALSE(CurrentDialEvents().done);
}

TEST_F(DialSessionTest, TheHangUpWaitEndsAtTheFirstQueryThatFindsTheConnectionGone) {
    struct Case {
        int queriesUntilGone;
        std::size_t queries;
        std::uint32_t waited;
    };
    // Gone at once, gone after three polls, and never gone: the wait ends 10000 ms after the hang-up.
    for (const Case& c : {Case{0, 1, 0}, Case{3, 4, 150}, Case{-1, 201, 10000}}) {
        DialThatConnects();
        ras.queriesUntilGone = c.queriesUntilGone;
        const std::size_t before = ras.calls.size();
        const std::size_t sleepsBefore = clock.sleeps.size();
        const std::uint32_t start = clock.now;
        session.DisconnectClicked();

        std::vector<std::string> expected{"RasHangUpA 81"};
        expected.insert(expected.end(), c.queries, "RasGetConnectStatusA 81");
        EXPECT_EQ(CallsAfter(before), expected) << "queries until gone: " << c.queriesUntilGone;
        EXPECT_EQ(clock.now - start, c.waited);
        EXPECT_EQ(std::vector<std::uint32_t>(clock.sleeps.begin() + static_cast<std::ptrdiff_t>(sleepsBefore),
                                             clock.sleeps.end()),
                  std::vector<std::uint32_t>(c.queries - 1, 50));
        EXPECT_EQ(Status(), "Disconnected.");
        EXPECT_EQ(session.Connection(), 0u);
    }
    for (std::uint32_t size : ras.recordSizes) EXPECT_EQ(size, 160u);
}

TEST_F(DialSessionTest, ARefusedHangUpKeepsTheConnectionAndSaysDisconnecting) {
    DialThatConnects();
    ras.hangUpResult = 5;
    session.DisconnectClicked();
    EXPECT_EQ(Status(), "Disconnecting...");
    EXPECT_EQ(Buttons(), kBusy) << "Disconnect stays there to try again";
    EXPECT_EQ(session.Connection(), 81u);
    EXPECT_EQ(ras.Count("RasGetConnectStatusA 81"), 0);
}

TEST_F(DialSessionTest, DisconnectWithoutAConnectionSaysDissucessAtOnce) {
    Connect();
    session.DisconnectClicked();
    EXPECT_EQ(Status(), "Disconnected.");
    EXPECT_EQ(Buttons(), kIdle);
    EXPECT_TRUE(ras.calls.empty());
}

// --- leaving the dialog -------------------------------------------------------------------

TEST_F(DialSessionTest, CancelHangsUpALiveConnectionAndEndsTheDialogWithoutWaiting) {
    DialThatConnects();
    const std::uint32_t start = clock.now;
    const std::size_t before = ras.calls.size();
    Cancel();
    EXPECT_EQ(CallsAfter(before), (std::vector<std::string>{"RasHangUpA 81"}));
    EXPECT_EQ(clock.now, start);
    EXPECT_EQ(dialogEnds, 1);
    EXPECT_EQ(session.Connection(), 0u);
    EXPECT_FALSE(CurrentDialEvents().done);
    EXPECT_FALSE(CurrentDialEvents().error);
}

TEST_F(DialSessionTest, CancelWithARefusedHangUpKeepsTheConnectionAndStillEndsTheDialog) {
    DialThatConnects();
    ras.hangUpResult = 5;
    Cancel();
    EXPECT_EQ(dialogEnds, 1);
    EXPECT_EQ(session.Connection(), 81u);
    EXPECT_TRUE(CurrentDialEvents().done);
    EXPECT_TRUE(CurrentDialEvents().error);
}

TEST_F(DialSessionTest, CancelWithoutAConnectionOnlyEndsTheDialog) {
    Cancel();
    EXPECT_EQ(dialogEnds, 1);
    EXPECT_TRUE(ras.calls.empty());
}

// --- a connection left over from an earlier dial ------------------------------------------

TEST_F(DialSessionTest, AConnectionLeftByAFailedOrTimedOutDialIsHungUpBeforeTheNextDial) {
    ras.notifications = {{1, 678}};
    Dial();  // error: connection 81 stays
    ras.queriesUntilGone = 2;
    ras.notifications = {{kConnected, 0}};
    ras.nextConnection = 82;
    std::size_t before = ras.calls.size();
    Dial();
    EXPECT_EQ(CallsAfter(before), (std::vector<std::string>{"RasHangUpA 81", "RasGetConnectStatusA 81", "RasGetConnectStatusA 81",
                                                            "RasGetConnectStatusA 81", "RasDialA"}));
    EXPECT_EQ(session.Connection(), 82u);

    session.DisconnectClicked();
    ras.notifications = {};
    ras.nextConnection = 83;
    Dial();  // time-out: connection 83 stays
    ras.queriesUntilGone = 0;
    before = ras.calls.size();
    DialThatConnects(84);
    EXPECT_EQ(CallsAfter(before), (std::vector<std::string>{"RasHangUpA 83", "RasGetConnectStatusA 83", "RasDialA"}));
}

TEST_F(DialSessionTest, ALeftoverWhoseHangUpIsRefusedIsNotWaitedFor) {
    ras.notifications = {{1, 678}};
    Dial();
    ras.hangUpResult = 5;
    const std::size_t before = ras.calls.size();
    DialThatConnects(82);
    EXPECT_EQ(CallsAfter(before), (std::vector<std::string>{"RasHangUpA 81", "RasDialA"}));
}

// --- values too long for the dial record --------------------------------------------------

class LongPhoneNumber : public DialSessionTest {
protected:
    LongPhoneNumber()
        : DialSessionTest("[Setting]\nnumber=" + std::string(129, '9') + "\n[BaseSetting]\nlanguage=1\n") {}
};

TEST_F(LongPhoneNumber, IsRefusedWithAClearTextAndNothingIsDialled) {
    Dial();
    EXPECT_EQ(Status(), "Fail to dial: the phone number is longer than 128 characters.");
    EXPECT_EQ(Buttons(), kIdle);
    EXPECT_EQ(ras.Count("RasDialA"), 0);
}

TEST_F(DialSessionTest, ValuesThatFillTheirFieldsAreDialledWholeAndLongerOnesRefused) {
    const std::string phone(128, '9'), user(256, 'u'), password(256, 'p'), domain(15, 'd');
    EXPECT_EQ(session.DialAndWait("", phone, user, Secret(password), domain), 1);
    ASSERT_EQ(ras.dialed.size(), 1u);
    EXPECT_EQ(std::string(ras.dialed[0].szPhoneNumber), phone);
    EXPECT_EQ(std::string(ras.dialed[0].szUserName), user);
    EXPECT_EQ(std::string(ras.dialed[0].szPassword), password);
    EXPECT_EQ(std::string(ras.dialed[0].szDomain), domain);
    session.ClearDialState();

    const std::string tooLong(257, 'x');
    EXPECT_EQ(session.DialAndWait("", "*99#", tooLong, Secret(), ""), 0);
    EXPECT_EQ(Status(), "Fail to dial: the user name is longer than 256 characters.");
    EXPECT_EQ(session.DialAndWait("", "*99#", "", Secret(tooLong), ""), 0);
    EXPECT_EQ(Status(), "Fail to dial: the password is longer than 256 characters.");
    EXPECT_EQ(ras.dialed.size(), 1u);
}

// --- the dialog ends while a dial runs ----------------------------------------------------

TEST_F(DialSessionTest, ADialStillWaitingWhenTheDialogEndsGivesUpWithoutTouchingIt) {
    int statusWritesAtEnd = -1;
    events.duringWait = [&] {
        Cancel();
        statusWritesAtEnd = controls.setTextCount[IDC_STATUS];
    };
    const std::uint32_t start = clock.now;
    Dial();
    EXPECT_EQ(dialogEnds, 1);
    EXPECT_EQ(ras.Count("RasHangUpA 81"), 1) << "leaving the dialog hangs the dialled connection up";
    EXPECT_EQ(controls.setTextCount[IDC_STATUS], statusWritesAtEnd) << "the dial thread wrote to an ended dialog";
    EXPECT_EQ(Status(), "Connecting...");
    EXPECT_EQ(clock.now, start) << "the dial thread must wake when the dialog ends, not after 20 s";
}

TEST_F(DialSessionTest, ADialThatStartsAfterTheDialogEndedIsHungUpAtOnce) {
    ras.duringDial = [&] { session.DialogEnded(); };
    ras.notifications = {{kConnected, 0}};
    Dial();
    EXPECT_EQ(ras.Count("RasHangUpA 81"), 1);
    EXPECT_EQ(session.Connection(), 0u);
    EXPECT_TRUE(events.waitTimeouts.empty());
    EXPECT_EQ(Status(), "Connecting...");
}

TEST_F(DialSessionTest, ALeftoverWaitStopsAndNothingIsDialledOnceTheDialogEnds) {
    ras.notifications = {{1, 678}};
    Dial();
    ras.queriesUntilGone = -1;
    clock.onSleep = [&] { session.DialogEnded(); };
    Dial();
    EXPECT_EQ(ras.Count("RasDialA"), 1);
    EXPECT_EQ(clock.sleeps.size(), 1u);
}

TEST_F(DialSessionTest, ALateNotificationFindsItsEventStillValidOrNoneAtAll) {
    std::weak_ptr<DialEvent> lateDone;
    {
        // A session of its own that ends (as the dialog does) after a dial that timed out.
        DialSession ended(form, ras, events, clock);
        ended.ConnectClicked([](std::function<void()> work) {
            work();
            return true;
        });
        EXPECT_EQ(Status(), "Timed out.");
        lateDone = CurrentDialEvents().done;
        ended.DialogEnded();
    }
    ASSERT_FALSE(lateDone.expired()) << "the notifier may still come for that dial";
    DialNotify(0, kConnected, 0);
    EXPECT_EQ(static_cast<FakeDialEvent*>(lateDone.lock().get())->signalCount, 1);

    session.ClearDialState();
    EXPECT_TRUE(lateDone.expired()) << "cleared events are let go";
    DialNotify(0, kConnected, 0);
    DialNotify(0, 0, 678);
    EXPECT_EQ(LastDialError(), 678u);
}

// --- a newer click, and every way the dialog ends ------------------------------------------

TEST_F(DialSessionTest, ADisconnectWakesTheWaitingDialWhoseLateResultNeverOverwritesTheNextDial) {
    // Disconnect while the first dial waits, and a second dial connects meanwhile: the first
    // dial's wait ends early and leaves the second one's "connected" and buttons alone.
    ras.nextConnection = 81;
    Connect();
    events.duringWait = [&] {
        session.DisconnectClicked();
        ras.nextConnection = 82;
        ras.notifications = {{kConnected, 0}};
        Dial();
    };
    const std::uint32_t start = clock.now;
    RunDialThread();
    EXPECT_EQ(Status(), "Connected.");
    EXPECT_EQ(Buttons(), kBusy);
    EXPECT_EQ(session.Connection(), 82u);
    EXPECT_LT(clock.now - start, DialSession::kDialWaitMs) << "the first dial must wake, not wait out its 20 s";
}

TEST_F(DialSessionTest, EveryEndOfTheDialogHangsUpAConnectionKeptFromAFailedDial) {
    ras.notifications = {{1, 678}};
    Dial();
    ASSERT_EQ(session.Connection(), 81u);
    // A failed install ends the dialog with OK, not with Cancel.
    session.DialogEnded();
    EXPECT_EQ(ras.Count("RasHangUpA 81"), 1);
    EXPECT_EQ(session.Connection(), 0u);
    session.DialogEnded();
    EXPECT_EQ(ras.Count("RasHangUpA 81"), 1) << "a connection is hung up once";
}

TEST_F(DialSessionTest, SaveDuringADialKeepsDisconnectAndTheInstallStaysRefused) {
    Connect();
    form.SaveSettings();
    EXPECT_EQ(Buttons(), kBusy) << "a save must not give the buttons back while the dial waits";
    EXPECT_FALSE(form.BeginInstall(ProcessKind::Native32));
    ras.notifications = {{kConnected, 0}};
    RunDialThread();
    session.DisconnectClicked();
    EXPECT_EQ(Buttons(), kIdle);
    EXPECT_TRUE(form.BeginInstall(ProcessKind::Native32));
}

// --- the action buttons of each activity ---------------------------------------------------

// A dialog of its own for each case, brought to its activity as the user brings it there.
class ButtonsOfActivity final : public DialSessionTest {
public:
    void TestBody() override {}
    // Connect, Disconnect, Install, About, Check phone: + on, - off.
    std::string After(const std::function<void(ButtonsOfActivity&)>& reach) {
        reach(*this);
        std::string shown;
        for (int id : {IDC_DIAL, IDC_DISCONNECT, IDC_INSTALL, IDC_ABOUT, IDC_CHECK_PHONE})
            shown += controls.IsEnabled(id) ? '+' : '-';
        return shown;
    }
    void Install() { form.BeginInstall(ProcessKind::Native32); }
    void InstallGivingUp() { form.EndInstall((form.BeginInstall(ProcessKind::Native32), InstallResult::NoInf)); }
    void Disconnect() { session.DisconnectClicked(); }
    void Save() { form.SaveSettings(); }
    void DialFailingThenConnect() {
        ras.notifications = {{1, 678}};
        Dial();
        Connect();  // the dial thread waits for the failed dial's connection to go
    }
    using DialSessionTest::DialThatConnects;
};

TEST(ButtonsOfActivity, EveryActivitySetsEveryActionButton) {
    using Dialog = ButtonsOfActivity;
    const struct {
        const char* activity;
        std::function<void(Dialog&)> reach;
        const char* buttons;
    } cases[] = {
        {"idle", [](Dialog&) {}, "+-+++"},
        {"installing", [](Dialog& d) { d.Install(); }, "-----"},
        {"installing, Disconnect clicked all the same", [](Dialog& d) { d.Install(), d.Disconnect(); }, "-----"},
        {"an install that gave up", [](Dialog& d) { d.InstallGivingUp(); }, "-----"},
        {"an install that gave up, then a save", [](Dialog& d) { d.InstallGivingUp(), d.Save(); }, "+-+++"},
        {"dialling, waiting for a leftover connection", [](Dialog& d) { d.DialFailingThenConnect(); }, "-+---"},
        {"connected", [](Dialog& d) { d.DialThatConnects(); }, "-+---"},
        {"disconnected", [](Dialog& d) { d.DialThatConnects(), d.Disconnect(); }, "+-+++"},
    };
    for (const auto& c : cases) EXPECT_EQ(Dialog().After(c.reach), c.buttons) << c.activity;
}

} // namespace
} // namespace vantaro
