#include "workflow/TrayMenuItems.h"

#include "resources/resource.h"
#include "workflow/LinkText.h"

#include <algorithm>

namespace vantaro {

namespace {
// The captions of the dialog's own buttons, so that the menu says what the buttons say.
constexpr TextKey kConnectCaption{"CONNECT", "Connect"};
constexpr TextKey kDisconnectCaption{"DISCONNECT", "Disconnect"};
constexpr TextKey kExitCaption{"Cancel", "Exit"};

// A port the check found a modem on, its SIM ready: one that can be asked.
const PortFindings* ReadyPhone(const std::vector<PortFindings>& checked, const std::string& port) {
    const auto found = std::find_if(checked.begin(), checked.end(), [&](const PortFindings& findings) {
        return findings.port == port && findings.state == PortState::Modem && ReadyForData(findings.sim);
    });
    return found == checked.end() ? nullptr : &*found;
}

std::string HomeCode(const TrayBalanceContext& context, const std::string& port) {
    const PortFindings* phone = ReadyPhone(context.checked, port);
    return phone ? BalanceCodeFor(context.database, phone->simOperator) : std::string();
}
} // namespace

std::optional<std::string> SecondAtPort(const std::vector<PortFindings>& checked, const std::string& port) {
    const PortFindings* dialPhone = ReadyPhone(checked, port);
    if (!dialPhone || dialPhone->iccid.empty()) return std::nullopt;
    for (const PortFindings& other : checked)
        if (other.port != port && other.iccid == dialPhone->iccid && ReadyPhone(checked, other.port)) return other.port;
    return std::nullopt;
}

TrayBalance TrayBalanceFor(const SettingsForm& form, const TrayBalanceContext& context) {
    using Activity = SettingsForm::Activity;
    TrayBalance balance;
    const std::string dialPort = form.DialPort();
    if (context.balanceOpen) return balance;
    switch (form.CurrentActivity()) {
    case Activity::Idle:
        if (dialPort.empty()) break;
        balance.ask = BalanceAsk{dialPort, HomeCode(context, dialPort)};
        balance.onDialPort = true;
        break;
    case Activity::Dialling:
    case Activity::Connected:
    case Activity::AfterDial:
    case Activity::Redialling:
        // The dial-up service holds the dial's port from the click on.
        if (const std::optional<std::string> second = SecondAtPort(context.checked, dialPort))
            balance.ask = BalanceAsk{*second, HomeCode(context, *second)};
        else
            balance.caption = phonetext::kBalanceDisconnectFirst;
        break;
    case Activity::Installing:
    case Activity::AfterInstall:
    case Activity::CheckingPhone:
    case Activity::AskingBalance:
        break;
    }
    return balance;
}

std::vector<TrayMenuItem> TrayMenuItems(const SettingsForm& form, const TextConverter& fromUtf8,
                                        const TrayBalanceContext& balanceContext) {
    const auto text = [&](const TextKey& key) { return form.LookUpText(key.key, fromUtf8(key.english)); };
    const TrayBalance balance = TrayBalanceFor(form, balanceContext);
    return {
        {IDC_DIAL, text(kConnectCaption), form.Allows(IDC_DIAL)},
        {IDC_DISCONNECT, text(kDisconnectCaption), form.Allows(IDC_DISCONNECT)},
        {IDM_TRAY_BALANCE, text(balance.caption), balance.ask.has_value()},
        {IDM_TRAY_OPEN, text(linktext::kOpenSettings), true},
        {0, {}, true},
        {IDC_EXIT, text(kExitCaption), true},
    };
}

} // namespace vantaro
