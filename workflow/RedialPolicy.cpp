#include "workflow/RedialPolicy.h"

#include "platform/TextRules.h"
#include "settings/SettingsKeys.h"

#include <algorithm>
#include <initializer_list>

namespace vantaro {

namespace {

// The value of a key as a whole number from `least` to `most`; the default, said in the log, for
// anything else. A missing key is the default without a word.
std::uint32_t ReadCount(const Profile& settings, const char* key, std::uint32_t least, std::uint32_t most,
                        std::uint32_t defaultValue, Log* log) {
    constexpr char kMissing[] = "\x01";
    const std::string text = settings.ReadString(settings::kSetting, key, kMissing);
    if (text == kMissing) return defaultValue;
    const std::optional<std::uint64_t> value = WholeDecimal(text, most);
    if (value && *value >= least) return static_cast<std::uint32_t>(*value);
    if (log)
        log->Step("settings.default", LogResult::Done, 0,
                  std::string(key) + "=" + text + " is not a number from " + std::to_string(least) + " to " +
                      std::to_string(most) + "; " + std::to_string(defaultValue) + " is used");
    return defaultValue;
}

} // namespace

RedialSettings ReadRedialSettings(const Profile& settings, Log* log) {
    const RedialSettings defaults;
    RedialSettings read;
    read.enabled = ReadCount(settings, settings::kRedial, 0, 1, defaults.enabled ? 1 : 0, log) == 1;
    read.attempts =
        ReadCount(settings, settings::kRedialAttempts, 0, RedialSettings::kMostAttempts, defaults.attempts, log);
    read.firstWaitSeconds = ReadCount(settings, settings::kRedialFirstWait, 1, RedialSettings::kLongestWaitSeconds,
                                      defaults.firstWaitSeconds, log);
    return read;
}

bool IsFinalDialError(std::uint32_t error) {
    // By what each error of the remote-access service means:
    // - the server refused the account: 691 (user name or password not recognised), 646 (not at
    //   this time of day), 647 (account disabled), 648 (password expired), 649 (no permission to
    //   dial in), 708 (account expired);
    // - the server ended or refused the link negotiation, which the same settings meet again:
    //   720 (no control protocol could be agreed; "change the network settings"), 732 (the two
    //   sides could not agree on PPP control protocols), 733 (a control protocol was rejected),
    //   734 (the PPP link control protocol was terminated), 735 (the requested address was
    //   rejected), 736 (the remote computer terminated the control protocol), 741/742 (the
    //   required encryption is not supported on one side).
    // Retried: a link that merely could not be made or was lost, such as 619 (the port was closed
    // because no connection could be made), 678 (no answer), 629/628 (disconnected by the remote
    // side), 721 (the server did not respond) and 718, which despite being counted among the PPP
    // errors means that the remote computer did not respond in time: a busy or fading mobile
    // network gives it, and a later try may well get through.
    for (std::uint32_t final : {691u, 646u, 647u, 648u, 649u, 708u, 720u, 732u, 733u, 734u, 735u, 736u, 741u, 742u})
        if (error == final) return true;
    return false;
}

std::uint32_t RedialPolicy::UserDialled() {
    current_ = ++lastNumber_;
    redialWaiting_ = false;
    attemptsMade_ = 0;
    portUnavailableInARow_ = 0;
    return current_;
}

std::uint32_t RedialPolicy::RedialDue() {
    if (!redialWaiting_) return 0;
    redialWaiting_ = false;
    return current_ = ++lastNumber_;
}

void RedialPolicy::UserEnded() {
    current_ = 0;
    redialWaiting_ = false;
}

RedialDecision RedialPolicy::DialEnded(std::uint32_t dial, const LinkEnd& end) {
    RedialDecision decision;
    if (dial == 0 || dial != current_) return decision;  // Ignore
    current_ = 0;
    decision.error = end.error;
    if (end.error == 0 && end.connectedSeconds >= kResetAfterSeconds) attemptsMade_ = 0;
    portUnavailableInARow_ = end.error == kErrorPortNotAvailable ? portUnavailableInARow_ + 1 : 0;

    decision.action = RedialDecision::Action::GiveUp;
    if (!settings_.enabled) decision.reason = GiveUpReason::RedialOff;
    else if (simLocked_) decision.reason = GiveUpReason::SimLocked;
    else if (overMonthlyLimit_) decision.reason = GiveUpReason::MonthlyLimit;
    else if (IsFinalDialError(end.error)) decision.reason = GiveUpReason::FinalError;
    else if (portUnavailableInARow_ >= kPortUnavailableLimit) decision.reason = GiveUpReason::PortUnavailable;
    else if (attemptsMade_ >= settings_.attempts) decision.reason = GiveUpReason::AttemptsUsed;
    else {
        decision.action = RedialDecision::Action::Redial;
        decision.attempt = ++attemptsMade_;
        // Doubling stops at the longest wait long before the shift could overflow.
        std::uint64_t wait = settings_.firstWaitSeconds;
        for (std::uint32_t i = 1; i < decision.attempt && wait < RedialSettings::kLongestWaitSeconds; ++i) wait *= 2;
        decision.waitSeconds = static_cast<std::uint32_t>(std::min<std::uint64_t>(wait, RedialSettings::kLongestWaitSeconds));
        redialWaiting_ = true;
    }
    return decision;
}

std::string RedialDetail(const RedialDecision& decision, const RedialSettings& settings) {
    return "attempt " + std::to_string(decision.attempt) + " of " + std::to_string(settings.attempts) + ", in " +
           std::to_string(decision.waitSeconds) + " s";
}

std::string GiveUpDetail(const RedialDecision& decision) {
    switch (decision.reason) {
    case GiveUpReason::RedialOff: return "redial is off";
    case GiveUpReason::FinalError: return "error " + std::to_string(decision.error) + " will not change by dialling again";
    case GiveUpReason::PortUnavailable: return "the modem's port is missing or held by another program (633 twice in a row)";
    case GiveUpReason::SimLocked: return "the SIM is locked";
    case GiveUpReason::MonthlyLimit: return "the monthly limit is reached";
    case GiveUpReason::AttemptsUsed: return "every redial attempt is used";
    }
    return {};
}

std::string DroppedDetail(std::uint32_t connectedSeconds, std::uint64_t received, std::uint64_t sent) {
    return "after " + std::to_string(connectedSeconds) + " s, received " + std::to_string(received) + " B, sent " +
           std::to_string(sent) + " B";
}

void LogRedialDecision(Log& log, const RedialDecision& decision, const RedialSettings& settings) {
    if (decision.action == RedialDecision::Action::Redial)
        log.Step("dial.redial", LogResult::Started, 0, RedialDetail(decision, settings));
    else if (decision.action == RedialDecision::Action::GiveUp)
        log.Step("dial.giveup", LogResult::Done, decision.error, GiveUpDetail(decision));
}

} // namespace vantaro
