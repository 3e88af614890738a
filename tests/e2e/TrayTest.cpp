// The notification-area icon of the real Vantaro.exe under Wine, with the delivered Setting.ini:
// its menu opened by a right click on the icon (Wine shows it in a window of its own when no tray
// manager runs) and by the taskbar's message, chosen from with the keyboard, and photographed
// as on an English and as on a Chinese Windows.

#include "app/Win32TrayIcon.h"
#include "e2e/UiDriver.h"

#include <gtest/gtest.h>

namespace vantaro::e2e {
namespace {

// Whether the taskbar holds an icon of the dialog: only a held icon can be modified.
bool IconShown(HWND dialog) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = dialog;
    data.uID = 1;
    return ::Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

// A right click on the icon where Wine shows it without a tray manager: a window of its own.
bool RightClickIcon(const std::string& locale) {
    HWND tray = ::FindWindowA("__winex11_standalone_tray", nullptr);
    HWND icon = tray ? ::GetWindow(tray, GW_CHILD) : nullptr;
    RECT rect{};
    if (!icon || !::GetWindowRect(icon, &rect)) return false;
    SaveWindowImage(tray, ArtifactsFolder() + "\\tray-icon-" + locale + ".bmp");
    ::SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    INPUT click[2] = {};
    click[0].type = click[1].type = INPUT_MOUSE;
    click[0].mi.dwFlags = MOUSEEVENTF_RIGHTDOWN;
    click[1].mi.dwFlags = MOUSEEVENTF_RIGHTUP;
    return ::SendInput(2, click, sizeof(INPUT)) == 2;
}

// Opens the icon's menu (clicked and photographed for a locale, else by the taskbar's message),
// then presses the keys: Down moves from item to item, separators left out; Up goes to the last.
bool ChooseFromMenu(const VantaroProcess& vantaro, HWND dialog, std::vector<WORD> keys, const std::string& locale) {
    if (locale.empty() || !RightClickIcon(locale)) ::PostMessageW(dialog, kTrayCallbackMessage, 1, WM_RBUTTONUP);
    HWND menu = nullptr;
    DWORD owner = 0;
    if (!WaitUntil([&] {
            menu = ::FindWindowA("#32768", nullptr);
            return menu && ::IsWindowVisible(menu) && ::GetWindowThreadProcessId(menu, &owner) &&
                   owner == vantaro.ProcessId();
        }, 10000))
        return false;
    if (!locale.empty()) SaveWindowImage(menu, ArtifactsFolder() + "\\tray-menu-" + locale + ".bmp");
    keys.push_back(VK_RETURN);
    for (WORD key : keys) {
        INPUT press[2] = {};
        press[0].type = press[1].type = INPUT_KEYBOARD;
        press[0].ki.wVk = press[1].ki.wVk = key;
        press[1].ki.dwFlags = KEYEVENTF_KEYUP;
        ::SendInput(2, press, sizeof(INPUT));
    }
    return WaitUntil([&] { return !::IsWindowVisible(menu); }, 5000);
}

TEST(TrayIcon, OpenSettingsBringsTheDialogBackAndExitEndsTheProgramWithItsIcon) {
    const bool chinese = ::GetACP() == 936;
    VantaroProcess vantaro(chinese ? "TrayIconChinese" : "TrayIcon");
    if (!chinese) ::WritePrivateProfileStringA("BaseSetting", "language", "1", vantaro.SettingsPath().c_str());
    ASSERT_TRUE(vantaro.Start());
    HWND dialog = vantaro.WaitForSettingsDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(IconShown(dialog)) << "no icon in the notification area";

    // As after a minimise while connected; Connect and Disconnect (greyed) come first.
    ::ShowWindow(dialog, SW_HIDE);
    ASSERT_TRUE(ChooseFromMenu(vantaro, dialog, {VK_DOWN, VK_DOWN, VK_DOWN}, chinese ? "zh_CN" : "en"));
    EXPECT_TRUE(WaitUntil([&] { return ::IsWindowVisible(dialog) != FALSE; }, 5000)) << "Open settings";

    ASSERT_TRUE(ChooseFromMenu(vantaro, dialog, {VK_UP}, ""));
    EXPECT_TRUE(vantaro.WaitForExit()) << "Exit did not end the program";
    EXPECT_EQ(vantaro.ExitCode(), 0u);
    EXPECT_FALSE(IconShown(dialog)) << "the icon outlived the program";
}

} // namespace
} // namespace vantaro::e2e
