#include "workflow/LinkKeeper.h"

#include "resources/resource.h"
#include "workflow/InterfaceText.h"

#include <utility>

namespace vantaro {

LinkKeeper::LinkKeeper(Parts parts, RedialSettings settings)
    : parts_(std::move(parts)), policy_(settings), log_(parts_.form.StepLog()) {
    // A failed dial or a drop waits in Redialling for this keeper's decision.
    parts_.form.SetRedialsDecide(settings.enabled);
}

void LinkKeeper::SetApnTrial(ApnTrial* trial) {
    apnTrial_ = trial;
    parts_.form.SetApnTriesDecide(trial != nullptr);
}

void LinkKeeper::SetTray(TrayView* tray) {
    tray_ = tray;
    shownTooltip_.clear();
    ShowState(shown_);
}

std::string LinkKeeper::Text(const TextKey& key) const {
    return parts_.form.LookUpText(key.key, parts_.fromUtf8(key.english));
}

void LinkKeeper::ConnectClicked() {
    // The first APN goes into the driver keys before the dial thread can reach the modem.
    const std::optional<std::string> apn = apnTrial_ ? apnTrial_->Begin() : std::nullopt;
    const std::uint64_t dial = parts_.dial.ConnectClicked(parts_.startWorker);
    if (dial == 0) {
        if (apnTrial_) apnTrial_->End();
        // The phone check or the balance has the dial's port: nothing is dialled, and the user
        // hears why (a click on a greyed item that came in all the same).
        const SettingsForm::Activity activity = parts_.form.CurrentActivity();
        if (activity == SettingsForm::Activity::CheckingPhone || activity == SettingsForm::Activity::AskingBalance)
            parts_.form.SetStatusText(Text(linktext::kDialPortBusy));
        return;
    }
    StopWatching();
    dial_ = dial;
    policyDial_ = policy_.UserDialled();
    Enter(Phase::Dialling);
    if (apn) ShowApnTry(*apn);
}

void LinkKeeper::ShowApnTry(const std::string& apn) {
    vantaro::ShowApnTry(parts_.form, parts_.fromUtf8, apn, apnTrial_->Position(), apnTrial_->Count());
}

bool LinkKeeper::TryNextApn(std::uint32_t error) {
    const std::optional<std::string> apn = apnTrial_ ? apnTrial_->Next(error) : std::nullopt;
    if (!apn) return false;
    // The try holds the buttons as a redial does: Disconnect ends it, and a series that the
    // user ended meanwhile (or a dialog that has gone) starts nothing.
    const std::uint64_t dial =
        parts_.form.Apply(SettingsForm::ActivityEvent::RedialWaiting) ? parts_.dial.Redial(parts_.startWorker) : 0;
    if (dial == 0) {
        apnTrial_->End();
        policy_.UserEnded();
        parts_.form.Apply(SettingsForm::ActivityEvent::GaveUp);
        Enter(Phase::Idle);
        return true;
    }
    dial_ = dial;
    Enter(Phase::Dialling);
    ShowApnTry(*apn);
    return true;
}

void LinkKeeper::UserEnded() {
    if (apnTrial_) apnTrial_->End();
    policy_.UserEnded();
    StopWatching();
    dial_ = 0;
    Enter(Phase::Idle);
}

void LinkKeeper::Enter(Phase phase) {
    phase_ = phase;
    switch (phase) {
    case Phase::Idle: ShowState(LinkState::Disconnected); break;
    case Phase::Dialling:
    case Phase::Waiting: ShowState(LinkState::Dialling); break;
    case Phase::Connected: ShowState(LinkState::Connected); break;
    }
}

void LinkKeeper::DialogEnded() {
    UserEnded();
}

void LinkKeeper::Tick() {
    if (inStep_) return;
    inStep_ = true;
    Step();
    inStep_ = false;
    // A message box runs its own message loop: the ticks go on while it is open.
    if (!pendingMessage_.empty()) parts_.messages.Show(std::exchange(pendingMessage_, std::string()));
}

void LinkKeeper::Step() {
    // An outcome of a dial that no longer counts (superseded, or ended by the user) is dropped.
    bool ended = false;
    if (std::optional<DialSession::DialOutcome> outcome = parts_.dial.TakeOutcome()) {
        ended = phase_ == Phase::Dialling && outcome->dial == dial_;
        if (ended) DialEnded(*outcome);
    }
    switch (phase_) {
    case Phase::Connected:
        KeepWatching();
        break;
    case Phase::Waiting:
        // Counted in ticks, as the status line counts its seconds: "in 1 s" is the next tick.
        // The tick that began the wait does not count.
        if (!ended && (waitTicks_ == 0 || --waitTicks_ == 0)) StartRedial();
        break;
    case Phase::Idle:
    case Phase::Dialling:
        break;
    }
    ShowLink();
}

void LinkKeeper::DialEnded(const DialSession::DialOutcome& outcome) {
    using Kind = DialSession::DialOutcome::Kind;
    switch (outcome.kind) {
    case Kind::Connected:
        // The SIM took its code since the phone check found it locked.
        policy_.SetSimLocked(false);
        if (apnTrial_) apnTrial_->Connected();
        WatchLink(outcome.connection);
        if (tray_) tray_->Balloon("Vantaro", parts_.form.LookUpMessage(message::kConnectSuccess));
        return;
    case Kind::Failed:
        if (TryNextApn(outcome.error)) return;
        Decide(DecideEnd(LinkEnd::DialFailed(outcome.error)), std::string());
        return;
    case Kind::TimedOut:
        if (apnTrial_) apnTrial_->End();
        // The service gave no end in time: counted as a link that could not be made.
        Decide(DecideEnd(LinkEnd::DialFailed(0)), std::string());
        return;
    case Kind::Refused:
        // Refused before dialling (a value too long, roaming): the same values meet it again.
        if (apnTrial_) apnTrial_->End();
        policy_.UserEnded();
        Enter(Phase::Idle);
        return;
    }
}

void LinkKeeper::WatchLink(ras::ConnectionHandle connection) {
    connection_ = connection;
    probe_ = parts_.probes.Watch(connection);
    meter_ = LinkMeter();
    // The link's status is asked on the first tick, then every fifth: counting ticks, not
    // milliseconds, keeps a tick that comes a moment early from putting the check off by a second.
    ticksSinceStatus_ = kStatusPollTicks;
    Enter(Phase::Connected);
}

void LinkKeeper::KeepWatching() {
    if (!probe_) return;
    const std::uint32_t now = parts_.clock.TickCount();
    // The status is asked even where the service signals the end: a link that ended before
    // the signal was set up is never signalled.
    bool gone = probe_->Notified() && probe_->EndSignalled();
    if (!gone && ++ticksSinceStatus_ >= kStatusPollTicks) {
        ticksSinceStatus_ = 0;
        gone = probe_->Status() == LinkStatus::Gone;
    }
    if (gone) {
        Dropped();
        return;
    }
    const LinkDelta delta = SampleLink(now);
    CountUsage(parts_.usage.Add(delta.received, delta.sent));
}

LinkDelta LinkKeeper::SampleLink(std::uint32_t tickMs) {
    ras::RAS_STATS statistics{};
    statistics.dwSize = ras::kStatsSize;
    return meter_.Sample(probe_->Statistics(statistics) ? &statistics : nullptr, tickMs);
}

void LinkKeeper::StopWatching() {
    if (!probe_) return;
    // The link's last second, then the month is written: the connection ends here.
    const LinkDelta delta = SampleLink(parts_.clock.TickCount());
    parts_.usage.AddAndWrite(delta.received, delta.sent);
    probe_.reset();
    connection_ = 0;
    meter_ = LinkMeter();
}

void LinkKeeper::Dropped() {
    const LinkFigures figures = meter_.Figures();
    parts_.usage.AddAndWrite(0, 0);
    probe_.reset();
    parts_.dial.ConnectionEnded(std::exchange(connection_, 0));
    if (log_) log_->Step("dial.dropped", LogResult::Done, 0, DroppedDetail(figures.connectedSeconds, figures.received, figures.sent));
    meter_ = LinkMeter();
    const std::string dropped = Text(linktext::kDropped);
    if (tray_) tray_->Balloon("Vantaro", dropped);
    parts_.form.Apply(SettingsForm::ActivityEvent::Dropped);
    Decide(DecideEnd(LinkEnd::Dropped(figures.connectedSeconds)), dropped);
}

RedialDecision LinkKeeper::DecideEnd(const LinkEnd& end) {
    // The limit of the month as it stands now: a new month lifts the last one's.
    policy_.SetOverMonthlyLimit(parts_.usage.HangUpForLimitNow());
    return policy_.DialEnded(policyDial_, end);
}

void LinkKeeper::Decide(const RedialDecision& decision, const std::string& statusHead) {
    if (log_) LogRedialDecision(*log_, decision, policy_.Settings());
    SettingsForm& form = parts_.form;
    if (decision.action != RedialDecision::Action::Redial) {
        form.Apply(SettingsForm::ActivityEvent::GaveUp);
        if (!statusHead.empty()) form.SetStatusText(statusHead);
        Enter(Phase::Idle);
        if (decision.action == RedialDecision::Action::GiveUp && decision.reason != GiveUpReason::RedialOff && tray_)
            tray_->Balloon(Text(linktext::kGaveUp), GiveUpText(decision));
        return;
    }
    // The wait holds the buttons as a dial does. Where the dialog is no longer waiting for this
    // decision (the user ended the dial meanwhile), no redial.
    if (!form.Apply(SettingsForm::ActivityEvent::RedialWaiting)) {
        policy_.UserEnded();
        Enter(Phase::Idle);
        return;
    }
    const std::string redial = FillInFigures(Text(linktext::kRedialling),
                                             {std::to_string(decision.waitSeconds), std::to_string(decision.attempt),
                                              std::to_string(policy_.Settings().attempts)});
    const std::string head = statusHead.empty() ? form.Controls().GetText(IDC_STATUS) : statusHead;
    form.SetStatusText(head.empty() ? redial : head + " " + redial);
    waitTicks_ = decision.waitSeconds * 1000 / kTickMs;
    Enter(Phase::Waiting);
    if (tray_) tray_->Balloon("Vantaro", redial);
}

std::string LinkKeeper::GiveUpText(const RedialDecision& decision) const {
    switch (decision.reason) {
    case GiveUpReason::FinalError: return Text(linktext::kGaveUpFinal);
    case GiveUpReason::PortUnavailable: return Text(linktext::kGaveUpPort);
    case GiveUpReason::SimLocked: return Text(linktext::kGaveUpSim);
    case GiveUpReason::AttemptsUsed: return Text(linktext::kGaveUpAttempts);
    case GiveUpReason::MonthlyLimit:
        return FillInFigures(Text(linktext::kLimitReached),
                             {FormatBytes(parts_.usage.Month().Total()),
                              FormatBytes(MonthlyLimitBytes(parts_.usage.Settings().monthlyLimitMb))});
    case GiveUpReason::RedialOff: break;
    }
    return {};
}

void LinkKeeper::StartRedial() {
    const std::uint32_t number = policy_.RedialDue();
    const std::uint64_t dial = number == 0 ? 0 : parts_.dial.Redial(parts_.startWorker);
    if (dial == 0) {
        policy_.UserEnded();
        parts_.form.Apply(SettingsForm::ActivityEvent::GaveUp);
        Enter(Phase::Idle);
        return;
    }
    dial_ = dial;
    policyDial_ = number;
    Enter(Phase::Dialling);
}

void LinkKeeper::CountUsage(UsageEvent event) {
    if (event == UsageEvent::None) return;
    const UsageSettings& settings = parts_.usage.Settings();
    const std::vector<std::string> figures = {FormatBytes(parts_.usage.Month().Total()),
                                              FormatBytes(MonthlyLimitBytes(settings.monthlyLimitMb))};
    if (event == UsageEvent::Warning) {
        if (tray_) tray_->Balloon("Vantaro", FillInFigures(Text(linktext::kLimitWarning), figures));
        return;
    }
    if (!parts_.usage.HangUpForLimitNow()) {
        const std::string reached = FillInFigures(Text(linktext::kLimitReached), figures);
        if (tray_) tray_->Balloon("Vantaro", reached);
        pendingMessage_ = reached;
        return;
    }
    const std::string hangUp = FillInFigures(Text(linktext::kLimitHangUp), figures);
    UserEnded();
    if (parts_.hangUp) parts_.hangUp();
    parts_.form.SetStatusText(hangUp);
    if (tray_) tray_->Balloon("Vantaro", hangUp);
    pendingMessage_ = hangUp;
}

void LinkKeeper::ShowLink() {
    std::string line;
    if (phase_ == Phase::Connected) {
        const LinkTexts texts{Text(linktext::kStatistics),  Text(linktext::kPeriod), Text(linktext::kPeriodOfLimit),
                              Text(linktext::kProjection),  Text(linktext::kDate),   Text(linktext::kMonthNames),
                              parts_.fromUtf8(linktext::kUnknownMark)};
        const UsageCounter& usage = parts_.usage;
        const std::string month =
            PeriodLine(usage.Month(), usage.ProjectedTotal(), usage.Settings().monthlyLimitMb, texts);
        const std::string statistics = StatisticsLine(meter_.Figures(), texts);
        line = statistics.empty() ? month : statistics + "   " + month;
        // The tooltip: the state, the period, then the figures, as much as the taskbar keeps.
        const std::string tooltip =
            parts_.form.LookUpMessage(message::kConnectSuccess) + "\n" + month + "\n" + statistics;
        if (tray_ && tooltip != shownTooltip_) {
            shownTooltip_ = tooltip;
            tray_->Show(LinkState::Connected, tooltip);
        }
    }
    if (parts_.form.Controls().GetText(IDC_LINK_STATS) != line) parts_.form.Controls().SetText(IDC_LINK_STATS, line);
}

void LinkKeeper::ShowState(LinkState state) {
    const bool changed = state != shown_;
    shown_ = state;
    if (!tray_ || state == LinkState::Connected) {
        if (changed) shownTooltip_.clear();
        return;  // the connected tooltip comes with the figures
    }
    const std::string tooltip = state == LinkState::Dialling ? parts_.form.LookUpMessage(message::kConnecting)
                                                             : Text(linktext::kNotConnected);
    if (tooltip == shownTooltip_ && !changed) return;
    shownTooltip_ = tooltip;
    tray_->Show(state, tooltip);
}

} // namespace vantaro
