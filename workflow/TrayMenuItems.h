#pragma once
// The items of the notification-area icon's menu: the dialog's Connect and Disconnect buttons,
// Balance..., Open settings, and Exit, with the captions the buttons carry in the current
// language. Connect and Disconnect act when the dialog's activity lets their buttons act.
//
// Balance... asks the network on the dial's port while no connection holds it. From the click on
// a dial waits, as it does for the phone check. While a connection (or a dial) holds that port it
// asks on another port of the same phone that answered AT in the session's last phone check;
// without one the item is grey and says to disconnect first. Two ports are one phone's when their
// SIM gave the same ICCID: one card sits in one phone, and it answers alike on each of the
// phone's ports.

#include "phone/PortFindings.h"
#include "providers/ProviderDatabase.h"
#include "workflow/PhoneForm.h"
#include "workflow/PhoneText.h"
#include "workflow/SettingsForm.h"

#include <optional>
#include <string>
#include <vector>

namespace vantaro {

struct TrayMenuItem {
    int command = 0;  // 0 for the separator
    std::string text;
    bool enabled = true;
};

// What Balance... knows beside the dialog's activity.
struct TrayBalanceContext {
    const std::vector<PortFindings>& checked;  // the session's last phone check, port by port
    const providers::ProviderDatabase& database;
    bool balanceOpen = false;  // a Balance dialog of the tray's is open already
};

// Where Balance... asks and the code it proposes (the SIM's home operator's, when the check read
// it); nothing when the item is grey.
struct TrayBalance {
    std::optional<BalanceAsk> ask;
    TextKey caption = phonetext::kBalance;
    bool onDialPort = false;  // the dial waits until its dialog closes
};
TrayBalance TrayBalanceFor(const SettingsForm& form, const TrayBalanceContext& context);

// Another port of the phone on `port` that answered AT with its SIM ready, by the SIM's ICCID.
std::optional<std::string> SecondAtPort(const std::vector<PortFindings>& checked, const std::string& port);

std::vector<TrayMenuItem> TrayMenuItems(const SettingsForm& form, const TextConverter& fromUtf8,
                                        const TrayBalanceContext& balance);

} // namespace vantaro
