#pragma once
// The Settings dialog's side of its notification-area icon: the icon's menu (Connect,
// Disconnect, Balance..., Open settings, Exit), bringing the dialog back from the icon, and hiding the
// dialog to the icon when it is minimised while connected.

#include "app/Win32TrayIcon.h"
#include "workflow/SettingsForm.h"
#include "workflow/TrayMenuItems.h"

#include <windows.h>

namespace vantaro {

// The dialog gets a minimise box (its template has none). The frame shows it from the window's
// next SetWindowPos with SWP_FRAMECHANGED on.
void AllowMinimizing(HWND dialog);

// Handles the messages that concern the icon; true when the message was one of them.
bool HandleTrayMessage(HWND dialog, Win32TrayIcon& icon, const SettingsForm& form, const TrayBalanceContext& balance,
                       UINT message, WPARAM wParam, LPARAM lParam);

} // namespace vantaro
