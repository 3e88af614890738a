#include "app/PinDialog.h"

#include "resources/resource.h"

#include <algorithm>

namespace vantaro {

namespace {

// More than any PIN: a longer entry is refused by the check without being sent.
constexpr int kPinEditLimit = 16;

void Wipe(std::string& text) {
    std::fill(text.begin(), text.end(), '\0');
    text.clear();
}

} // namespace

PinDialog::PinDialog(Texts texts) : Dialog(IDD_PIN), texts_(std::move(texts)) {}

PinDialog::~PinDialog() { Wipe(pin_); }

BOOL PinDialog::OnInit() {
    ::SetWindowTextA(Handle(), texts_.title.c_str());
    ::SetDlgItemTextA(Handle(), IDC_PIN_LABEL, texts_.label.c_str());
    ::SetDlgItemTextA(Handle(), IDOK, texts_.ok.c_str());
    ::SetDlgItemTextA(Handle(), IDCANCEL, texts_.cancel.c_str());
    ::SendDlgItemMessageA(Handle(), IDC_PIN, EM_SETLIMITTEXT, kPinEditLimit, 0);
    return TRUE;
}

void PinDialog::OnOK() {
    char text[kPinEditLimit + 1] = {};
    const UINT length = ::GetDlgItemTextA(Handle(), IDC_PIN, text, sizeof text);
    Wipe(pin_);
    pin_.assign(text, std::min<UINT>(length, kPinEditLimit));
    std::fill(std::begin(text), std::end(text), '\0');
    ::SetDlgItemTextA(Handle(), IDC_PIN, "");
    End(IDOK);
}

} // namespace vantaro
