#include "workflow/DialSession.h"

#include "dialup/DialNotify.h"
#include "dialup/DialupEntry.h"
#include "resources/resource.h"
#include "workflow/InterfaceText.h"

#include <cstdio>
#include <utility>

namespace vantaro {

DialSession::DialSession(SettingsForm& form, RasLibrary& ras, DialEvents& events, Clock& clock)
    : form_(form), library_(ras), events_(events), clock_(clock), dialogEndedEvent_(events.Create(true)) {}

RasBinding& DialSession::Ras() {
    std::lock_guard<std::mutex> lock(bindingMutex_);
    // Made once: its module is never written again, so the threads read it without the lock.
    if (!binding_) binding_.emplace(library_);
    return *binding_;
}

void DialSession::ClearDialState() {
    SetDialEvents({});
    std::lock_guard<std::mutex> lock(mutex_);
    rasConnection_ = 0;
    goingConnection_ = 0;
}

std::uint64_t DialSession::ConnectClicked(const StartWorker& startWorker) {
    if (!form_.Apply(SettingsForm::ActivityEvent::ConnectClicked)) return 0;
    return StartDial(startWorker, false);
}

std::uint64_t DialSession::Redial(const StartWorker& startWorker) {
    if (!form_.Apply(SettingsForm::ActivityEvent::RedialStarted)) return 0;
    return StartDial(startWorker, true);
}

std::uint64_t DialSession::StartDial(const StartWorker& startWorker, bool redial) {
    const std::uint64_t dial = Supersede();
    SettingsForm::DialValues values = form_.FieldDialValues();
    if (Log* log = form_.StepLog()) {
        // The password typed since the start is hidden too.
        log->Conceal(values.password);
        log->Step("dial", LogResult::Started, 0, values.phoneNumber);
    }
    form_.SetStatusText(form_.LookUpMessage(message::kConnecting));

    SetDialEvents({});
    ras::ConnectionHandle leftover = 0;
    ras::ConnectionHandle hungUp = 0;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        leftover = std::exchange(rasConnection_, 0);
        hungUp = std::exchange(goingConnection_, 0);
    }
    // A failed or timed-out dial leaves its connection behind; dropping it would leave a
    // connection that nothing can end any more. The hang-up returns at once; the dial thread
    // waits for the connection to go (a dropped one too) before it dials again.
    if (leftover != 0 && Ras().HangUp(leftover) == 0) hungUp = leftover;

    if (!startWorker([this, dial, hungUp, values = std::move(values), redial] {
            DialThread(dial, hungUp, values, redial);
        })) {
        form_.Apply(SettingsForm::ActivityEvent::DialRefused);
        return 0;
    }
    return dial;
}

std::optional<DialSession::DialOutcome> DialSession::TakeOutcome() {
    std::lock_guard<std::mutex> lock(mutex_);
    return std::exchange(outcome_, std::nullopt);
}

void DialSession::SetOutcome(std::uint64_t dial, DialOutcome::Kind kind, std::uint32_t error,
                             ras::ConnectionHandle connection) {
    std::lock_guard<std::mutex> lock(mutex_);
    outcome_ = DialOutcome{dial, kind, error, connection};
}

void DialSession::ConnectionEnded(ras::ConnectionHandle connection) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (connection == 0 || rasConnection_ != connection) return;
        rasConnection_ = 0;
    }
    // The service may keep a dead connection, and its port, until it is hung up; one that no
    // longer knows the handle has let it go already.
    const std::uint32_t result = Ras().HangUp(connection);
    if (result == ras::kErrorInvalidHandle) return;
    if (result != 0) {
        // Refused: held again, for the next dial or the dialog's end to try.
        std::lock_guard<std::mutex> lock(mutex_);
        if (rasConnection_ == 0) rasConnection_ = connection;
        return;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    goingConnection_ = connection;
}

void DialSession::DialThread(std::uint64_t dial, ras::ConnectionHandle hungUpLeftover,
                             SettingsForm::DialValues values, bool redial) {
    if (hungUpLeftover != 0) {
        ras::RASCONNSTATUSA status{};
        WaitUntilGone(hungUpLeftover, status, true);
    }
    // Disconnected or left meanwhile: nothing more is asked of the phone or the network.
    if (Superseded(dial) || HasEnded()) return;
    if (beforeDial_) {
        const DialClearance clearance = beforeDial_(redial);
        if (!clearance.dial) {
            if (Superseded(dial) || HasEnded()) return;
            form_.Apply(SettingsForm::ActivityEvent::DialRefused);
            form_.SetStatusText(clearance.refusal);
            SetOutcome(dial, DialOutcome::Kind::Refused);
            return;
        }
    }
    Dial(dial, {}, values.phoneNumber, values.userName, values.password, {});
}

