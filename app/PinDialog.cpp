#include "app/PinDialog.h"

#include "resources/resource.h"

#include <algorithm>

namespace vantaro {

namespace {

// More than any code: a longer entry is refused without being sent.
constexpr int kCodeEditLimit = 16;

constexpr int kLabels[] = {IDC_PIN_LABEL, IDC_NEW_PIN_LABEL, IDC_NEW_PIN_AGAIN_LABEL};
constexpr int kFields[] = {IDC_PIN, IDC_NEW_PIN, IDC_NEW_PIN_AGAIN};

} // namespace

PinDialog::PinDialog(CodeDialogTexts texts, Check check)
    : Dialog(texts.fields == 3 ? IDD_PIN_CHANGE : IDD_PIN), texts_(std::move(texts)), check_(std::move(check)) {}

BOOL PinDialog::OnInit() {
    ::SetWindowTextA(Handle(), texts_.title.c_str());
    for (int i = 0; i < texts_.fields && i < 3; ++i) {
        ::SetDlgItemTextA(Handle(), kLabels[i], texts_.labels[i].c_str());
        ::SendDlgItemMessageA(Handle(), kFields[i], EM_SETLIMITTEXT, kCodeEditLimit, 0);
    }
    ::SetDlgItemTextA(Handle(), IDC_PIN_NOTE, texts_.note.c_str());
    ::SetDlgItemTextA(Handle(), IDC_PIN_CONFIRM, texts_.confirm.c_str());
    ::ShowWindow(::GetDlgItem(Handle(), IDC_PIN_CONFIRM), texts_.confirm.empty() ? SW_HIDE : SW_SHOW);
    ::SetDlgItemTextA(Handle(), IDOK, texts_.ok.c_str());
    ::SetDlgItemTextA(Handle(), IDCANCEL, texts_.cancel.c_str());
    return TRUE;
}

Secret PinDialog::ReadField(int id) {
    char text[kCodeEditLimit + 1] = {};
    const UINT length = ::GetDlgItemTextA(Handle(), id, text, sizeof text);
    Secret value(std::string_view(text, std::min<UINT>(length, kCodeEditLimit)));
    std::fill(std::begin(text), std::end(text), '\0');
    return value;
}

void PinDialog::OnOK() {
    Secret code = ReadField(IDC_PIN);
    Secret newPin = texts_.fields == 3 ? ReadField(IDC_NEW_PIN) : Secret();
    Secret again = texts_.fields == 3 ? ReadField(IDC_NEW_PIN_AGAIN) : Secret();
    const bool confirmed = ::IsDlgButtonChecked(Handle(), IDC_PIN_CONFIRM) == BST_CHECKED;
    const std::string problem = check_ ? check_(code, newPin, again, confirmed) : std::string();
    if (!problem.empty()) {
        // Refused here: nothing is sent, and the user corrects what was typed.
        ::SetDlgItemTextA(Handle(), IDC_PIN_NOTE, problem.c_str());
        return;
    }
    for (int id : kFields) ::SetDlgItemTextA(Handle(), id, "");
    code_ = std::move(code);
    newPin_ = std::move(newPin);
    End(IDOK);
}

} // namespace vantaro
