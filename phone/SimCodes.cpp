#include "phone/SimCodes.h"

#include "phone/AtConversation.h"

#include <algorithm>

namespace vantaro {
namespace {

constexpr std::size_t kShortestPin = 4;
constexpr std::size_t kLongestPin = 8;
constexpr std::size_t kPukDigits = 8;

bool AllDigitsOf(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

void AppendQuoted(std::string& command, const Secret& code) {
    command += '"';
    command += code.Reveal();
    command += '"';
}

// The one place a code's characters are read: the command that carries it.
std::string CommandOf(const CodeRequest& request) {
    std::string command;
    switch (request.action) {
    case CodeAction::EnterPin:
        command = "AT+CPIN=";
        AppendQuoted(command, request.code);
        break;
    case CodeAction::Unlock:
        command = "AT+CPIN=";
        AppendQuoted(command, request.code);
        command += ',';
        AppendQuoted(command, request.newPin);
        break;
    case CodeAction::ChangePin:
        command = "AT+CPWD=\"SC\",";
        AppendQuoted(command, request.code);
        command += ',';
        AppendQuoted(command, request.newPin);
        break;
    case CodeAction::LockOn:
    case CodeAction::LockOff:
        command = request.action == CodeAction::LockOn ? "AT+CLCK=\"SC\",1," : "AT+CLCK=\"SC\",0,";
        AppendQuoted(command, request.code);
        break;
    }
    return command;
}

PinOutcome Unanswered(ResponseEnd end) { return end == ResponseEnd::Stopped ? PinOutcome::Stopped : PinOutcome::NoAnswer; }

constexpr int kCmeSimBusy = 14;

bool SimBusy(const AtResponse& response) {
    return response.end == ResponseEnd::Final && response.result == FinalResult::CmeError && response.ErrorCode() == kCmeSimBusy;
}

// What the SIM wants after it refused a code. Many SIMs say "SIM busy" right after checking one:
// they are asked again after a pause, a bounded number of times; anything else ends the asking.
SimState SimStateAfterCode(AtConversation& conversation, Clock& clock, const std::atomic<bool>& stop,
                           const CheckTimings& timings) {
    AtResponse response = conversation.Send(kSimStateCommand, timings.queryMs);
    for (int asked = 1; SimBusy(response) && asked < timings.busyAsks && !stop; ++asked) {
        clock.Sleep(timings.busyPauseMs);
        response = conversation.Send(kSimStateCommand, timings.queryMs);
    }
    return SimFrom(response);
}

} // namespace

bool IsValidPin(std::string_view pin) {
    return pin.size() >= kShortestPin && pin.size() <= kLongestPin && AllDigitsOf(pin);
}

bool IsValidPuk(std::string_view puk) { return puk.size() == kPukDigits && AllDigitsOf(puk); }

bool IsValidRequest(const CodeRequest& request) {
    switch (request.action) {
    case CodeAction::EnterPin:
    case CodeAction::LockOn:
    case CodeAction::LockOff: return IsValidPin(request.code.Reveal());
    case CodeAction::Unlock: return IsValidPuk(request.code.Reveal()) && IsValidPin(request.newPin.Reveal());
    case CodeAction::ChangePin: return IsValidPin(request.code.Reveal()) && IsValidPin(request.newPin.Reveal());
    }
    return false;
}

PinAnswer SendCode(SerialPorts& ports, const std::string& name, const CodeRequest& request, Clock& clock,
                   const std::atomic<bool>& stop, const CheckTimings& timings) {
    PinAnswer answer;
    if (!IsValidRequest(request)) {
        answer.outcome = PinOutcome::NotValid;
        return answer;
    }
    PortOpenResult opened = ports.Open(name);
    if (opened.error != PortOpenError::None) {
        answer.outcome = PinOutcome::NotOpened;
        return answer;
    }
    AtConversation conversation(*opened.port, clock, stop);
    std::string command = CommandOf(request);
    const AtResponse response = conversation.Send(command, timings.pinMs);
    WipeText(command);
    if (response.end != ResponseEnd::Final) {
        answer.outcome = Unanswered(response.end);
        return answer;
    }
    if (response.Ok()) {
        answer.outcome = PinOutcome::Accepted;
        return answer;
    }
    // Refused: what the SIM wants now, and how many tries its code has left. Only asked.
    answer.outcome = PinOutcome::Rejected;
    answer.sim = SimStateAfterCode(conversation, clock, stop, timings);
    const SimState counted = answer.sim == SimState::Ready || answer.sim == SimState::Pin2 ? SimState::Pin : answer.sim;
    if (CodeName(counted)[0] != '\0')
        answer.triesLeft = TriesLeftFrom(conversation.Send(kTriesLeftCommand, timings.queryMs), counted);
    if (answer.sim == SimState::Puk && request.action != CodeAction::Unlock) answer.outcome = PinOutcome::Blocked;
    return answer;
}

std::optional<bool> LockFrom(const AtResponse& response) {
    if (!response.Ok()) return std::nullopt;
    const std::optional<std::vector<std::string_view>> fields = FieldsFor(response.lines, "+CLCK");
    if (!fields) return std::nullopt;
    const std::optional<int> status = NumberOf(fields->front(), 1);
    if (status == 0 || status == 1) return status == 1;
    return std::nullopt;
}

PinLockStatus ReadPinLock(SerialPorts& ports, const std::string& name, Clock& clock, const std::atomic<bool>& stop,
                          const CheckTimings& timings) {
    PinLockStatus status;
    PortOpenResult opened = ports.Open(name);
    if (opened.error != PortOpenError::None) {
        status.outcome = PinOutcome::NotOpened;
        return status;
    }
    AtConversation conversation(*opened.port, clock, stop);
    const AtResponse lock = conversation.Send(kLockStateCommand, timings.queryMs);
    if (lock.end != ResponseEnd::Final) {
        status.outcome = Unanswered(lock.end);
        return status;
    }
    status.outcome = PinOutcome::Accepted;
    status.lockOn = LockFrom(lock);
    status.triesLeft = TriesLeftFrom(conversation.Send(kTriesLeftCommand, timings.queryMs), SimState::Pin);
    return status;
}

} // namespace vantaro