int DialSession::DialAndWait(const std::string& entryName, const std::string& phoneNumber,
                             const std::string& userName, const Secret& password, const std::string& domain) {
    std::uint64_t dial = 0;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        dial = dial_;
    }
    return Dial(dial, entryName, phoneNumber, userName, password, domain);
}

std::uint64_t DialSession::Supersede() {
    std::shared_ptr<DialEvent> waiting;
    std::uint64_t dial = 0;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        dial = ++dial_;
        waiting = std::exchange(supersededEvent_, nullptr);
    }
    if (waiting) waiting->Signal();
    return dial;
}

bool DialSession::Superseded(std::uint64_t dial) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return dial != dial_;
}

int DialSession::Dial(std::uint64_t dial, const std::string& entryName, const std::string& phoneNumber,
                      const std::string& userName, const Secret& password, const std::string& domain) {
    std::shared_ptr<DialEvent> done = events_.Create(false);
    if (!done) return 0;
    std::shared_ptr<DialEvent> error = events_.Create(false);
    if (!error) return 0;
    SetDialEvents({done, error});
    // Without it the dial still works; only a newer click cannot wake its wait.
    std::shared_ptr<DialEvent> superseded = events_.Create(true);

    std::string overlong;
    const std::optional<ras::RASDIALPARAMSA> packed =
        DialParamsFor({entryName, phoneNumber, userName, password, domain}, overlong);
    if (!packed) {
        if (Superseded(dial)) return 0;
        form_.Apply(SettingsForm::ActivityEvent::DialRefused);
        form_.SetStatusText(kDialRefusedPrefix + overlong + ".");
        SetOutcome(dial, DialOutcome::Kind::Refused);
        return 0;
    }
    ras::RASDIALPARAMSA dialParams = *packed;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        dialParams_ = dialParams;
        if (rasConnection_ != 0 || ended_ || dial != dial_) return 0;
        supersededEvent_ = superseded;
    }

    ras::ConnectionHandle connection = 0;
    const std::uint32_t result = Ras().Dial(dialParams, &connection);
    bool endedMeanwhile = false;
    bool supersededMeanwhile = false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        endedMeanwhile = ended_;
        supersededMeanwhile = dial != dial_;
        if (!endedMeanwhile && !supersededMeanwhile) rasConnection_ = connection;
    }
    if (endedMeanwhile || supersededMeanwhile) {
        // The dialog has ended, or a Disconnect came while the service was still starting the
        // dial: nobody is left to end this connection.
        if (connection != 0) Ras().HangUp(connection);
        return result == 0 ? 1 : 0;
    }
    if (result != 0) {
        // Refused at once: said as a failed dial is, and its connection, if the service gave
        // one, stays held for the next dial or the dialog's end to hang up.
        form_.Apply(SettingsForm::ActivityEvent::DialFailed);
        ShowDialError(result);
        SetOutcome(dial, DialOutcome::Kind::Failed, result);
        return 0;
    }

    // The dialog's end, or a newer click, wakes the wait early.
    constexpr int kAbsent = -100;
    std::vector<DialEvent*> waitFor{done.get(), error.get()};
    const int endedIndex = dialogEndedEvent_ ? static_cast<int>(waitFor.size()) : kAbsent;
    if (dialogEndedEvent_) waitFor.push_back(dialogEndedEvent_.get());
    if (superseded) waitFor.push_back(superseded.get());
    const int woken = events_.WaitForAny(waitFor, kDialWaitMs);
    if (woken == endedIndex || HasEnded()) {
        // The dialog has ended while this dial was still waiting: give it up.
        ras::ConnectionHandle mine = 0;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (rasConnection_ == connection) mine = std::exchange(rasConnection_, 0);
        }
        if (mine != 0) Ras().HangUp(mine);
        return 1;
    }
    if (Superseded(dial)) return 1;
    switch (woken) {
    case 0:
        // Connected: the dial keeps the buttons until Disconnect or the dialog's end.
        form_.Apply(SettingsForm::ActivityEvent::DialConnected);
        form_.SetStatusText(form_.LookUpMessage(message::kConnectSuccess));
        SetOutcome(dial, DialOutcome::Kind::Connected, 0, connection);
        return 1;
    case 1: {
        form_.Apply(SettingsForm::ActivityEvent::DialFailed);
        const std::uint32_t code = ShowDialError(LastDialError());
        SetOutcome(dial, DialOutcome::Kind::Failed, code);
        return 1;
    }
    case DialEvents::kTimedOut: {
        // The service goes on with the dial; its connection stays held for the next connect or
        // the cancel to hang up. The buttons come back with the time-out's text.
        form_.Apply(SettingsForm::ActivityEvent::DialTimedOut);
        const std::string text = form_.LookUpMessage(message::kInTimeout);
        form_.SetStatusText(text);
        if (!text.empty()) form_.Apply(SettingsForm::ActivityEvent::StatusShown);
        SetOutcome(dial, DialOutcome::Kind::TimedOut);
        return 1;
    }
    default:
        return 1;
    }
}

