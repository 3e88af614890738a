#include "app/TrayMenu.h"

#include "platform/win32/CodePage.h"
#include "resources/resource.h"
#include "workflow/TrayMenuItems.h"

namespace vantaro {

namespace {

void OpenSettings(HWND dialog) {
    ::ShowWindow(dialog, ::IsIconic(dialog) ? SW_RESTORE : SW_SHOW);
    ::SetForegroundWindow(dialog);
}

void ShowMenu(HWND dialog, const SettingsForm& form, const TrayBalanceContext& balance) {
    UniqueHmenu menu(::CreatePopupMenu());
    if (!menu) return;
    for (const TrayMenuItem& item : TrayMenuItems(form, AnsiFromUtf8, balance)) {
        if (item.command == 0)
            ::AppendMenuA(menu.get(), MF_SEPARATOR, 0, nullptr);
        else
            ::AppendMenuA(menu.get(), MF_STRING | (item.enabled ? MF_ENABLED : MF_GRAYED),
                          static_cast<UINT_PTR>(item.command), item.text.c_str());
    }

    // The menu closes when the user clicks elsewhere only if the owner is in the foreground,
    // and a message to the owner after it keeps a second opening from failing.
    POINT cursor{};
    ::GetCursorPos(&cursor);
    ::SetForegroundWindow(dialog);
    const UINT command = static_cast<UINT>(::TrackPopupMenu(
        menu.get(), TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON | TPM_BOTTOMALIGN, cursor.x, cursor.y, 0, dialog,
        nullptr));
    ::PostMessageW(dialog, WM_NULL, 0, 0);
    if (command == IDM_TRAY_OPEN) {
        OpenSettings(dialog);
    } else if (command != 0) {
        // The buttons' own handlers decide, as for a click on them; Balance... is decided again
        // by the dialog, as things stand when it opens.
        ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(command, BN_CLICKED), 0);
    }
}

} // namespace

void AllowMinimizing(HWND dialog) {
    ::SetWindowLongPtrW(dialog, GWL_STYLE, ::GetWindowLongPtrW(dialog, GWL_STYLE) | WS_MINIMIZEBOX);
}

bool HandleTrayMessage(HWND dialog, Win32TrayIcon& icon, const SettingsForm& form, const TrayBalanceContext& balance,
                       UINT message, WPARAM wParam, LPARAM lParam) {
    if (icon.OnTaskbarCreated(message)) return true;
    if (message == kTrayCallbackMessage) {
        switch (static_cast<UINT>(lParam)) {
        case WM_RBUTTONUP:
        case WM_CONTEXTMENU:
            ShowMenu(dialog, form, balance);
            break;
        case WM_LBUTTONDBLCLK:
            OpenSettings(dialog);
            break;
        default:
            break;
        }
        return true;
    }
    // While connected the dialog goes to the icon instead of the taskbar; without an icon to
    // bring it back from, it stays a minimised window.
    if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_MINIMIZE &&
        form.CurrentActivity() == SettingsForm::Activity::Connected && icon.Added()) {
        ::ShowWindow(dialog, SW_HIDE);
        return true;
    }
    return false;
}

} // namespace vantaro
