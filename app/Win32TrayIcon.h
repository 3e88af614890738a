#pragma once
// The program's icon in the notification area, owned by the Settings dialog: the taskbar tells
// the dialog about clicks on it through kTrayCallbackMessage. A taskbar that is not there (the
// shell not yet started, or a desktop without a notification area) never stops the program:
// the icon is simply missing until Explorer announces itself with "TaskbarCreated".

#include "platform/win32/UniqueHandle.h"
#include "workflow/TrayView.h"

#include <windows.h>
#include <shellapi.h>

#include <mutex>
#include <string>

namespace vantaro {

// The taskbar's message to the icon's owner: lParam holds the mouse message (WM_RBUTTONUP,
// WM_CONTEXTMENU, WM_LBUTTONDBLCLK, ...), wParam the icon's id.
constexpr UINT kTrayCallbackMessage = WM_APP + 60;

class Win32TrayIcon final : public TrayView {
public:
    // Puts the icon in the notification area, showing Disconnected with this tooltip.
    Win32TrayIcon(HWND owner, const std::string& tooltip);
    // Takes the icon away while the owner window still exists; the object stays usable, and
    // shows nothing from then on.
    void Remove();
    ~Win32TrayIcon() override;

    void Show(LinkState state, const std::string& tooltip) override;
    void Balloon(const std::string& title, const std::string& text) override;

    // Explorer (re)started: the icon comes back with its last picture and tooltip. True when
    // the message was that announcement.
    bool OnTaskbarCreated(UINT message);
    bool Added() const;

private:
    NOTIFYICONDATAW Data(UINT flags) const;
    void AddLocked();

    const HWND owner_;
    const UINT taskbarCreatedMessage_;
    UniqueHicon icons_[3];  // by LinkState

    mutable std::mutex mutex_;
    bool added_ = false;
    bool removed_ = false;
    LinkState state_ = LinkState::Disconnected;
    std::wstring tooltip_;  // already cut to the field
};

} // namespace vantaro
