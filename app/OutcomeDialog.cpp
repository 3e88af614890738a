#include "app/OutcomeDialog.h"

#include "app/OutcomeText.h"
#include "app/SettingsDialog.h"
#include "platform/PlatformCodes.h"
#include "platform/win32/SystemVersion.h"
#include "platform/win32/Win32MessageSink.h"
#include "resources/resource.h"

namespace vantaro {

OutcomeDialog::OutcomeDialog(std::string profilePath)
    : Dialog(IDD_VANTARO_OUTCOME),
      profilePath_(std::move(profilePath)),
      appIcon_(::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME))) {}

OutcomeDialog::~OutcomeDialog() = default;

void OutcomeDialog::AppendAboutMenuItem() {
    HMENU systemMenu = ::GetSystemMenu(Handle(), FALSE);
    if (!systemMenu) return;
    char text[256] = {};
    if (::LoadStringA(::GetModuleHandleA(nullptr), IDS_ABOUTBOX, text, sizeof text) <= 0 || text[0] == '\0') return;
    ::AppendMenuA(systemMenu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuA(systemMenu, MF_STRING, IDM_ABOUTBOX, text);
}

BOOL OutcomeDialog::OnInit() {
    AppendAboutMenuItem();

    if (SystemPlatformId() != platform_code::kPlatformWin32Nt) {
        Win32MessageSink(Handle()).Show(kPlatformMessage);
        End(IDOK);
        return TRUE;
    }

    SettingsDialog settings(profilePath_);
    // The icons of this window, which is never shown, wait until the Settings dialog is on
    // screen: under Wine each costs the start a millisecond or more.
    settings.WhenOnScreen([this] {
        ::SendMessageA(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(appIcon_));
        ::SendMessageA(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(appIcon_));
    });
    const INT_PTR result = settings.DoModal(Handle());
    const SettingsSession* session = settings.Session();
    const std::string text =
        session ? ComposeOutcomeText(static_cast<int>(result), session->form.modemInstalled.load(),
                                     session->form.connectionCreated.load(), session->form.PortName(),
                                     session->form.ConnectionName())
                : ComposeOutcomeText(static_cast<int>(result), 0, 0, std::string(), std::string());
    ::SetDlgItemTextA(Handle(), IDC_OUTCOME_TEXT, text.c_str());
    End(IDOK);
    return TRUE;
}

bool OutcomeDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) {
    switch (message) {
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == IDM_ABOUTBOX) {
            *result = 0;
            return true;
        }
        return false;
    case WM_PAINT:
        if (!::IsIconic(Handle())) return false;
        PaintMinimised();
        *result = 0;
        return true;
    case WM_QUERYDRAGICON:
        *result = reinterpret_cast<INT_PTR>(appIcon_);
        return true;
    default:
        return false;
    }
}

void OutcomeDialog::PaintMinimised() {
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(Handle(), &paint);
    ::SendMessageA(Handle(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client;
    ::GetClientRect(Handle(), &client);
    const int x = (client.right - client.left - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    ::DrawIcon(dc, x, y, appIcon_);
    ::EndPaint(Handle(), &paint);
}

} // namespace vantaro
