#pragma once
// When a dial fails or a connection drops, whether to dial again and after how long.
//
// The waits double from the first (5 s unless Setting.ini says otherwise) up to 600 s; after a
// connection that lasted 45 s or more the count starts over, since the link then worked and the
// next drop is a new trouble, not the same one. No redial follows the user's own Disconnect or
// Exit, an error that a second try cannot mend, a port that is missing or held twice in a row, a
// SIM the phone check found locked, or a monthly limit that says to hang up.
//
// Every dial, the user's and each redial, has a number; the end of a dial is told with its
// number, and only the end of the current dial, told once, decides anything. So a notification
// that comes after the user's Disconnect (the hang-up itself ends the connection) or a second
// report of the same end never starts a redial. The policy runs on the dialog's thread.

#include "log/Log.h"
#include "platform/Profile.h"

#include <cstdint>
#include <string>

namespace vantaro {

struct RedialSettings {
    static constexpr std::uint32_t kMostAttempts = 100;
    static constexpr std::uint32_t kLongestWaitSeconds = 600;

    bool enabled = true;
    std::uint32_t attempts = 5;
    std::uint32_t firstWaitSeconds = 5;
};

// [Setting] redial, redial_attempts and redial_first_wait. A value that is not a plain number in
// its range (negative, too large, not a number) gives way to its default, and the log says so.
RedialSettings ReadRedialSettings(const Profile& settings, Log* log);

// How a dial or a connection ended, as far as the service said.
struct LinkEnd {
    static LinkEnd DialFailed(std::uint32_t error) { return {error, 0}; }
    static LinkEnd Dropped(std::uint32_t connectedSeconds) { return {0, connectedSeconds}; }

    std::uint32_t error;             // the service's error of a dial that did not connect; 0 for a drop
    std::uint32_t connectedSeconds;  // how long a dropped connection had been up
};

enum class GiveUpReason { RedialOff, FinalError, PortUnavailable, SimLocked, MonthlyLimit, AttemptsUsed };

struct RedialDecision {
    enum class Action {
        Redial,  // dial again after waitSeconds
        GiveUp,  // stop, for `reason`
        Ignore,  // not the end of the current dial: the user ended it, or it was told before
    };
    Action action = Action::Ignore;
    std::uint32_t attempt = 0;  // of a redial: 1 for the first
    std::uint32_t waitSeconds = 0;
    GiveUpReason reason = GiveUpReason::RedialOff;
    std::uint32_t error = 0;
};

// The errors after which a redial is pointless: the server refused who we are or ended the link
// negotiation, which the same settings would meet again.
bool IsFinalDialError(std::uint32_t error);

class RedialPolicy {
public:
    static constexpr std::uint32_t kResetAfterSeconds = 45;
    // The modem is missing or held by another program (ERROR_PORT_NOT_AVAILABLE).
    static constexpr std::uint32_t kErrorPortNotAvailable = 633;
    static constexpr std::uint32_t kPortUnavailableLimit = 2;

    explicit RedialPolicy(RedialSettings settings) : settings_(settings) {}

    // The user's Connect: a new series of attempts. Returns the dial's number.
    std::uint32_t UserDialled();
    // The redial that the last decision asked for, when its wait is over: its number, or 0 when
    // none is due any more (the user disconnected or left meanwhile).
    std::uint32_t RedialDue();
    // Disconnect or Exit: the current dial's end and any waiting redial no longer count.
    void UserEnded();
    // What the phone check and the monthly counter know; both hold until told otherwise.
    void SetSimLocked(bool locked) { simLocked_ = locked; }
    void SetOverMonthlyLimit(bool over) { overMonthlyLimit_ = over; }

    RedialDecision DialEnded(std::uint32_t dial, const LinkEnd& end);

    const RedialSettings& Settings() const { return settings_; }

private:
    RedialSettings settings_;
    std::uint32_t lastNumber_ = 0;
    std::uint32_t current_ = 0;  // 0: no dial whose end counts
    bool redialWaiting_ = false;
    std::uint32_t attemptsMade_ = 0;
    std::uint32_t portUnavailableInARow_ = 0;
    bool simLocked_ = false;
    bool overMonthlyLimit_ = false;
};

// The log's lines: dial.redial with the attempt and the wait, dial.giveup with the reason,
// dial.dropped with the duration and the bytes moved.
std::string RedialDetail(const RedialDecision& decision, const RedialSettings& settings);
std::string GiveUpDetail(const RedialDecision& decision);
std::string DroppedDetail(std::uint32_t connectedSeconds, std::uint64_t received, std::uint64_t sent);
void LogRedialDecision(Log& log, const RedialDecision& decision, const RedialSettings& settings);

} // namespace vantaro
