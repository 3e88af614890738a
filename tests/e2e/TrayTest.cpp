// The notification-area icon of the real Vantaro.exe under Wine, with the delivered Setting.ini:
// its menu opened by a right click on the icon (without a tray manager Wine shows it in a window
// of its own), chosen from with the keyboard, and photographed as on an English and as on a
// Chinese Windows. The menu's items are a host table.

#include "e2e/UiDriver.h"
#include "resources/resource.h"

#include <shellapi.h>

#include <gtest/gtest.h>

#include <cstdio>

namespace vantaro::e2e {
namespace {

// Only an icon that the taskbar holds can be modified.
bool IconShown(HWND dialog) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data, data.hWnd = dialog, data.uID = 1;
    return ::Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

void Input(DWORD type, WORD key, DWORD press, DWORD release) {
    INPUT events[2] = {};
    for (int i = 0; i < 2; ++i) {
        events[i].type = type;
        events[i].ki.wVk = key;  // 0 for the mouse
        (type == INPUT_MOUSE ? events[i].mi.dwFlags : events[i].ki.dwFlags) = i == 0 ? press : release;
    }
    ::SendInput(2, events, sizeof(INPUT));
}

// A right click on the icon (photographed for a locale), then the keys: Down moves from item to
// item, separators left out, Up goes to the last.
bool ChooseFromMenu(DWORD process, std::vector<WORD> keys, const std::string& locale = {}) {
    HWND tray = ::FindWindowA("__winex11_standalone_tray", nullptr);
    if (!tray) return false;
    if (!locale.empty()) SaveWindowImage(tray, ArtifactsFolder() + "\\tray-icon-" + locale + ".bmp");
    HWND menu = nullptr;
    // Any program may keep a menu window, shown or not (Wine's own tray does), and the first of
    // them need not be ours: every one is looked at.
    const auto menuShown = [&] {
        for (HWND window = ::FindWindowExA(nullptr, nullptr, "#32768", nullptr); window;
             window = ::FindWindowExA(nullptr, window, "#32768", nullptr)) {
            DWORD owner = 0;
            if (::IsWindowVisible(window) && ::GetWindowThreadProcessId(window, &owner) && owner == process) {
                menu = window;
                return true;
            }
        }
        return false;
    };
    // Wine's tray may place the icon anew while the program changes it (its picture, its tip),
    // and a click that lands in between is lost: as a person would, the test clicks again.
    // A menu that comes shows within a fraction of a second; a lost click shows none at all, so
    // the clicks come more often than the menu could be late, within the same bound in all.
    constexpr int kClicks = 10;
    bool shown = false;
    int click = 0;
    while (click < kClicks && !shown) {
        ++click;
        RECT icon{};
        if (!::GetWindowRect(::GetWindow(tray, GW_CHILD), &icon)) return false;
        ::SetCursorPos((icon.left + icon.right) / 2, (icon.top + icon.bottom) / 2);
        Input(INPUT_MOUSE, 0, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
        shown = WaitUntil(menuShown, kDefaultWait / kClicks, "the icon's menu after a right click");
    }
    std::printf("the icon's menu came after %d right click(s)\n", click);
    if (!shown) return false;
    if (!locale.empty()) SaveWindowImage(menu, ArtifactsFolder() + "\\tray-menu-" + locale + ".bmp");
    for (WORD key : keys) Input(INPUT_KEYBOARD, key, 0, KEYEVENTF_KEYUP);
    return WaitUntil([&] { return !::IsWindowVisible(menu); }, kDefaultWait, "the icon's menu to close after its keys");
}

TEST(TrayIcon, ConnectIsGreyDuringAPhoneCheckOpenSettingsBringsTheDialogBackAndExitEndsTheProgram) {
    const bool chinese = ::GetACP() == 936;
    VantaroProcess vantaro(chinese ? "TrayIconChinese" : "TrayIcon");
    if (!chinese) ::WritePrivateProfileStringA("BaseSetting", "language", "1", vantaro.SettingsPath().c_str());
    ASSERT_TRUE(vantaro.Start());
    HWND dialog = vantaro.WaitForSettingsDialog();
    ASSERT_NE(dialog, nullptr);
    // The icon comes just after the dialog's first paint.
    EXPECT_TRUE(WaitUntil([&] { return IconShown(dialog); }, kDefaultWait, "the icon in the notification area"))
        << "no icon in the notification area";

    // The phone check may hold the phone's port: while the Phone dialog is open the menu's
    // Connect is grey, and the command it would post dials nothing (a save posted after it shows
    // its line once the Connect has been handled).
    Click(dialog, IDC_CHECK_PHONE);
    HWND phone = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        for (HWND window : vantaro.TopWindows())
            if (::GetDlgItem(window, IDC_PHONE_PORTS) && ::IsWindowVisible(window)) phone = window;
        return phone != nullptr;
    }, kDefaultWait, "the Phone dialog"));
    ASSERT_TRUE(ChooseFromMenu(vantaro.ProcessId(), {VK_ESCAPE}, chinese ? "zh_CN-phone-check" : "en-phone-check"));
    const std::string before = ControlText(dialog, IDC_STATUS);
    ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_DIAL, BN_CLICKED), 0);
    ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_SAVE, BN_CLICKED), 0);
    ASSERT_TRUE(WaitUntil([&] { return ControlText(dialog, IDC_STATUS) != before; }, kDefaultWait, "the save's status line"));
    EXPECT_EQ(ReadFile(vantaro.Folder() + "\\Vantaro.log").find("\tdial\tstarted"), std::string::npos)
        << "a dial started beside the phone check";
    ::PostMessageA(phone, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return ControlEnabled(dialog, IDC_DIAL); }, kDefaultWait, "Connect on again"));

    ::ShowWindow(dialog, SW_HIDE);  // as a minimise while connected leaves it
    const std::vector<WORD> openSettings = {VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN};  // past the greyed Disconnect
    ASSERT_TRUE(ChooseFromMenu(vantaro.ProcessId(), openSettings, chinese ? "zh_CN" : "en"));
    EXPECT_TRUE(WaitUntil([&] { return ::IsWindowVisible(dialog) != FALSE; }, kDefaultWait, "the Settings dialog shown again"))
        << "Open settings";

    ASSERT_TRUE(ChooseFromMenu(vantaro.ProcessId(), {VK_UP, VK_RETURN}));
    EXPECT_TRUE(vantaro.WaitForExit()) << "Exit did not end the program";
    EXPECT_EQ(vantaro.ExitCode(), 0u);
    EXPECT_FALSE(IconShown(dialog)) << "the icon outlived the program";
}

} // namespace
} // namespace vantaro::e2e
