// The Chinese About dialog as a Chinese system shows it: this program runs with the zh_CN
// locale (ANSI code page 936), and so does the Vantaro.exe it starts.

#include "e2e/AboutSupport.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

namespace vantaro::e2e {
namespace {

TEST(AboutButtonInChinese, ShowsTheChineseDialogForChineseAndLeavesTheShortcut) {
    ASSERT_EQ(::GetACP(), 936u) << "run with LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8";
    const std::string desktop = WineDesktopFolder();
    ASSERT_FALSE(desktop.empty()) << "WINEPREFIX or USERNAME is not set";
    const std::string shortcutPath = desktop + "\\" + kShortcutFile;
    ::DeleteFileA(shortcutPath.c_str());

    VantaroProcess vantaro("about_chinese");
    vantaro.WriteSettings("[BaseSetting]\r\nlanguage=1\r\n");
    ASSERT_TRUE(vantaro.Start());
    HWND settings = vantaro.WaitForSettingsDialog();
    ASSERT_NE(settings, nullptr) << ProgramState(vantaro);
    SelectComboItem(settings, IDC_LANGUAGE, 0);

    HWND about = OpenAboutDialog(vantaro, settings);
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(::GetDlgItem(about, IDCANCEL), nullptr) << "the English About dialog came, which has a Cancel";
    EXPECT_EQ(WideControlText(about, IDC_ABOUT_TITLE), "拨号上网软件使用说明");
    // The ANSI text is GBK here, as the rest of the program speaks it.
    EXPECT_EQ(ControlText(about, IDC_ABOUT_TITLE), "\xB2\xA6\xBA\xC5\xC9\xCF\xCD\xF8\xC8\xED\xBC\xFE\xCA\xB9\xD3\xC3"
                                                   "\xCB\xB5\xC3\xF7");
    EXPECT_TRUE(SavePaintedImage(about, ArtifactsFolder() + "\\about-chinese.bmp"));
    ASSERT_TRUE(CloseAboutDialog(about, settings));

    const SavedShortcut shortcut = WaitForShortcut(shortcutPath);
    ASSERT_TRUE(shortcut.read) << "no readable " << shortcutPath;
    EXPECT_EQ(shortcut.target, "C:\\KR_WSN.log");
    EXPECT_EQ(shortcut.description, "Shortcut created by custom code");
    EXPECT_EQ(shortcut.showCommand, static_cast<std::uint32_t>(SW_SHOW));

    Click(settings, IDC_EXIT);
    EXPECT_TRUE(vantaro.WaitForExit());
}

} // namespace
} // namespace vantaro::e2e
