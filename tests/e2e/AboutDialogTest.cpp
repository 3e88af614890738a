// The About button of the real Vantaro.exe under Wine: which About dialog the language list
// picks, what the compiled templates hold, and the shortcut left on the desktop.

#include "app/ComOwners.h"
#include "e2e/AboutSupport.h"
#include "e2e/DialogTemplate.h"
#include "resources/resource.h"

#include <shobjidl.h>

#include <gtest/gtest.h>

namespace vantaro::e2e {
namespace {

constexpr WORD kChinesePrc = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);
constexpr DWORD kAboutStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
constexpr WORD kButtonClass = 0x0080;
constexpr WORD kStaticClass = 0x0082;
constexpr char kVersionLine[] = "Vantaro for 2000/XP/Vista/WIN7 v1.1211.00";

enum class Kind { DefaultButton, HiddenButton, Icon, Text, VersionLine, Notice };

struct ExpectedItem {
    Kind kind;
    int id;
    const char* text;
    short x, y, width, height;
};

void ExpectItems(const DialogTemplate& dialog, const std::vector<ExpectedItem>& expected) {
    ASSERT_EQ(dialog.items.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const DialogTemplateItem& item = dialog.items[i];
        const ExpectedItem& want = expected[i];
        SCOPED_TRACE("control " + std::to_string(i) + ": " +
                     (want.kind == Kind::Icon ? "icon" : want.kind == Kind::Notice ? "notice line" : want.text));
        EXPECT_EQ(item.id, want.id);
        EXPECT_EQ(item.x, want.x);
        EXPECT_EQ(item.y, want.y);
        EXPECT_EQ(item.width, want.width);
        EXPECT_EQ(item.height, want.height);
        EXPECT_TRUE(item.style & WS_CHILD);
        EXPECT_EQ((item.style & WS_VISIBLE) != 0, want.kind != Kind::HiddenButton);
        switch (want.kind) {
        case Kind::DefaultButton:
        case Kind::HiddenButton:
            EXPECT_EQ(item.classAtom, kButtonClass);
            EXPECT_EQ(item.style & BS_TYPEMASK,
                      static_cast<DWORD>(want.kind == Kind::DefaultButton ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON));
            EXPECT_EQ(item.title, want.text);
            break;
        case Kind::Icon:
            EXPECT_EQ(item.classAtom, kStaticClass);
            EXPECT_EQ(item.style & SS_TYPEMASK, static_cast<DWORD>(SS_ICON));
            EXPECT_EQ(item.titleOrdinal.value_or(0), IDR_MAINFRAME);
            break;
        case Kind::Text:
        case Kind::VersionLine:
        case Kind::Notice:
            EXPECT_EQ(item.classAtom, kStaticClass);
            EXPECT_EQ(item.style & SS_TYPEMASK, static_cast<DWORD>(SS_LEFT)) << "every text is left-aligned";
            EXPECT_EQ((item.style & SS_NOPREFIX) != 0, want.kind == Kind::VersionLine)
                << "only the version line leaves \"&\" alone";
            if (want.kind == Kind::Notice)
                EXPECT_FALSE(item.title.empty());
            else
                EXPECT_EQ(item.title, want.text);
            break;
        }
    }
}

DialogTemplate LoadAboutTemplate(int id) {
    const std::optional<DialogTemplate> dialog = LoadDialogTemplate(DistFolder() + "\\Vantaro.exe", id, kChinesePrc);
    if (!dialog) ADD_FAILURE() << "template " << id << " is not in Vantaro.exe in Chinese (PRC)";
    return dialog.value_or(DialogTemplate{});
}

void ExpectAboutFrame(const DialogTemplate& dialog, short width, short height) {
    EXPECT_FALSE(dialog.extended) << "a plain template";
    EXPECT_EQ(dialog.style, kAboutStyle);
    EXPECT_EQ(dialog.width, width);
    EXPECT_EQ(dialog.height, height);
    EXPECT_EQ(dialog.title, kAboutTitle);
    EXPECT_EQ(dialog.pointSize, 10);
    EXPECT_EQ(dialog.font, "宋体");
}

TEST(AboutTemplates, TheChineseTemplateHoldsTheTabledControls) {
    const DialogTemplate dialog = LoadAboutTemplate(IDD_ABOUT_CHINESE);
    ExpectAboutFrame(dialog, 398, 159);
    ExpectItems(dialog, {
        {Kind::Icon, IDC_STATIC, nullptr, 7, 8, 20, 20},
        {Kind::VersionLine, IDC_STATIC, kVersionLine, 79, 121, 248, 8},
        {Kind::Notice, IDC_STATIC, nullptr, 91, 138, 172, 8},
        {Kind::DefaultButton, IDOK, "OK", 341, 7, 50, 14},
        {Kind::Text, IDC_ABOUT_TITLE, "拨号上网软件使用说明", 63, 15, 131, 8},
        {Kind::Text, IDC_STATIC, "*:若已安装过拨号驱动,请到设备管理器-->调制解调器,卸载关键字为ZOR  GPRS MODEM(#)驱动",
         10, 31, 326, 8},
        {Kind::Text, IDC_STATIC, "1:打开Vantaro.exe,第一次安装会首先出现DOS安装驱动,安装成功,退出软件,插入话机开机.",
         10, 47, 344, 8},
        {Kind::Text, IDC_STATIC, "2:话机正常开机以后,会提醒安装USB驱动,点击下一步即可.", 10, 65, 204, 8},
        {Kind::Text, IDC_STATIC, "4:驱动安装(若当前话机有多个MODEM口,则需要选择口,否则默认).安装成功以后,拨号即可.",
         10, 99, 312, 8},
        {Kind::Text, IDC_STATIC, "3:打开Vantaro.exe,设置相关参数,保存,针对不同地区配置好APN,DNS等.然后安装驱动",
         10, 82, 342, 8},
    });
}

TEST(AboutTemplates, TheEnglishTemplateHoldsTheTabledControlsWithAHiddenCancelAndALineFeed) {
    const DialogTemplate dialog = LoadAboutTemplate(IDD_ABOUT_ENGLISH);
    ExpectAboutFrame(dialog, 475, 215);
    ExpectItems(dialog, {
        {Kind::DefaultButton, IDOK, "OK", 418, 6, 50, 14},
        {Kind::HiddenButton, IDCANCEL, "Cancel", 354, 157, 50, 14},
        {Kind::Icon, IDC_STATIC, nullptr, 6, 6, 20, 20},
        {Kind::VersionLine, IDC_STATIC, kVersionLine, 139, 176, 228, 8},
        {Kind::Notice, IDC_STATIC, nullptr, 179, 195, 151, 8},
        {Kind::Text, IDC_STATIC,
         "* : if has installed a dial-up drive, please go to device manager->MODEM, unloading key for ZOR GPRS "
         "MODEM (#) drive.",
         12, 30, 456, 8},
        {Kind::Text, IDC_STATIC,
         "1: open the Vantaro. Exe, first installation will first appeared DOS to install the driver, the success "
         "of the installation, exit software, insert the phone boot",
         12, 43, 456, 8},
        {Kind::Text, IDC_STATIC, "2: the unit normal after boot, it will remind USB driver installation, click next",
         16, 76, 416, 8},
        {Kind::Text, IDC_STATIC,
         "4:driver installation (if the current telephone MODEM have more than one mouth, the mouth, or need to "
         "select the default). After the success of the installation, dial-up can.\n",
         16, 132, 446, 8},
        {Kind::Text, IDC_STATIC,
         "3:open the Vantaro. Exe, set the related parameters, save, according to different regions configuration "
         "good APN, DNS, etc. And then install the driver",
         16, 94, 444, 8},
        {Kind::Text, IDC_ABOUT_TITLE, "Dial-up software instructions", 63, 15, 131, 10},
        {Kind::Text, IDC_STATIC, "the installation, exit software, insert the phone boot", 29, 58, 250, 8},
        {Kind::Text, IDC_STATIC, "good APN, DNS, etc. And then install the driver", 29, 113, 429, 8},
        {Kind::Text, IDC_STATIC, "the default). After the success of the installation, dial-up can", 30, 152, 257, 8},
    });
}

// Only the English About dialog has a Cancel button (never shown).
bool IsEnglishAbout(HWND about) { return ::GetDlgItem(about, IDCANCEL) != nullptr; }

void SelectWithoutNotice(HWND dialog, int id, int index) {
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutA(::GetDlgItem(dialog, id), CB_SETCURSEL, static_cast<WPARAM>(index), 0, SMTO_ABORTIFHUNG,
                          5000, &ignored);
}

TEST(AboutButton, ShowsTheEnglishDialogForEnglishAndLeavesOneShortcutToTheLogRewrittenEachTime) {
    const std::string desktop = WineDesktopFolder();
    ASSERT_FALSE(desktop.empty()) << "WINEPREFIX or USERNAME is not set";
    const std::string shortcutPath = desktop + "\\" + kShortcutFile;
    ::DeleteFileA(shortcutPath.c_str());
    ASSERT_EQ(LinkFilesIn(desktop), std::vector<std::string>{});

    VantaroProcess vantaro("about_english");
    vantaro.WriteSettings("[BaseSetting]\r\nlanguage=0\r\n");
    ASSERT_TRUE(vantaro.Start());
    HWND settings = vantaro.WaitForSettingsDialog();
    ASSERT_NE(settings, nullptr) << ProgramState(vantaro);
    SelectComboItem(settings, IDC_LANGUAGE, 1);

    HWND about = OpenAboutDialog(vantaro, settings);
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(IsEnglishAbout(about));
    EXPECT_FALSE(ControlVisible(about, IDCANCEL));
    EXPECT_EQ(WideControlText(about, IDC_ABOUT_TITLE), "Dial-up software instructions");
    EXPECT_EQ(::GetWindow(about, GW_OWNER), settings) << "the Settings dialog owns the About dialog";
    EXPECT_TRUE(SavePaintedImage(about, ArtifactsFolder() + "\\about-english.bmp"));
    EXPECT_FALSE(FileExists(shortcutPath)) << "the shortcut comes only after the About dialog is closed";
    ASSERT_TRUE(CloseAboutDialog(about, settings));

    SavedShortcut shortcut = WaitForShortcut(shortcutPath);
    ASSERT_TRUE(shortcut.read) << "no readable " << shortcutPath;
    EXPECT_EQ(shortcut.target, "C:\\KR_WSN.log");
    EXPECT_EQ(shortcut.description, "Shortcut created by custom code");
    EXPECT_EQ(shortcut.showCommand, static_cast<std::uint32_t>(SW_SHOW));
    EXPECT_EQ(LinkFilesIn(desktop), std::vector<std::string>{kShortcutFile});

    // The second use writes the file anew: spoil it, and it comes back whole.
    WriteFile(shortcutPath, "not a shortcut");
    about = OpenAboutDialog(vantaro, settings);
    ASSERT_NE(about, nullptr);
    ASSERT_TRUE(CloseAboutDialog(about, settings, WM_CLOSE)) << "the close box did not end the About dialog";
    shortcut = WaitForShortcut(shortcutPath);
    EXPECT_TRUE(shortcut.read) << "the shortcut was not rewritten";
    EXPECT_EQ(shortcut.target, "C:\\KR_WSN.log");
    EXPECT_EQ(LinkFilesIn(desktop), std::vector<std::string>{kShortcutFile});

    EXPECT_EQ(ControlText(settings, IDC_STATUS), "") << "the About button leaves the status line alone";
    Click(settings, IDC_EXIT);
    EXPECT_TRUE(vantaro.WaitForExit());
}

TEST(AboutButton, FollowsTheLanguageListNotTheStoredLanguage) {
    VantaroProcess vantaro("about_list_not_stored");
    vantaro.WriteSettings("[BaseSetting]\r\nlanguage=1\r\n");
    ASSERT_TRUE(vantaro.Start());
    HWND settings = vantaro.WaitForSettingsDialog();
    ASSERT_NE(settings, nullptr) << ProgramState(vantaro);
    ASSERT_EQ(ComboSelection(settings, IDC_LANGUAGE), 1);

    // The list moves without telling the dialog, so the stored language stays English.
    SelectWithoutNotice(settings, IDC_LANGUAGE, 0);
    HWND about = OpenAboutDialog(vantaro, settings);
    ASSERT_NE(about, nullptr);
    EXPECT_FALSE(IsEnglishAbout(about)) << "the Chinese list item shows the Chinese About dialog";
    EXPECT_NE(::GetDlgItem(about, IDC_ABOUT_TITLE), nullptr);
    ASSERT_TRUE(CloseAboutDialog(about, settings));

    // No selection at all counts as English.
    SelectWithoutNotice(settings, IDC_LANGUAGE, -1);
    ASSERT_EQ(ComboSelection(settings, IDC_LANGUAGE), -1);
    about = OpenAboutDialog(vantaro, settings);
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(IsEnglishAbout(about));
    ASSERT_TRUE(CloseAboutDialog(about, settings));

    Click(settings, IDC_EXIT);
    EXPECT_TRUE(vantaro.WaitForExit());
}

// Points the shell link class at a server that does not exist, so that creating a shell link
// fails in every program of the prefix, and puts the registration back when it goes out of
// scope. Wine reads classes only from the machine's registry (this program's 32-bit view), so
// a registration left broken by an earlier run that died is mended first.
class BrokenShellLinkClass {
public:
    BrokenShellLinkClass() {
        if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kServerKey, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key_) != ERROR_SUCCESS)
            return;
        char server[MAX_PATH] = {};
        DWORD size = sizeof server - 1;
        DWORD type = 0;
        if (::RegQueryValueExA(key_, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(server), &size) !=
                ERROR_SUCCESS ||
            type != REG_SZ)
            return;
        original_ = server;
        if (original_ == kMissingServer) original_ = kShellServer;
        made_ = Set(kMissingServer);
    }
    BrokenShellLinkClass(const BrokenShellLinkClass&) = delete;
    BrokenShellLinkClass& operator=(const BrokenShellLinkClass&) = delete;
    ~BrokenShellLinkClass() {
        if (!original_.empty()) Set(original_);
        if (key_) ::RegCloseKey(key_);
    }
    bool Made() const { return made_; }

