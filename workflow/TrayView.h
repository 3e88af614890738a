#pragma once
// The program's icon in the notification area, as the connection's keeper sees it: which of the
// three pictures it shows, its tooltip and its balloons. Texts are in the interface's code page,
// as the dialog's are. The Win32 side (app/Win32TrayIcon.h) puts them in the taskbar; tests
// record them.

#include <string>

namespace vantaro {

enum class LinkState { Disconnected, Dialling, Connected };

class TrayView {
public:
    TrayView() = default;
    TrayView(const TrayView&) = delete;
    TrayView& operator=(const TrayView&) = delete;
    virtual ~TrayView() = default;

    // The picture of the state and the tooltip. A tooltip longer than the taskbar keeps is cut
    // at a character's end.
    virtual void Show(LinkState state, const std::string& tooltip) = 0;
    // A balloon over the icon; a newer one replaces it.
    virtual void Balloon(const std::string& title, const std::string& text) = 0;
};

} // namespace vantaro
