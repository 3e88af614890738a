#pragma once
// The code dialogs: one masked edit for a PIN (template 141), or three for a code and a new PIN
// twice (template 142: unlocking with the PUK, changing the PIN); a note; and, on the last try,
// a box the user must tick. What is typed is checked before the dialog ends (a refusal is said
// in the note, and the dialog stays), goes to the caller as Secrets and is wiped from the dialog;
// it is never kept, shown or written anywhere.

#include "app/Dialog.h"
#include "platform/Secret.h"
#include "workflow/PhoneForm.h"

#include <functional>
#include <string>

namespace vantaro {

class PinDialog final : public Dialog {
public:
    // Why the entries are not sent; an empty text when they may be.
    using Check = std::function<std::string(const Secret& code, const Secret& newPin, const Secret& newPinAgain,
                                            bool lastTryConfirmed)>;
    PinDialog(CodeDialogTexts texts, Check check);

    // Ends the dialog as Cancel does (the dialog under it ends).
    void Close() { End(IDCANCEL); }

    // What was typed, valid after DoModal returned IDOK.
    const Secret& Code() const { return code_; }
    const Secret& NewPin() const { return newPin_; }

private:
    BOOL OnInit() override;
    void OnOK() override;
    Secret ReadField(int id);

    CodeDialogTexts texts_;
    Check check_;
    Secret code_, newPin_;
};

} // namespace vantaro
