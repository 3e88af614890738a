#pragma once
// The PIN dialog (template 141): one masked edit. The PIN it reads goes to the caller and is
// wiped from the dialog; it is never kept, shown or written anywhere.

#include "app/Dialog.h"

#include <string>

namespace vantaro {

class PinDialog final : public Dialog {
public:
    struct Texts {
        std::string title, label, ok, cancel;
    };
    explicit PinDialog(Texts texts);
    ~PinDialog() override;

    // Ends the dialog as Cancel does (the dialog under it ends).
    void Close() { End(IDCANCEL); }

    // The PIN typed, valid after DoModal returned IDOK.
    const std::string& Pin() const { return pin_; }

private:
    BOOL OnInit() override;
    void OnOK() override;

    Texts texts_;
    std::string pin_;
};

} // namespace vantaro