std::uint32_t DialSession::ShowDialError(std::uint32_t code) {
    char platformText[ras::kErrorStringBufferSize] = {};
    if (Ras().GetErrorString(code, platformText, sizeof platformText) != 0) platformText[0] = '\0';
    platformText[sizeof platformText - 1] = '\0';

    char head[32];
    std::snprintf(head, sizeof head, "Error: %d - ", static_cast<int>(static_cast<std::int32_t>(code)));
    std::string text = std::string(head) + platformText;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        dialErrorText_ = text;
    }
    form_.SetStatusText(std::move(text));
    return code;
}

void DialSession::DisconnectClicked() {
    // During an install there is no dial to end, and the install's buttons are its own.
    if (!form_.Allows(IDC_DISCONNECT)) return;
    Supersede();
    if (Log* log = form_.StepLog()) log->Step("dial.hang.up", LogResult::Started);
    const ras::ConnectionHandle connection = Connection();
    if (connection != 0) {
        form_.SetStatusText(form_.LookUpMessage(message::kDisconnecting));
        // Refused: the connection stays held and the status line says "disconnecting".
        if (Ras().HangUp(connection) != 0) return;
        WaitUntilGone(connection, connStatus_, false);
    }
    ClearDialState();
    form_.Apply(SettingsForm::ActivityEvent::UserEnded);
    form_.SetStatusText(form_.LookUpMessage(message::kDisconnectSuccess));
}

void DialSession::CancelClicked(const EndDialog& endDialog) {
    ras::ConnectionHandle connection = 0;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        // From here on a dial that is still starting hangs up by itself.
        ended_ = true;
        connection = std::exchange(rasConnection_, 0);
    }
    if (connection != 0 && Ras().HangUp(connection) != 0) {
        // Refused: the connection stays held, and the events as they are; the dialog ends all the same.
        std::lock_guard<std::mutex> lock(mutex_);
        rasConnection_ = connection;
    } else {
        SetDialEvents({});
    }
    if (dialogEndedEvent_) dialogEndedEvent_->Signal();
    endDialog();
}

void DialSession::DialogEnded() {
    ras::ConnectionHandle held = 0;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ended_ = true;
        held = std::exchange(rasConnection_, 0);
    }
    // Whatever ended the dialog (a failed install ends it too), nothing would be left to end
    // this connection once the program is gone.
    if (held != 0 && Ras().HangUp(held) != 0) {
        std::lock_guard<std::mutex> lock(mutex_);
        rasConnection_ = held;
    }
    if (dialogEndedEvent_) dialogEndedEvent_->Signal();
}

void DialSession::WaitUntilGone(ras::ConnectionHandle connection, ras::RASCONNSTATUSA& status,
                                bool untilDialogEnds) {
    status.dwSize = ras::kConnStatusSize;
    const std::uint32_t start = clock_.TickCount();
    while (Ras().GetConnectStatus(connection, &status) != ras::kErrorInvalidHandle) {
        if (clock_.TickCount() - start >= kHangUpWaitMs) break;
        if (untilDialogEnds && HasEnded()) break;
        clock_.Sleep(kHangUpPollMs);
    }
}

bool DialSession::HasEnded() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return ended_;
}

ras::ConnectionHandle DialSession::Connection() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return rasConnection_;
}

ras::RASDIALPARAMSA DialSession::DialParams() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return dialParams_;
}

std::string DialSession::DialErrorText() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return dialErrorText_;
}

} // namespace vantaro
