#pragma once
// The SIM codes of the Phone dialog: what the user is asked for before a code goes out, one code
// on its way at a time, what the phone's answer says, and what the program knows of each SIM's
// tries afterwards.
//
// A count of tries is only believed when the SIM said it after the last code that went to it.
// Right after a code many SIMs answer "SIM busy", some answer nothing or garbage, and a phone may
// fail AT+CPINR just then; the count shown before the send is then stale (the SIM may have one
// try fewer), so it is dropped: the tries are "not known", and a code sent with its tries not
// known is treated as the last try, which the user confirms first. A count read later (a check
// of that port, the PIN lock's read) makes them known again.
//
// It knows no control: PhoneForm shows what it decides. It runs on the dialog's thread only.

#include "platform/Secret.h"
#include "phone/PortFindings.h"
#include "phone/SimCodes.h"
#include "workflow/PhoneText.h"

#include <functional>
#include <optional>
#include <set>
#include <string>

namespace vantaro {

// What the user is asked for before a code is sent: for which port and action, and what the
// SIM said of that code's tries.
struct CodeAsk {
    std::string port;
    CodeAction action = CodeAction::EnterPin;
    std::optional<int> triesLeft;
    // A code went to this SIM and its tries were not read back after it: this may be the last.
    bool triesUnknown = false;
};

// Why what the user typed is not sent.
enum class CodeEntryProblem {
    None,
    PinNotValid,
    PukNotValid,
    NewPinNotValid,
    NewPinsDiffer,
    LastTryNotConfirmed,
    UnknownTryNotConfirmed,
};

// The rule for a code dialog's entries: the first is the PIN (the PUK to unlock), the second and
// third the new PIN twice (for unlocking and changing). With one try left (or none, as a phone
// may count), or with the tries not known, nothing is sent until the user has confirmed it.
CodeEntryProblem CheckCodeEntry(const CodeAsk& ask, const Secret& code, const Secret& newPin, const Secret& newPinAgain,
                                bool lastTryConfirmed);
// Whether the dialog for this ask shows the box that confirms a last try.
bool AsksToConfirmLastTry(const CodeAsk& ask);

// The texts of a code dialog: one masked field (the PIN) or three (a code and the new PIN
// twice), a note above the buttons, the box that confirms a last try.
struct CodeDialogTexts {
    std::string title;
    std::string labels[3];
    int fields = 1;
    std::string note;
    std::string confirm;  // empty: no box
    std::string ok, cancel;
};

// What came of a code: the status line's text (empty: leave it), the port whose SIM is to be read
// again (it took its PIN or PUK), and whether the row of the code's port changed.
struct CodeOutcome {
    std::string status;
    std::optional<std::string> reread;
    bool rowChanged = false;
};

class SimCodeFlow {
public:
    using TextOf = std::function<std::string(const TextKey&)>;
    explicit SimCodeFlow(TextOf text) : text_(std::move(text)) {}

    // A code is on its way, the PIN lock is being read, or a SIM is read again after its code.
    bool Busy() const { return codeOnItsWay_ || lockReadFor_ || rereadPort_; }
    bool Rereading(const std::string& port) const { return rereadPort_ == port; }
    const std::optional<CodeAsk>& CodeOnItsWay() const { return codeOnItsWay_; }

    // A check's findings of a port: a count the SIM told makes its tries known again.
    void Checked(const PortFindings& findings);
    // The re-read port's findings came.
    void RereadDone() { rereadPort_.reset(); }
    // A new check of every port: nothing is read again any more.
    void CheckBegun() { rereadPort_.reset(); }

    // The PIN button's ask for a row whose SIM wants its PIN or PUK, when nothing is on its way.
    std::optional<CodeAsk> PinButtonAsk(const PortFindings& findings) const;
    // Change PIN and PIN lock start with a read of the PIN lock; false when something is on its way.
    bool BeginLockRead(const std::string& port, CodeAction wanted);
    // What to ask for once the PIN lock was read, or nothing and the status line's text (in `status`).
    std::optional<CodeAsk> LockRead(const PinLockStatus& read, std::string& status);

    // The status line's text while the code goes out.
    std::string BeginCode(const CodeAsk& ask);
    // The phone's answer; `row` (the findings of the code's port, when it has any) is updated to
    // what the SIM wants now.
    std::optional<CodeOutcome> CodeAnswered(const PinAnswer& answer, PortFindings* row);
    void BeginReread(const std::string& port) { rereadPort_ = port; }

    // Whether the program has no count it can believe for the SIM on this port.
    bool TriesUnknownOn(const std::string& port) const { return triesUnknown_.count(port) != 0; }
    // Beside a SIM state that wants a code: "2 tries left", "1 try left", "tries left not known";
    // empty when the phone never told.
    std::string TriesCell(const PortFindings& findings) const;
    std::string TriesText(int tries) const;

    CodeDialogTexts DialogTexts(const CodeAsk& ask) const;
    std::string ProblemText(CodeEntryProblem problem) const;

private:
    std::string Text(const TextKey& key) const { return text_(key); }

    TextOf text_;
    // The code on its way, or the PIN lock being read (with the action it is read for and its port).
    std::optional<CodeAsk> codeOnItsWay_;
    std::optional<CodeAction> lockReadFor_;
    std::string lockReadPort_;
    std::optional<std::string> rereadPort_;  // the port read again after its SIM took a code
    std::set<std::string> triesUnknown_;     // ports whose SIM got a code whose tries were not read back
};

} // namespace vantaro
