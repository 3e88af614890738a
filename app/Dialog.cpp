#include "app/Dialog.h"

namespace vantaro {

INT_PTR Dialog::DoModal(HWND owner) {
    return ::DialogBoxParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId_), owner, &Dialog::Procedure,
                             reinterpret_cast<LPARAM>(this));
}

void Dialog::End(INT_PTR result) {
    OnEnding();
    ::EndDialog(window_, result);
}

INT_PTR CALLBACK Dialog::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Dialog* self = nullptr;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<Dialog*>(lParam);
        ::SetWindowLongPtrA(window, DWLP_USER, lParam);
        self->window_ = window;
        return self->OnInit();
    }
    self = reinterpret_cast<Dialog*>(::GetWindowLongPtrA(window, DWLP_USER));
    if (!self) return FALSE;

    if (message == WM_COMMAND) {
        const int id = LOWORD(wParam);
        const int notification = HIWORD(wParam);
        if (self->OnCommand(id, notification)) return TRUE;
        if (id == IDOK) { self->OnOK(); return TRUE; }
        if (id == IDCANCEL) { self->OnCancel(); return TRUE; }
        return FALSE;
    }
    INT_PTR result = 0;
    if (!self->OnMessage(message, wParam, lParam, &result)) return FALSE;
    // These few messages take their answer as the procedure's own return value.
    if (message == WM_QUERYDRAGICON || (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC)) return result;
    ::SetWindowLongPtrA(window, DWLP_MSGRESULT, result);
    return TRUE;
}

} // namespace vantaro
