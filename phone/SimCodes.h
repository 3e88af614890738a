#pragma once
// The codes of a SIM, sent on the user's word only: the PIN that unlocks it, the PUK with a new
// PIN when it is blocked, a new PIN for the old one, and the PIN lock on or off. Each command is
// sent once and never again by itself: every wrong PIN brings the SIM closer to its PUK, and
// every wrong PUK closer to its end. A code travels as a Secret; its characters are revealed
// only where its command is built, and that command is wiped once it is written. Nothing here
// keeps or writes a code anywhere.

#include "platform/Secret.h"
#include "phone/AtResponse.h"
#include "phone/PhoneCheck.h"
#include "phone/PortFindings.h"
#include "phone/SerialPort.h"
#include "platform/Clock.h"

#include <atomic>
#include <optional>
#include <string>
#include <string_view>

namespace vantaro {

enum class CodeAction {
    EnterPin,   // AT+CPIN="<PIN>"
    Unlock,     // AT+CPIN="<PUK>","<new PIN>"
    ChangePin,  // AT+CPWD="SC","<old PIN>","<new PIN>"
    LockOn,     // AT+CLCK="SC",1,"<PIN>"
    LockOff,    // AT+CLCK="SC",0,"<PIN>"
};

struct CodeRequest {
    CodeAction action = CodeAction::EnterPin;
    Secret code;    // the PIN; for Unlock, the PUK
    Secret newPin;  // for Unlock and ChangePin
};

enum class PinOutcome {
    Accepted,   // the phone said OK
    Rejected,   // the phone said no; the SIM does not want its PUK (or wanted it already)
    Blocked,    // the phone said no, and the SIM now wants its PUK
    NotValid,   // a code of the wrong form: nothing was sent
    NoAnswer,   // the phone said nothing in time, or went away
    NotOpened,  // the port did not open (busy, refused, missing)
    Stopped,
};

struct PinAnswer {
    PinOutcome outcome = PinOutcome::NoAnswer;
    // After a refusal: what the SIM wants now, and how many tries that code has left (when the
    // phone tells; for a SIM that is ready, its PIN's).
    SimState sim = SimState::Unknown;
    std::optional<int> triesLeft;
};

// 4 to 8 digits, nothing else.
bool IsValidPin(std::string_view pin);
// 8 digits, nothing else.
bool IsValidPuk(std::string_view puk);
// Every code the action needs is there and of its form.
bool IsValidRequest(const CodeRequest& request);

// Sends the request's one command and says what the phone made of it. After a refusal it asks
// (AT+CPIN?, again while the SIM says it is busy, then AT+CPINR) what the SIM wants now and how
// many tries are left; it never sends a code again. When the phone does not tell, the answer's
// SIM state or tries are left unknown: the caller must not take an older count for them.
PinAnswer SendCode(SerialPorts& ports, const std::string& name, const CodeRequest& request, Clock& clock,
                   const std::atomic<bool>& stop, const CheckTimings& timings = {});

// The PIN lock of a ready SIM and its PIN's tries left, read before the user is asked for it.
struct PinLockStatus {
    PinOutcome outcome = PinOutcome::NoAnswer;  // Accepted when the phone answered
    std::optional<bool> lockOn;                 // AT+CLCK="SC",2
    std::optional<int> triesLeft;               // AT+CPINR, the SIM PIN's
};
inline constexpr char kLockStateCommand[] = "AT+CLCK=\"SC\",2";
PinLockStatus ReadPinLock(SerialPorts& ports, const std::string& name, Clock& clock, const std::atomic<bool>& stop,
                          const CheckTimings& timings = {});
// +CLCK: <status>: true for 1 (on), false for 0 (off), nothing for anything else.
std::optional<bool> LockFrom(const AtResponse& response);

} // namespace vantaro
