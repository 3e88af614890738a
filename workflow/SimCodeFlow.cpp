#include "workflow/SimCodeFlow.h"

#include <utility>

namespace vantaro {

bool AsksToConfirmLastTry(const CodeAsk& ask) { return ask.triesUnknown || (ask.triesLeft && *ask.triesLeft <= 1); }

CodeEntryProblem CheckCodeEntry(const CodeAsk& ask, const Secret& code, const Secret& newPin, const Secret& newPinAgain,
                                bool lastTryConfirmed) {
    // The characters are looked at for their form only.
    const bool unlock = ask.action == CodeAction::Unlock;
    if (unlock ? !IsValidPuk(code.Reveal()) : !IsValidPin(code.Reveal()))
        return unlock ? CodeEntryProblem::PukNotValid : CodeEntryProblem::PinNotValid;
    if (unlock || ask.action == CodeAction::ChangePin) {
        if (!IsValidPin(newPin.Reveal())) return CodeEntryProblem::NewPinNotValid;
        if (newPin != newPinAgain) return CodeEntryProblem::NewPinsDiffer;
    }
    if (AsksToConfirmLastTry(ask) && !lastTryConfirmed)
        return ask.triesUnknown ? CodeEntryProblem::UnknownTryNotConfirmed : CodeEntryProblem::LastTryNotConfirmed;
    return CodeEntryProblem::None;
}

void SimCodeFlow::Checked(const PortFindings& findings) {
    if (findings.state == PortState::Modem && !ReadyForData(findings.sim) && findings.triesLeft)
        triesUnknown_.erase(findings.port);
}

std::optional<CodeAsk> SimCodeFlow::PinButtonAsk(const PortFindings& findings) const {
    if (Busy() || findings.state != PortState::Modem) return std::nullopt;
    if (findings.sim != SimState::Pin && findings.sim != SimState::Puk) return std::nullopt;
    CodeAsk ask{findings.port, findings.sim == SimState::Puk ? CodeAction::Unlock : CodeAction::EnterPin,
                findings.triesLeft, TriesUnknownOn(findings.port)};
    if (ask.triesUnknown) ask.triesLeft.reset();
    return ask;
}

bool SimCodeFlow::BeginLockRead(const std::string& port, CodeAction wanted) {
    if (Busy()) return false;
    lockReadFor_ = wanted;
    lockReadPort_ = port;
    return true;
}

std::optional<CodeAsk> SimCodeFlow::LockRead(const PinLockStatus& read, std::string& status) {
    using namespace phonetext;
    status.clear();
    if (!lockReadFor_) return std::nullopt;
    const CodeAction wanted = *std::exchange(lockReadFor_, std::nullopt);
    switch (read.outcome) {
    case PinOutcome::Accepted: break;
    case PinOutcome::NotOpened: status = Text(kPinNotOpened); return std::nullopt;
    case PinOutcome::Stopped: return std::nullopt;
    default: status = Text(kPinNoAnswer); return std::nullopt;
    }
    if (read.triesLeft) triesUnknown_.erase(lockReadPort_);
    CodeAsk ask{lockReadPort_, wanted, read.triesLeft, TriesUnknownOn(lockReadPort_)};
    if (wanted != CodeAction::ChangePin) {
        // The lock goes the other way from how it is; a phone that does not say how it is gets
        // nothing sent.
        if (!read.lockOn) {
            status = Text(kLockUnknown);
            return std::nullopt;
        }
        ask.action = *read.lockOn ? CodeAction::LockOff : CodeAction::LockOn;
    }
    return ask;
}

std::string SimCodeFlow::BeginCode(const CodeAsk& ask) {
    using namespace phonetext;
    codeOnItsWay_ = ask;
    const bool lock = ask.action == CodeAction::LockOn || ask.action == CodeAction::LockOff;
    return Text(ask.action == CodeAction::Unlock ? kPukSending : lock ? kLockSending : kPinSending);
}

std::optional<CodeOutcome> SimCodeFlow::CodeAnswered(const PinAnswer& answer, PortFindings* row) {
    using namespace phonetext;
    if (!codeOnItsWay_) return std::nullopt;
    const CodeAsk ask = *std::exchange(codeOnItsWay_, std::nullopt);
    CodeOutcome outcome;
    // The tries are believed only when the SIM told both what it wants now and that code's count.
    const bool toldTries = answer.sim != SimState::Unknown && answer.triesLeft.has_value();
    switch (answer.outcome) {
    case PinOutcome::Accepted:
        switch (ask.action) {
        case CodeAction::EnterPin: outcome.status = Text(kPinAccepted); break;
        case CodeAction::Unlock: outcome.status = Text(kPukAccepted); break;
        case CodeAction::ChangePin: outcome.status = Text(kPinChanged); break;
        case CodeAction::LockOn: outcome.status = Text(kLockTurnedOn); break;
        case CodeAction::LockOff: outcome.status = Text(kLockTurnedOff); break;
        }
        // A right code gives the SIM its tries back.
        triesUnknown_.erase(ask.port);
        if (ask.action == CodeAction::EnterPin || ask.action == CodeAction::Unlock) outcome.reread = ask.port;
        break;
    case PinOutcome::Rejected:
        outcome.status = Text(ask.action == CodeAction::Unlock ? kPukRejected : kPinRejected);
        outcome.status += " " + (toldTries ? TriesText(*answer.triesLeft) : Text(kTriesUnknown));
        break;
    case PinOutcome::Blocked: outcome.status = Text(kPinBlocked); break;
    case PinOutcome::NotValid: outcome.status = Text(ask.action == CodeAction::Unlock ? kPukNotValid : kPinNotValid); break;
    case PinOutcome::NoAnswer: outcome.status = Text(kPinNoAnswer); break;
    case PinOutcome::NotOpened: outcome.status = Text(kPinNotOpened); break;
    case PinOutcome::Stopped: break;
    }
    // Nothing went out when the code had not its form or the port did not open; whatever else
    // happened, the SIM may have counted the code.
    const bool sent = answer.outcome != PinOutcome::NotValid && answer.outcome != PinOutcome::NotOpened &&
                      answer.outcome != PinOutcome::Accepted;
    if (!sent) return outcome;
    if (toldTries) triesUnknown_.erase(ask.port);
    else triesUnknown_.insert(ask.port);
    if (row) {
        // A refusal tells what the SIM wants now (a SIM blocked by this send turns the PIN button
        // into "Unlock with PUK..."); a count not told again is not shown as it was.
        if (answer.sim != SimState::Unknown) row->sim = answer.sim;
        row->triesLeft = toldTries && !ReadyForData(answer.sim) ? answer.triesLeft : std::nullopt;
        outcome.rowChanged = true;
    }
    return outcome;
}

std::string SimCodeFlow::TriesText(int tries) const {
    return tries == 1 ? Text(phonetext::kOneTryLeft) : FillIn(Text(phonetext::kTriesLeft), std::to_string(tries));
}

std::string SimCodeFlow::TriesCell(const PortFindings& findings) const {
    if (ReadyForData(findings.sim) || CodeName(findings.sim)[0] == '\0') return {};
    if (TriesUnknownOn(findings.port)) return Text(phonetext::kTriesUnknown);
    return findings.triesLeft ? TriesText(*findings.triesLeft) : std::string();
}

CodeDialogTexts SimCodeFlow::DialogTexts(const CodeAsk& ask) const {
    using namespace phonetext;
    CodeDialogTexts texts;
    texts.ok = Text(kPinOk);
    texts.cancel = Text(kPinCancel);
    texts.labels[0] = Text(kPinLabel);
    switch (ask.action) {
    case CodeAction::EnterPin: texts.title = Text(kPinTitle); break;
    case CodeAction::Unlock:
        texts.title = Text(kPukTitle);
        texts.labels[0] = Text(kPukLabel);
        texts.fields = 3;
        break;
    case CodeAction::ChangePin:
        texts.title = Text(kChangePinTitle);
        texts.labels[0] = Text(kOldPinLabel);
        texts.fields = 3;
        break;
    case CodeAction::LockOn:
    case CodeAction::LockOff:
        texts.title = Text(kLockTitle);
        texts.note = Text(ask.action == CodeAction::LockOff ? kLockIsOn : kLockIsOff);
        break;
    }
    if (texts.fields == 3) {
        texts.labels[1] = Text(kNewPinLabel);
        texts.labels[2] = Text(kNewPinAgainLabel);
    }
    const std::string tries = ask.triesUnknown ? Text(kTriesUnknown) : ask.triesLeft ? TriesText(*ask.triesLeft) : "";
    if (!tries.empty()) {
        if (!texts.note.empty()) texts.note += " ";
        texts.note += tries;
    }
    const bool puk = ask.action == CodeAction::Unlock;
    if (ask.triesUnknown) texts.confirm = Text(puk ? kMaybeLastPukTry : kMaybeLastPinTry);
    else if (AsksToConfirmLastTry(ask)) texts.confirm = Text(puk ? kLastPukTry : kLastPinTry);
    return texts;
}

std::string SimCodeFlow::ProblemText(CodeEntryProblem problem) const {
    using namespace phonetext;
    switch (problem) {
    case CodeEntryProblem::PinNotValid:
    case CodeEntryProblem::NewPinNotValid: return Text(kPinNotValid);
    case CodeEntryProblem::PukNotValid: return Text(kPukNotValid);
    case CodeEntryProblem::NewPinsDiffer: return Text(kNewPinsDiffer);
    case CodeEntryProblem::LastTryNotConfirmed: return Text(kConfirmLastTry);
    case CodeEntryProblem::UnknownTryNotConfirmed: return Text(kConfirmUnknownTry);
    case CodeEntryProblem::None: break;
    }
    return {};
}

} // namespace vantaro
