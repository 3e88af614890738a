// The real Vantaro.exe under Wine with the delivered Setting.ini: the captions of both
// languages, switching between them, and whether each caption fits its control. Runs twice:
// as on an English Windows, and as on a Chinese one (code page 936, a CJK font), where the
// Chinese captions are checked and photographed too.

#include "e2e/ProgramState.h"
#include "e2e/UiDriver.h"
#include "platform/win32/CodePage.h"
#include "resources/resource.h"
#include "settings/IniDocument.h"
#include "workflow/InterfaceText.h"
#include "workflow/LinkText.h"
#include "workflow/PhoneText.h"
#include "workflow/RoamingText.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace vantaro::e2e {
namespace {

constexpr UINT kChineseCodePage = 936;
constexpr int kChineseItem = 0;
constexpr int kEnglishItem = 1;
// The Settings dialog's template font: 10 point "宋体" (SimSun).
constexpr int kTemplatePointSize = 10;
constexpr wchar_t kTemplateFace[] = L"\x5B8B\x4F53";

bool ChineseWindows() { return ::GetACP() == kChineseCodePage; }

std::string Locale() { return ChineseWindows() ? "zh_CN" : "cp" + std::to_string(::GetACP()); }

std::wstring Wide(const std::string& bytes, UINT codePage) {
    return codepage::Widened(codePage, MB_ERR_INVALID_CHARS, bytes)
        .value_or(L"<not valid in code page " + std::to_wstring(codePage) + L">");
}

std::wstring WideControlText(HWND dialog, int id) {
    wchar_t text[512] = {};
    ::GetWindowTextW(::GetDlgItem(dialog, id), text, 512);
    return text;
}

std::string Value(const std::string& file, const std::string& section, const std::string& key) {
    return IniDocument(file).Get(section, key).value_or("<missing>");
}

std::string DeliveredSettings() { return ReadFile(DistFolder() + "\\Setting.ini"); }

// The dialog painted with what it shows now.
void Repaint(HWND dialog) {
    ::RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutA(dialog, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
    ::Sleep(150);  // the dialog's thread paints once its queue is empty
}

// Measures captions in the font the dialog manager makes from the template.
class TemplateFont {
public:
    TemplateFont() : screen_(::GetDC(nullptr)) {
        const int height = -::MulDiv(kTemplatePointSize, ::GetDeviceCaps(screen_, LOGPIXELSY), 72);
        font_ = ::CreateFontW(height, 0, 0, 0, FW_DONTCARE, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                              CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FF_DONTCARE, kTemplateFace);
        old_ = ::SelectObject(screen_, font_);
    }
    TemplateFont(const TemplateFont&) = delete;
    TemplateFont& operator=(const TemplateFont&) = delete;
    ~TemplateFont() {
        ::SelectObject(screen_, old_);
        ::DeleteObject(font_);
        ::ReleaseDC(nullptr, screen_);
    }

    int Width(const std::wstring& text) const {
        RECT rect{0, 0, 0, 0};
        ::DrawTextW(screen_, text.c_str(), static_cast<int>(text.size()), &rect, DT_CALCRECT | DT_SINGLELINE);
        return rect.right - rect.left;
    }
    // The horizontal dialog base unit of this font, as the dialog manager computes it.
    int BaseUnitX() const {
        const std::wstring letters = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
        SIZE size{};
        ::GetTextExtentPoint32W(screen_, letters.c_str(), static_cast<int>(letters.size()), &size);
        return (size.cx / 26 + 1) / 2;
    }
    std::string Face() const {
        wchar_t face[LF_FACESIZE] = {};
        ::GetTextFaceW(screen_, LF_FACESIZE, face);
        return Utf8FromWide(face);
    }

private:
    HDC screen_;
    HFONT font_ = nullptr;
    HGDIOBJ old_ = nullptr;
};

// Room for a caption inside its control, in pixels: a button keeps its frame and focus margin
// free, a group box its frame at both ends of the caption.
int CaptionRoom(HWND control) {
    RECT client{};
    ::GetClientRect(control, &client);
    char className[32] = {};
    ::GetClassNameA(control, className, sizeof className);
    const int width = client.right - client.left;
    if (lstrcmpiA(className, "Button") != 0) return width;
    return width - 8;
}

// Every caption of the current language fits: none is cut off or wrapped out of sight.
void ExpectEveryCaptionFits(HWND dialog, const TemplateFont& font, const std::string& language) {
    for (const CaptionKey& caption : kCaptionKeys) {
        HWND control = ::GetDlgItem(dialog, caption.controlId);
        const std::wstring text = WideControlText(dialog, caption.controlId);
        EXPECT_FALSE(text.empty()) << language << " caption " << caption.key << " is empty";
        EXPECT_LE(font.Width(text), CaptionRoom(control))
            << language << " caption " << caption.key << " \"" << Utf8FromWide(text) << "\" does not fit control "
            << caption.controlId;
    }
    // The phone check's button, added since.
    const std::wstring checkPhone = WideControlText(dialog, IDC_CHECK_PHONE);
    EXPECT_FALSE(checkPhone.empty()) << language << " checkphone";
    EXPECT_LE(font.Width(checkPhone), CaptionRoom(::GetDlgItem(dialog, IDC_CHECK_PHONE)))
        << language << " \"" << Utf8FromWide(checkPhone) << "\" does not fit the Check phone button";
}

TEST(DeliveredSettings, BothLanguagesHoldEveryCaptionAndMessage) {
    const std::string settings = DeliveredSettings();
    const char* const messages[] = {message::kPleaseSet,  message::kSaveSet,      message::kInSetupDriver,
                                    message::kModemSetSu, message::kConnecting,   message::kConnectSuccess,
                                    message::kInTimeout,  message::kDisconnecting, message::kDisconnectSuccess};
    for (const char* language : {"Chinese", "English"}) {
        for (const CaptionKey& caption : kCaptionKeys)
            EXPECT_NE(Value(settings, language, caption.key), "<missing>") << language << " " << caption.key;
        for (const char* key : messages) {
            const std::string text = Value(settings, language, key);
            EXPECT_NE(text, "<missing>") << language << " " << key;
            EXPECT_FALSE(text.empty()) << language << " " << key;
        }
    }
    // The Chinese texts are GBK, the English ones plain ASCII, and the lines end as Notepad ends them.
    for (const char* key : messages)
        EXPECT_EQ(Wide(Value(settings, "Chinese", key), kChineseCodePage).find(L"<not valid"), std::wstring::npos)
            << key << " is not GBK";
    for (const CaptionKey& caption : kCaptionKeys)
        for (char c : Value(settings, "English", caption.key))
            EXPECT_TRUE(static_cast<unsigned char>(c) < 0x80) << caption.key;
    for (std::size_t i = settings.find('\n'); i != std::string::npos; i = settings.find('\n', i + 1))
        ASSERT_TRUE(i > 0 && settings[i - 1] == '\r') << "a line without CR at byte " << i;
    EXPECT_EQ(Value(settings, "BaseSetting", "language"), "0") << "Chinese unless the user chooses";
    EXPECT_EQ(Value(settings, "BaseSetting", "hardwareid_in_inf"), "USB\\VID_1782&PID_0003&MI_01");
}

TEST(DeliveredSettings, BothLanguagesHoldEveryPhoneCheckAndLinkText) {
    const std::string settings = DeliveredSettings();
    std::vector<TextKey> keys(phonetext::kAll.begin(), phonetext::kAll.end());
    keys.insert(keys.end(), linktext::kAll.begin(), linktext::kAll.end());
    keys.insert(keys.end(), roamingtext::kAll.begin(), roamingtext::kAll.end());
    for (const TextKey& key : keys) {
        const std::string chinese = Value(settings, "Chinese", key.key);
        const std::string english = Value(settings, "English", key.key);
        EXPECT_FALSE(chinese.empty() || chinese == "<missing>") << "Chinese " << key.key;
        EXPECT_FALSE(english.empty() || english == "<missing>") << "English " << key.key;
        EXPECT_EQ(Wide(chinese, kChineseCodePage).find(L"<not valid"), std::wstring::npos) << key.key << " is not GBK";
        EXPECT_NE(chinese, english) << key.key << " is not translated";
        for (char c : english) EXPECT_TRUE(static_cast<unsigned char>(c) < 0x80) << key.key;
        // Where the program's own text fills in a port or a network id, the file's does too.
        EXPECT_EQ(english.find("%s") != std::string::npos, std::string(key.english).find("%s") != std::string::npos)
            << key.key;
        EXPECT_EQ(chinese.find("%s") != std::string::npos, english.find("%s") != std::string::npos) << key.key;
        for (const char* figure : {"%1", "%2", "%3", "%4", "%5"})
            EXPECT_EQ(chinese.find(figure) != std::string::npos, std::string(key.english).find(figure) != std::string::npos)
                << key.key << " " << figure;
    }
}

INT_PTR CALLBACK PlainDialog(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

TEST(Captions, TheChineseOnesAreTheDialogTemplatesOwn) {
    const std::string exe = DistFolder() + "\\Vantaro.exe";
    HMODULE module = ::LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr) << exe;
    HWND templateDialog = ::CreateDialogParamW(module, MAKEINTRESOURCEW(IDD_DIAL_SETTING), nullptr, &PlainDialog, 0);
    ASSERT_NE(templateDialog, nullptr);
    const std::string settings = DeliveredSettings();
    for (const CaptionKey& caption : kCaptionKeys) {
        const std::wstring chinese = Wide(Value(settings, "Chinese", caption.key), kChineseCodePage);
        EXPECT_EQ(Utf8FromWide(chinese), Utf8FromWide(WideControlText(templateDialog, caption.controlId))) << caption.key;
    }
    ::DestroyWindow(templateDialog);
    ::FreeLibrary(module);
}

TEST(Captions, SwitchingTheLanguageRecaptionsAllFourteenControlsAndStoresTheChoice) {
    VantaroProcess vantaro(ChineseWindows() ? "language_switch_zh" : "language_switch");
    ASSERT_TRUE(vantaro.Start());
    HWND dialog = vantaro.WaitForSettingsDialog();
    ASSERT_NE(dialog, nullptr) << "the Settings dialog did not appear: " << ProgramState(vantaro);
    const std::string settings = ReadFile(vantaro.SettingsPath());
    ASSERT_EQ(Value(settings, "BaseSetting", "language"), "0");

    auto expectCaptions = [&](const std::string& language) {
        for (const CaptionKey& caption : kCaptionKeys)
            EXPECT_EQ(ControlText(dialog, caption.controlId), Value(settings, language, caption.key))
                << language << " caption " << caption.key;
    };
    auto storedLanguage = [&] { return Value(ReadFile(vantaro.SettingsPath()), "BaseSetting", "language"); };

    expectCaptions("Chinese");
    const std::string status = ControlText(dialog, IDC_STATUS);
    EXPECT_EQ(status, Value(settings, "Chinese", "pleaseset"));

    SelectComboItem(dialog, IDC_LANGUAGE, kEnglishItem);
    expectCaptions("English");
    for (const CaptionKey& caption : kCaptionKeys)
        EXPECT_NE(Value(settings, "English", caption.key), Value(settings, "Chinese", caption.key)) << caption.key;
    EXPECT_TRUE(WaitUntil([&] { return storedLanguage() == "1"; })) << "language: " << storedLanguage();
    EXPECT_EQ(ControlText(dialog, IDC_STATUS), status) << "the status line keeps its text";

    SelectComboItem(dialog, IDC_LANGUAGE, kChineseItem);
    expectCaptions("Chinese");
    EXPECT_TRUE(WaitUntil([&] { return storedLanguage() == "0"; })) << "language: " << storedLanguage();

    // Later messages come in the new language.
    SelectComboItem(dialog, IDC_LANGUAGE, kEnglishItem);
    Click(dialog, IDC_SAVE);
    EXPECT_TRUE(WaitUntil([&] { return ControlText(dialog, IDC_STATUS) == Value(settings, "English", "saveset"); }))
        << "status: " << ControlText(dialog, IDC_STATUS);

    Click(dialog, IDC_EXIT);
    EXPECT_TRUE(vantaro.WaitForExit()) << "the program did not end after Exit";
}

// Screenshots for a person to look at, and a measured check that nothing is cut off.
TEST(Captions, EveryCaptionFitsItsControl) {
    VantaroProcess vantaro(ChineseWindows() ? "caption_fit_zh" : "caption_fit");
    // Away from a Chinese Windows the user has chosen English, so that the first status
    // message is not GBK shown in another code page.
    if (!ChineseWindows())
        ::WritePrivateProfileStringA("BaseSetting", "language", "1", vantaro.SettingsPath().c_str());
    ASSERT_TRUE(vantaro.Start());
    HWND dialog = vantaro.WaitForSettingsDialog();
    ASSERT_NE(dialog, nullptr) << "the Settings dialog did not appear: " << ProgramState(vantaro);
    const std::string settings = ReadFile(vantaro.SettingsPath());

    // Measuring is only sound in the dialog's own font: its base unit must give the width the
    // dialog manager gave the 313-unit group box.
    const TemplateFont font;
    RECT group{};
    ::GetWindowRect(::GetDlgItem(dialog, IDC_DIAL_GROUP), &group);
    std::printf("[ %s ] template font resolves to \"%s\", base unit %d px\n", Locale().c_str(), font.Face().c_str(),
                font.BaseUnitX());
    constexpr int kGroupWidth = 361;  // dialog units, template 129
    ASSERT_NEAR(group.right - group.left, ::MulDiv(kGroupWidth, font.BaseUnitX(), 4), 2)
        << "the test's font is not the dialog's";

    const std::string artifacts = ArtifactsFolder();
    if (ChineseWindows()) {
        ExpectEveryCaptionFits(dialog, font, "Chinese");
        Repaint(dialog);
        EXPECT_TRUE(SaveWindowImage(dialog, artifacts + "\\settings-chinese-" + Locale() + ".bmp"));
        SelectComboItem(dialog, IDC_LANGUAGE, kEnglishItem);
        // The status line keeps its Chinese text until the next message: save for an English one.
        Click(dialog, IDC_SAVE);
        EXPECT_TRUE(WaitUntil([&] { return ControlText(dialog, IDC_STATUS) == Value(settings, "English", "saveset"); }));
    }
    ASSERT_EQ(ComboSelection(dialog, IDC_LANGUAGE), kEnglishItem);
    ExpectEveryCaptionFits(dialog, font, "English");
    Repaint(dialog);
    EXPECT_TRUE(SaveWindowImage(dialog, artifacts + "\\settings-english-" + Locale() + ".bmp"));

    Click(dialog, IDC_EXIT);
    EXPECT_TRUE(vantaro.WaitForExit()) << "the program did not end after Exit";
}

} // namespace
} // namespace vantaro::e2e
