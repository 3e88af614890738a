#include "workflow/TrayMenuItems.h"

#include "resources/resource.h"
#include "workflow/LinkText.h"

namespace vantaro {

namespace {
// The captions of the dialog's own buttons, so that the menu says what the buttons say.
constexpr TextKey kConnectCaption{"CONNECT", "Connect"};
constexpr TextKey kDisconnectCaption{"DISCONNECT", "Disconnect"};
constexpr TextKey kExitCaption{"Cancel", "Exit"};
} // namespace

std::vector<TrayMenuItem> TrayMenuItems(const SettingsForm& form, const TextConverter& fromUtf8) {
    const auto text = [&](const TextKey& key) { return form.LookUpText(key.key, fromUtf8(key.english)); };
    return {
        {IDC_DIAL, text(kConnectCaption), form.Allows(IDC_DIAL)},
        {IDC_DISCONNECT, text(kDisconnectCaption), form.Allows(IDC_DISCONNECT)},
        {IDM_TRAY_OPEN, text(linktext::kOpenSettings), true},
        {0, {}, true},
        {IDC_EXIT, text(kExitCaption), true},
    };
}

} // namespace vantaro
