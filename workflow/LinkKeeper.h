#pragma once
// Keeping the connection, on the dialog's thread: once a second it takes the dial's outcome,
// samples an established link for the statistics line, the tray's tooltip and the monthly
// counter, notices a drop (the service's signal, or the link's status every five seconds where
// the service refuses to signal), and redials after a failed dial or a drop as the redial policy
// says, after the policy's wait.
//
// Everything here runs on the dialog's thread; the dial itself runs on DialSession's worker and
// reports its end through DialSession::TakeOutcome. A redial is a dial: from the drop or the
// failed dial until the redial's end the activity is Dialling, so only Disconnect is on, and
// Disconnect (or Exit) ends the waiting at once.

#include "dialup/LinkMeter.h"
#include "dialup/LinkWatch.h"
#include "log/Log.h"
#include "platform/Clock.h"
#include "platform/MessageSink.h"
#include "workflow/ApnTrial.h"
#include "workflow/DialSession.h"
#include "workflow/LinkText.h"
#include "workflow/RedialPolicy.h"
#include "workflow/TrayView.h"
#include "workflow/UsageCounter.h"

#include <cstdint>
#include <memory>
#include <string>

namespace vantaro {

class LinkKeeper {
public:
    static constexpr std::uint32_t kTickMs = LinkMeter::kSamplePeriodMs;
    // Where the service does not signal a connection's end, its status is asked this often.
    static constexpr std::uint32_t kStatusPollTicks = LinkWatch::kStatusPollMs / kTickMs;

    struct Parts {
        SettingsForm& form;
        DialSession& dial;
        LinkProbes& probes;
        UsageCounter& usage;
        Clock& clock;
        MessageSink& messages;     // the dialog's own
        TextConverter fromUtf8;    // the English defaults into the interface's code page
        DialSession::StartWorker startWorker;
        // Hangs up as the Disconnect button does (for the monthly limit).
        std::function<void()> hangUp;
    };

    LinkKeeper(Parts parts, RedialSettings settings);
    LinkKeeper(const LinkKeeper&) = delete;
    LinkKeeper& operator=(const LinkKeeper&) = delete;

    void SetTray(TrayView* tray);
    // What the phone check last knew of the SIM on the dial's port.
    void SetSimLocked(bool locked) { policy_.SetSimLocked(locked); }

    // With [Setting] apn_try_all=1: the APNs each dial series tries in turn. Null (the
    // default) dials the init string the install wrote, as always. With redial off too, a
    // failed dial waits for this keeper, which tries the next APN or ends the series.
    void SetApnTrial(ApnTrial* trial);

    // The user's Connect (button or tray): dials, and a new series of redials starts.
    void ConnectClicked();
    // The user's Disconnect or Exit, before the hang-up: no redial follows, a waiting one is
    // cancelled, and the link's last bytes are counted.
    void UserEnded();
    // Once a second.
    void Tick();
    // The dialog ends: the month's bytes are written.
    void DialogEnded();

private:
    enum class Phase { Idle, Dialling, Connected, Waiting };

    void Step();
    void DialEnded(const DialSession::DialOutcome& outcome);
    void WatchLink(ras::ConnectionHandle connection);
    void KeepWatching();
    void Dropped();
    // The one place the phase changes; the tray's picture and tooltip follow it.
    void Enter(Phase phase);
    RedialDecision DecideEnd(const LinkEnd& end);
    void Decide(const RedialDecision& decision, const std::string& statusHead);
    void StartRedial();
    // A dial of the series failed because the network refused its APN: the next one is dialled
    // at once, in the same series. False when no APN is left to try.
    bool TryNextApn(std::uint32_t error);
    void ShowApnTry(const std::string& apn);
    void CountUsage(UsageEvent event);
    void StopWatching();
    // One statistics sample of the watched link into the meter; a failed call keeps its figures.
    LinkDelta SampleLink(std::uint32_t tickMs);
    void ShowLink();
    void ShowState(LinkState state);
    std::string Text(const TextKey& key) const;
    std::string GiveUpText(const RedialDecision& decision) const;

    Parts parts_;
    RedialPolicy policy_;
    TrayView* tray_ = nullptr;
    ApnTrial* apnTrial_ = nullptr;
    Log* log_;

    Phase phase_ = Phase::Idle;
    std::uint64_t dial_ = 0;          // DialSession's number of the dial whose end counts
    std::uint32_t policyDial_ = 0;    // the policy's number of the same dial
    std::unique_ptr<LinkProbe> probe_;
    ras::ConnectionHandle connection_ = 0;
    LinkMeter meter_;
    std::uint32_t ticksSinceStatus_ = 0;
    std::uint32_t waitTicks_ = 0;      // of a redial's wait, left
    bool inStep_ = false;
    std::string pendingMessage_;      // shown once the step is over
    LinkState shown_ = LinkState::Disconnected;
    std::string shownTooltip_;
};

} // namespace vantaro
