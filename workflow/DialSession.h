#pragma once
// Dialling and hanging up from the Settings dialog: the connect, disconnect and cancel handlers,
// the dial thread with its bounded wait, and the dial state they share.
//
// Threads: the handlers run on the dialog's thread, the dial thread on a worker, the notifier on
// the service's thread (see DialNotify.h). The connection handle and the dial record are shared
// under a lock. The session lives as long as its last user: the dialog starts the dial thread
// with a reference that keeps the session (and the form it reports to) alive, and once the
// dialog has ended the form's controls go quiet, so the worker never reaches a dialog that is gone.

#include "dialup/DialEvents.h"
#include "dialup/RasBinding.h"
#include "dialup/RasRecords.h"
#include "platform/Clock.h"
#include "workflow/SettingsForm.h"

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace vantaro {

class DialSession {
public:
    // Starts the given work on a new thread; false when no thread could be started.
    using StartWorker = std::function<bool(std::function<void()> work)>;
    using EndDialog = std::function<void()>;

    static constexpr std::uint32_t kDialWaitMs = 20000;
    static constexpr std::uint32_t kHangUpWaitMs = 10000;
    static constexpr std::uint32_t kHangUpPollMs = 50;

    // What a dial must pass on the dial thread before anything is dialled (the roaming guard).
    // A refusal ends the dial with its text in the status line.
    struct DialClearance {
        bool dial = true;
        std::string refusal;
    };
    // `redial` tells a redial of the program's own from the user's Connect.
    using BeforeDial = std::function<DialClearance(bool redial)>;

    // How the last dial ended, for the connection's keeper on the dialog's thread.
    struct DialOutcome {
        enum class Kind { Connected, Failed, TimedOut, Refused };
        std::uint64_t dial = 0;  // the number ConnectClicked or Redial gave
        Kind kind = Kind::Failed;
        std::uint32_t error = 0;  // of a failed dial
        ras::ConnectionHandle connection = 0;
    };

    // The remote-access library is loaded at the first call and stays for the session's length.
    DialSession(SettingsForm& form, RasLibrary& ras, DialEvents& events, Clock& clock);
    DialSession(const DialSession&) = delete;
    DialSession& operator=(const DialSession&) = delete;

    // No dial events, no connection: how the dialog starts.
    void ClearDialState();

    // The connect button: says "conectting", leaves only disconnect enabled, and dials on a worker
    // the phone number, user name and password that the fields show now. A connection left
    // over from a failed or timed-out dial is hung up first. Nothing while an install runs.
    // Returns the dial's number, 0 when nothing was started.
    std::uint64_t ConnectClicked(const StartWorker& startWorker);
    // A redial: the same dial, for an activity that is already Dialling.
    std::uint64_t Redial(const StartWorker& startWorker);
    // Set once, before the first dial.
    void SetBeforeDial(BeforeDial check) { beforeDial_ = std::move(check); }
    // The outcome of a dial that has ended since the last call, if any.
    std::optional<DialOutcome> TakeOutcome();
    // The connection ended by itself (a drop): it is hung up all the same, as the service may
    // keep it, and the next dial waits for it to go.
    void ConnectionEnded(ras::ConnectionHandle connection);
    // One dial and its outcome in the status line, waiting at most kDialWaitMs. 0 when the
    // dial was not started, else 1.
    int DialAndWait(const std::string& entryName, const std::string& phoneNumber, const std::string& userName,
                    const Secret& password, const std::string& domain);

    // The disconnect button: hangs up and waits at most kHangUpWaitMs for the connection to go.
    void DisconnectClicked();
    // Leaving the dialog: hangs up without waiting, then ends the dialog.
    void CancelClicked(const EndDialog& endDialog);
    // The dialog has ended, whichever way: a held connection is hung up, a waiting dial thread
    // wakes and ends without touching anything, and a dial that is still starting is hung up as
    // soon as the service hands it over.
    void DialogEnded();

    ras::ConnectionHandle Connection() const;
    ras::RASDIALPARAMSA DialParams() const;
    std::string DialErrorText() const;

    // Shown when a dial value does not fit its field; the dial does not start.
    static constexpr char kDialRefusedPrefix[] = "Fail to dial: ";

private:
    // The worker's body: waits for a leftover connection that was hung up to go, then dials.
    void DialThread(std::uint64_t dial, ras::ConnectionHandle hungUpLeftover, SettingsForm::DialValues values,
                    bool redial);
    int Dial(std::uint64_t dial, const std::string& entryName, const std::string& phoneNumber,
             const std::string& userName, const Secret& password, const std::string& domain);
    // A newer click (connect or disconnect) has taken over from this dial: its late result
    // must not overwrite what the newer one shows.
    bool Superseded(std::uint64_t dial) const;
    // Starts the next dial's number and wakes the one that still waits.
    std::uint64_t Supersede();
    // Queries until the connection is gone or kHangUpWaitMs have passed, kHangUpPollMs apart.
    void WaitUntilGone(ras::ConnectionHandle connection, ras::RASCONNSTATUSA& status, bool untilDialogEnds);
    bool HasEnded() const;
    std::uint32_t ShowDialError(std::uint32_t code);
    std::uint64_t StartDial(const StartWorker& startWorker, bool redial);
    void SetOutcome(std::uint64_t dial, DialOutcome::Kind kind, std::uint32_t error = 0,
                    ras::ConnectionHandle connection = 0);
    // The binding, loaded by the first call, from whichever thread makes it.
    RasBinding& Ras();

    SettingsForm& form_;
    RasLibrary& library_;
    std::mutex bindingMutex_;
    std::optional<RasBinding> binding_;  // under bindingMutex_ until made
    DialEvents& events_;
    Clock& clock_;
    std::shared_ptr<DialEvent> dialogEndedEvent_;
    std::shared_ptr<DialEvent> supersededEvent_;  // of the dial that waits now

    mutable std::mutex mutex_;
    bool ended_ = false;
    std::uint64_t dial_ = 0;
    ras::ConnectionHandle rasConnection_ = 0;
    ras::ConnectionHandle goingConnection_ = 0;  // hung up after a drop, maybe not gone yet
    ras::RASDIALPARAMSA dialParams_{};
    ras::RASCONNSTATUSA connStatus_{};  // the dialog's thread only
    std::string dialErrorText_;
    std::optional<DialOutcome> outcome_;
    BeforeDial beforeDial_;
};

} // namespace vantaro
