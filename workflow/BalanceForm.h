#pragma once
// The Balance dialog's presenter: the code to send (the operator's balance code from the
// database, or one the user types), the network's answer decoded for reading, and a menu the
// network opens answered in the same dialog. Only digits, '*' and '#' are ever sent; anything
// else is refused in the note before it reaches the phone.
//
// It runs on the dialog's thread; the dialog sends on a worker what Send returns and hands the
// outcome back to Answered.

#include "phone/UssdQuery.h"
#include "platform/DialogControls.h"
#include "workflow/PhoneText.h"

#include <functional>
#include <optional>
#include <string>

namespace vantaro {

enum class BalanceActivity { Idle, Asking, InMenu };

class BalanceForm {
public:
    using Texts = std::function<std::string(const TextKey&)>;

    // `code` is the database's balance code for the SIM's operator, "" when it has none.
    BalanceForm(DialogControls& controls, Texts texts, TextConverter fromUtf8, std::string code);

    // Captions, the code in its field, and a note when the database gave none.
    void ApplyTexts();
    // Send: what to send, when the field holds a code that may be sent (the field and the
    // button are off until the answer); nothing when it is refused (the note says why).
    std::optional<std::string> Send();
    // The worker's outcome.
    void Answered(const UssdOutcome& outcome);

    BalanceActivity Activity() const { return activity_; }

private:
    void ShowActivity();

    DialogControls& controls_;
    Texts texts_;
    TextConverter fromUtf8_;
    std::string code_;
    std::string sent_;
    BalanceActivity activity_ = BalanceActivity::Idle;
};

} // namespace vantaro
