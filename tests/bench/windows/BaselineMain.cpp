// The launch baseline: Vantaro's own resources and nothing else. It shows the Settings dialog
// template as the dialog manager builds it, with no settings, no port list and no texts, so
// that the time to the dialog on screen is what any program showing this dialog pays.

#include "resources/resource.h"

#include <windows.h>

namespace {

// Only what lets the timing driver close it again.
INT_PTR CALLBACK BaselineProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) return TRUE;
    if (message == WM_COMMAND && (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDOK)) {
        ::EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    return static_cast<int>(::DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_DIAL_SETTING), nullptr,
                                              &BaselineProcedure, 0));
}