private:
    static constexpr char kServerKey[] =
        "Software\\Classes\\CLSID\\{00021401-0000-0000-C000-000000000046}\\InprocServer32";
    static constexpr char kMissingServer[] = "C:\\no-such-folder\\no-such-shell.dll";
    static constexpr char kShellServer[] = "C:\\windows\\system32\\shell32.dll";

    bool Set(const std::string& server) {
        return ::RegSetValueExA(key_, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(server.c_str()),
                                static_cast<DWORD>(server.size() + 1)) == ERROR_SUCCESS;
    }

    HKEY key_ = nullptr;
    std::string original_;
    bool made_ = false;
};

bool ShellLinkCanBeCreated() {
    ComInitialization com;
    ComPtr<IShellLinkA> link;
    return SUCCEEDED(
        ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.putVoid()));
}

TEST(AboutButton, WithoutAShellLinkTheAboutDialogStillWorksAndNothingIsWrittenOrSaid) {
    const std::string desktop = WineDesktopFolder();
    ASSERT_FALSE(desktop.empty());
    const std::string shortcutPath = desktop + "\\" + kShortcutFile;
    ::DeleteFileA(shortcutPath.c_str());
    BrokenShellLinkClass broken;
    ASSERT_TRUE(broken.Made());
    ASSERT_FALSE(ShellLinkCanBeCreated()) << "the shell link class still works; the test would prove nothing";

    VantaroProcess vantaro("about_no_shell_link");
    vantaro.WriteSettings("[BaseSetting]\r\nlanguage=1\r\n");
    ASSERT_TRUE(vantaro.Start());
    HWND settings = vantaro.WaitForSettingsDialog();
    ASSERT_NE(settings, nullptr) << ProgramState(vantaro);
    HWND about = OpenAboutDialog(vantaro, settings);
    ASSERT_NE(about, nullptr);
    ASSERT_TRUE(CloseAboutDialog(about, settings));

    EXPECT_FALSE(FileExists(shortcutPath));
    EXPECT_EQ(vantaro.WaitForMessageBox(0), nullptr) << "the failure must be silent";
    EXPECT_EQ(ControlText(settings, IDC_STATUS), "");
    EXPECT_TRUE(ControlEnabled(settings, IDC_ABOUT));
    Click(settings, IDC_EXIT);
    EXPECT_TRUE(vantaro.WaitForExit());
}

} // namespace
} // namespace vantaro::e2e
