#pragma once
// The items of the notification-area icon's menu: the dialog's Connect and Disconnect buttons,
// Open settings, and Exit, with the captions the buttons carry in the current language. Connect
// and Disconnect act when the dialog's activity lets their buttons act.

#include "workflow/PhoneText.h"
#include "workflow/SettingsForm.h"

#include <string>
#include <vector>

namespace vantaro {

struct TrayMenuItem {
    int command = 0;  // 0 for the separator
    std::string text;
    bool enabled = true;
};

std::vector<TrayMenuItem> TrayMenuItems(const SettingsForm& form, const TextConverter& fromUtf8);

} // namespace vantaro
