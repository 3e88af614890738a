// The real Vantaro.exe on settings files that users and editors leave behind: random bytes,
// UTF-16, a file of 10 MB, lines of 100 000 bytes, values of 5000 characters, format
// directives, GBK that is not valid, a file that cannot be written, a folder that is gone.
// For each: the dialog opens and shows what the platform reads from the file (or the
// defaults); a save either says it saved and changed nothing but the eight written keys, or
// says in a message box that it failed and left the file byte for byte as it was; and the
// program ends when asked. Runs with the Chinese code page, as on the Windows it is made for.

#include "fakes/ProfileFileText.h"
#include "fakes/Utf16Bytes.h"
#include "e2e/UiDriver.h"
#include "modem/ModemInstaller.h"
#include "platform/win32/UniqueHandle.h"
#include "settings/win32/Win32Profile.h"
#include "resources/resource.h"
#include "settings/IniDocument.h"
#include "workflow/InterfaceText.h"
#include "settings/ProfileFile.h"
#include "workflow/SettingsForm.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>

namespace vantaro::e2e {
namespace {

// The keys a save writes, all in [Setting].
const char* const kWrittenKeys[] = {"number", "username", "password", "init", "conn_mode", "dns1", "dns2", "apn"};

// Loading a 10 MB file and writing it back takes the program a few seconds under Wine.
constexpr DWORD kLargeFileWait = 60000;

std::string Lowered(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// The file's lines, each with its ending, except the [Setting] header and the written keys'
// lines in the first [Setting] section; the last line without its ending, which a save may
// add; then a UTF-16 file's last odd byte. A save must leave this list exactly as it was.
std::vector<std::string> LinesOutsideTheWrittenKeys(const std::string& bytes) {
    const std::string text = testing::ProfileFileText(bytes);
    std::vector<std::string> lines;
    bool inSetting = false, settingSeen = false;
    for (std::size_t position = 0; position < text.size();) {
        std::size_t next = text.find('\n', position);
        if (next == std::string::npos) next = text.find('\r', position);
        const std::size_t end = next == std::string::npos ? text.size() : next + 1;
        const std::string line = text.substr(position, end - position);
        position = end;

        const std::string body = TrimProfileBlanks(line);
        if (!body.empty() && body.front() == '[' && body.find(']') != std::string::npos) {
            const bool setting = Lowered(TrimProfileBlanks(body.substr(1, body.rfind(']') - 1))) == "setting";
            inSetting = setting && !settingSeen;
            settingSeen = settingSeen || setting;
            if (inSetting) continue;
        } else if (inSetting) {
            const std::string key = Lowered(TrimProfileBlanks(body.substr(0, body.find('='))));
            if (std::find(std::begin(kWrittenKeys), std::end(kWrittenKeys), key) != std::end(kWrittenKeys)) continue;
        }
        lines.push_back(line);
    }
    if (!lines.empty()) {
        std::string& last = lines.back();
        while (!last.empty() && (last.back() == '\n' || last.back() == '\r')) last.pop_back();
    }
    const ProfileEncoding encoding = DetectProfileEncoding(bytes);
    if ((encoding == ProfileEncoding::Utf16LittleEndian || encoding == ProfileEncoding::Utf16BigEndian) &&
        bytes.size() % 2)
        lines.push_back("odd byte " + bytes.substr(bytes.size() - 1));
    return lines;
}

std::string Read(const std::string& path, const std::string& section, const std::string& key,
                 const std::string& defaultValue) {
    return Win32Profile(path).ReadString(section, key, defaultValue);
}

// One hostile file and the run of the program on it.
class HostileFile {
public:
    HostileFile(const std::string& name, const std::string& bytes) : vantaro_(name), name_(name) {
        vantaro_.WriteSettings(bytes);
    }

    VantaroProcess& Program() { return vantaro_; }
    std::string Path() const { return vantaro_.SettingsPath(); }

    HWND Open(DWORD timeoutMs = kDefaultWait) {
        EXPECT_TRUE(vantaro_.Start());
        dialog_ = vantaro_.WaitForSettingsDialog(timeoutMs);
        EXPECT_NE(dialog_, nullptr) << "the Settings dialog did not appear";
        return dialog_;
    }

    // The dialog shows what the platform's profile functions read from the file, or the
    // defaults where they read nothing.
    void ExpectShowsWhatThePlatformReads() {
        const std::string path = Path();
        const std::string number = Read(path, "Setting", "number", "");
        ExpectShown(IDC_PHONE, number.empty() ? "*99#" : number, "number");
        ExpectShown(IDC_USER_NAME, Read(path, "Setting", "username", ""), "username");
        ExpectShown(IDC_PASSWORD, Read(path, "Setting", "password", ""), "password");
        const std::string apn = Read(path, "Setting", "apn", "cmnet");
        ExpectShown(IDC_APN, apn, "apn");
        ExpectShown(IDC_INIT_STRING, BuildInitString(apn), "init string");
        ExpectShown(IDC_DNS1, Read(path, "Setting", "dns1", ""), "dns1");
        ExpectShown(IDC_DNS2, Read(path, "Setting", "dns2", ""), "dns2");
        EXPECT_EQ(ComboSelection(dialog_, IDC_CONNECTION_TYPE), Read(path, "Setting", "conn_mode", "") == "0" ? 1 : 0);
        const std::string language = Read(path, "BaseSetting", "language", "0") == "0" ? "Chinese" : "English";
        for (const CaptionKey& caption : kCaptionKeys)
            ExpectShown(caption.controlId, Read(path, language, caption.key, ""), caption.key);
        ExpectShown(IDC_STATUS, Read(path, language, "pleaseset", ""), "pleaseset");
        language_ = language;
    }

    // Saves and holds the outcome to its promise; true when the program said it saved.
    bool SaveAndCheck(DWORD timeoutMs = kDefaultWait) {
        const std::string before = ReadFile(Path());
        const bool existed = FileExists(Path());
        const std::string saved = Read(Path(), language_, "saveset", "saveset");
        // The status may already hold the same text ("pleaseset" can equal "saveset").
        SetControlText(dialog_, IDC_STATUS, "");
        Click(dialog_, IDC_SAVE);
        HWND box = nullptr;
        const bool answered = WaitUntil(
            [&] {
                box = vantaro_.WaitForMessageBox(0);
                return box != nullptr || ControlText(dialog_, IDC_STATUS) == saved;
            },
            timeoutMs);
        EXPECT_TRUE(answered) << "the save neither said it saved nor that it failed";
        if (box) {
            // What is no APN is refused before the file is touched; any other box is a failed write.
            EXPECT_EQ(VantaroProcess::MessageBoxText(box), IsApnText(ControlText(dialog_, IDC_APN))
                                                               ? std::string(kSaveFailedMessage)
                                                               : Read(Path(), language_, kApnNotValidKey, kApnNotValidText));
            VantaroProcess::Acknowledge(box);
            EXPECT_TRUE(WaitUntil([&] { return vantaro_.WaitForMessageBox(0) == nullptr; }));
            EXPECT_NE(ControlText(dialog_, IDC_STATUS), saved) << "a failed save was called saved";
            EXPECT_EQ(FileExists(Path()), existed);
            EXPECT_TRUE(ReadFile(Path()) == before) << "a failed save changed the file";
            return false;
        }
        const std::string after = ReadFile(Path());
        EXPECT_EQ(DetectProfileEncoding(after), DetectProfileEncoding(before)) << "the file lost its encoding";
        if (LinesOutsideTheWrittenKeys(after) != LinesOutsideTheWrittenKeys(before)) {
            const std::string kept = ArtifactsFolder() + "\\hostile-" + name_;
            WriteFile(kept + "-before.ini", before);
            WriteFile(kept + "-after.ini", after);
            ADD_FAILURE() << "the save changed the file outside the eight written keys; both files are in " << kept
                          << "-*.ini";
        }
        const std::pair<const char*, int> fields[] = {{"number", IDC_PHONE},  {"username", IDC_USER_NAME},
                                                      {"password", IDC_PASSWORD}, {"init", IDC_INIT_STRING},
                                                      {"dns1", IDC_DNS1},     {"dns2", IDC_DNS2},
                                                      {"apn", IDC_APN}};
        for (const auto& [key, id] : fields)
            EXPECT_TRUE(ReadsBackAsWritten(Read(Path(), "Setting", key, "\x01"), ControlText(dialog_, id)))
                << key << " does not read back as the dialog shows it";
        EXPECT_EQ(Read(Path(), "Setting", "conn_mode", ""), ComboSelection(dialog_, IDC_CONNECTION_TYPE) == 0 ? "1" : "0");
        return true;
    }

    // Long values make unreadable failure messages: say where they part instead.
    void ExpectShown(int id, const std::string& expected, const char* what) {
        const std::string shown = ControlText(dialog_, id);
        if (shown == expected) return;
        std::size_t at = 0;
        while (at < shown.size() && at < expected.size() && shown[at] == expected[at]) ++at;
        ADD_FAILURE() << what << ": the dialog shows " << shown.size() << " bytes, the file reads as " << expected.size()
                      << "; they part at byte " << at << ": shown \"" << shown.substr(at, 16) << "\", read \""
                      << expected.substr(at, 16) << "\"";
    }

    void Exit() {
        Click(dialog_, IDC_EXIT);
        EXPECT_TRUE(vantaro_.WaitForExit()) << "the program did not end after Exit";
        EXPECT_EQ(vantaro_.ExitCode(), 0u);
    }

private:
    VantaroProcess vantaro_;
    const std::string name_;
    HWND dialog_ = nullptr;
    std::string language_ = "Chinese";
};

std::string RandomBytes(std::mt19937& random, std::size_t size) {
    std::string bytes(size, '\0');
    for (char& c : bytes) c = static_cast<char>(random() & 0xFF);
    return bytes;
}

// Pieces of a settings file mixed with random bytes: the readers meet real structure.
std::string RandomSettings(std::mt19937& random, std::size_t pieces) {
    const char* const parts[] = {"[Setting]", "[BaseSetting]", "[Chinese]", "[English]", "[Operators]", "[",  "]",
                                 "number=",   "apn = ",        "dns1",      "language=", "operator1=",  "=", "\r\n",
                                 "\n",        "\r",            "\"",        "'",         " ",           "\t", "\x1a"};
    std::string text;
    for (std::size_t i = 0; i < pieces; ++i) {
        if (random() % 3 == 0)
            text += RandomBytes(random, random() % 8);
        else
            text += parts[random() % std::size(parts)];
    }
    return text;
}

using testing::Utf16Le;

// Every key of the settings file, each with the given value.
std::string EveryKey(const std::string& value, const std::string& number) {
    std::string file = "[Setting]\r\n";
    for (const char* key : {"number", "username", "password", "init", "apn", "dns1", "dns2", "connection_name",
                            "default_connection_name", "modem_inf_file64"})
        file += std::string(key) + "=" + value + "\r\n";
    for (const char* key : {"conn_mode", "max_operator_num"}) file += std::string(key) + "=" + number + "\r\n";
    file += "[BaseSetting]\r\nlanguage=" + number + "\r\nmodem_inf_file=" + value + "\r\nmodem_inf_file64=" + value +
            "\r\nhardwareid_in_inf=" + value + "\r\n[Operators]\r\n";
    for (int i = 1; i <= 3; ++i) file += "operator" + std::to_string(i) + "=" + value + std::to_string(i) + "\r\n";
    for (int i = 1; i <= 3; ++i) file += "[" + value + std::to_string(i) + "]\r\nnumber=" + value + "\r\n";
    for (const char* language : {"Chinese", "English"}) {
        file += std::string("[") + language + "]\r\n";
        for (const CaptionKey& caption : kCaptionKeys) file += std::string(caption.key) + "=" + value + "\r\n";
        for (const char* key : {"pleaseset", "saveset", "insetupdriver", "modemsetsu", "conectting", "connectsucess",
                                "intimeout", "disconnecting", "dissucess"})
            file += std::string(key) + "=" + value + "\r\n";
    }
    return file;
}

// Random bytes (with fixed seeds: a failure is the same on every run), a file an editor saved as
// "Unicode", lines of 100 000 bytes, and GBK that is not valid. Each opens the dialog showing
// what the platform reads, a few controls as the row says, and a save keeps its promise; a row
// that must save also keeps the bytes it names.
TEST(HostileSettings, EachFileOpensTheDialogAndASaveKeepsOrSaysSo) {
    std::mt19937 random(20240521);
    const std::string line(100000, 'x');
    std::string gbk;
    while (gbk.size() < 100000) gbk += "\xB1\xA3\xB4\xE6";  // 保存
    // A lead byte before a blank, bytes that are never GBK, a lead byte at the end of a line and
    // at the end of the file: the platform's own writer would turn each of them into '?'.
    const std::string invalidGbk = "[Chinese]\r\nSAVESETTING=\xB1\xA3\x81\x20\xB4\xE6\r\nDRIVERIN=\xFF\xFF\x80\r\n"
                                   "ABORT=\xB1\r\nCancel=\xC8\xA1\xCF\xFB\r\npleaseset=\xC7\xEB\xC9\xE8\xD6\xC3\xFE";
    const struct {
        const char* name;
        std::string bytes;
        std::vector<std::pair<int, std::string>> shown;
        bool mustSave;  // a random file may hold what is no APN
        std::string keptBySave;
    } rows[] = {
        {"random_bytes", RandomBytes(random, 64 * 1024), {}, false, ""},
        {"random_structure", RandomSettings(random, 3000), {}, false, ""},
        {"random_utf16", "\xFF\xFE" + RandomSettings(random, 2000), {}, false, ""},
        // Chinese captions, a Chinese user name, blank lines.
        {"utf16",
         Utf16Le(u"; \u8BBE\u7F6E\r\n\r\n[Setting]\r\nnumber=*99***1#\r\nusername=\u5F20\u4E09\r\n"
                 u"apn = 3gnet\r\n\r\n[BaseSetting]\r\nlanguage=0\r\n"
                 u"[Chinese]\r\nSAVESETTING=\u4FDD\u5B58\u914D\u7F6E\r\nsaveset=\u5DF2\u4FDD\u5B58\r\n"),
         {{IDC_USER_NAME, "\xD5\xC5\xC8\xFD"}},  // 张三 in GBK
         true, ""},
        {"long_lines",
         "; " + line + "\r\n[Setting]\r\nnumber=" + std::string(100000, '9') + "\r\nusername=" + line + "\r\napn=" + line +
             "\r\n[BaseSetting]\r\nlanguage=0\r\n[Chinese]\r\nSAVESETTING=" + gbk + "\r\npleaseset=" + gbk +
             "\r\n[Other]\r\nk=" + line + "\r\n",
         {{IDC_USER_NAME, std::string(kMaxProfileString, 'x')}}, true, ""},
        {"invalid_gbk", "[Setting]\r\nusername=card\r\n[BaseSetting]\r\nlanguage=0\r\n" + invalidGbk,
         {{IDC_EXIT, "\xC8\xA1\xCF\xFB"}},  // 取消
         true, invalidGbk},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        HostileFile file(row.name, row.bytes);
        HWND dialog = file.Open();
        if (!dialog) continue;
        file.ExpectShowsWhatThePlatformReads();
        for (const auto& [id, text] : row.shown) EXPECT_EQ(ControlText(dialog, id), text);
        const bool saved = file.SaveAndCheck();
        if (row.mustSave) {
            EXPECT_TRUE(saved);
            EXPECT_NE(ReadFile(file.Path()).find(row.keptBySave), std::string::npos) << "the save rewrote these bytes";
        }
        file.Exit();
    }
}

// The times are printed, not held to a bound: the waits only keep a hung dialog from hanging the run.
TEST(HostileSettings, ATenMegabyteFileOpensAndSaves) {
    std::string bytes = "[Setting]\r\nnumber=*99#\r\nusername=big\r\n[BaseSetting]\r\nlanguage=1\r\n[Filler]\r\n";
    while (bytes.size() < 10 * 1024 * 1024) bytes += "filler" + std::to_string(bytes.size()) + "=" + std::string(80, 'f') + "\r\n";
    bytes += "[English]\r\nsaveset=Saved.\r\n";
    HostileFile file("ten_megabytes", bytes);
    const DWORD start = ::GetTickCount();
    if (!file.Open(kLargeFileWait)) return;
    const DWORD opened = ::GetTickCount() - start;
    file.ExpectShowsWhatThePlatformReads();
    const DWORD saveStart = ::GetTickCount();
    EXPECT_TRUE(file.SaveAndCheck(kLargeFileWait));
    const DWORD saved = ::GetTickCount() - saveStart;
    std::printf("[ten megabytes] dialog after %lu ms, save in %lu ms\n", static_cast<unsigned long>(opened),
                static_cast<unsigned long>(saved));
    file.Exit();
}

TEST(HostileSettings, EveryValue5000CharactersLong) {
    // The numbers too: max_operator_num of 5000 fives reads as tens of millions.
    HostileFile file("values_5000", EveryKey(std::string(5000, 'v'), std::string(5000, '5')));
    const DWORD start = ::GetTickCount();
    if (!file.Open()) return;
    std::printf("[5000 characters] dialog after %lu ms\n", static_cast<unsigned long>(::GetTickCount() - start));
    file.ExpectShowsWhatThePlatformReads();
    EXPECT_TRUE(file.SaveAndCheck());
    file.Exit();
}

TEST(HostileSettings, FormatDirectivesInEveryValueAreShownAndStoredAsText) {
    HostileFile file("format_directives", EveryKey("%s%n%x", "%s%n%x"));
    HWND dialog = file.Open();
    if (!dialog) return;
    file.ExpectShowsWhatThePlatformReads();
    EXPECT_EQ(ControlText(dialog, IDC_USER_NAME), "%s%n%x");
    EXPECT_EQ(ControlText(dialog, IDC_SAVE), "%s%n%x");
    EXPECT_EQ(ControlText(dialog, IDC_STATUS), "%s%n%x");
    EXPECT_FALSE(file.SaveAndCheck()) << "an APN of \"%s%n%x\" is no APN";
    SetControlText(dialog, IDC_APN, "cmnet");
    EXPECT_TRUE(file.SaveAndCheck());

    // A line break put into a field (pasted, or sent by another program) would start a line
    // of its own in the file: the save is refused and says why.
    const std::string before = ReadFile(file.Path());
    SetControlText(dialog, IDC_DNS2, "1.1.1.1\r\n[BaseSetting]\r\nlanguage=1");
    ASSERT_NE(ControlText(dialog, IDC_DNS2).find('\n'), std::string::npos);
    Click(dialog, IDC_SAVE);
    HWND box = file.Program().WaitForMessageBox();
    ASSERT_NE(box, nullptr) << "a value with a line break was not refused";
    EXPECT_EQ(VantaroProcess::MessageBoxText(box), kSaveLineBreakMessage);
    VantaroProcess::Acknowledge(box);
    EXPECT_TRUE(ReadFile(file.Path()) == before) << "the refused save changed the file";
    file.Exit();
}

TEST(HostileSettings, AFileThatCannotBeWrittenIsReportedEachTimeAndKept) {
    HostileFile file("cannot_write", "; keep me\r\n[Setting]\r\nusername=before\r\n");
    HWND dialog = file.Open();
    if (!dialog) return;
    file.ExpectShowsWhatThePlatformReads();
    SetControlText(dialog, IDC_USER_NAME, "after");

    // Marked read-only: the program refuses, though the tests (as root) could write it.
    ASSERT_TRUE(::SetFileAttributesA(file.Path().c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(file.SaveAndCheck());
    ::SetFileAttributesA(file.Path().c_str(), FILE_ATTRIBUTE_NORMAL);

    // Held open by another program that shares it with no one.
    {
        UniqueKernelHandle held(::CreateFileA(file.Path().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held);
        EXPECT_FALSE(file.SaveAndCheck());
        // The install button saves first, and does not start an install with values not saved.
        Click(dialog, IDC_INSTALL);
        HWND box = file.Program().WaitForMessageBox();
        ASSERT_NE(box, nullptr) << "the install's failed save was not reported";
        EXPECT_EQ(VantaroProcess::MessageBoxText(box), kSaveFailedMessage);
        VantaroProcess::Acknowledge(box);
        EXPECT_TRUE(ControlEnabled(dialog, IDC_INSTALL));
        EXPECT_NE(ControlText(dialog, IDC_STATUS), "insetupdriver");
    }
    EXPECT_EQ(ControlText(dialog, IDC_USER_NAME), "after") << "what the user typed must stay";

    // Once it can be written again, the same save goes through.
    EXPECT_TRUE(file.SaveAndCheck());
    EXPECT_EQ(Read(file.Path(), "Setting", "username", ""), "after");
    file.Exit();
}

TEST(HostileSettings, AFolderThatIsGoneIsReportedAndNothingIsMadeElsewhere) {
    // Setting.ini is found on the search path, in a folder of its own (say, on a USB stick),
    // which goes away while the dialog is open. (The program's own folder cannot go: the
    // running exe holds it.)
    const std::string settingsFolder = WorkFolder("folder_gone_settings");
    const std::string away = settingsFolder + "_away";
    ::RemoveDirectoryA(away.c_str());
    WriteFile(settingsFolder + "\\Setting.ini", "[Setting]\r\nusername=before\r\n");
    HostileFile file("folder_gone", "");
    file.Program().RemoveSettings();
    char path[32768] = {};
    ::GetEnvironmentVariableA("PATH", path, sizeof path);
    ::SetEnvironmentVariableA("PATH", (settingsFolder + ";" + path).c_str());
    HWND dialog = file.Open();
    ::SetEnvironmentVariableA("PATH", path);
    if (!dialog) return;
    EXPECT_EQ(ControlText(dialog, IDC_USER_NAME), "before") << "the settings on the search path were not read";

    ASSERT_TRUE(::MoveFileA(settingsFolder.c_str(), away.c_str())) << "error " << ::GetLastError();
    SetControlText(dialog, IDC_USER_NAME, "after");
    Click(dialog, IDC_SAVE);
    HWND box = file.Program().WaitForMessageBox();
    ASSERT_NE(box, nullptr) << "a save into a folder that is gone was not reported";
    EXPECT_EQ(VantaroProcess::MessageBoxText(box), kSaveFailedMessage);
    VantaroProcess::Acknowledge(box);
    EXPECT_FALSE(FileExists(settingsFolder)) << "the save made the folder again";
    EXPECT_FALSE(FileExists(file.Path())) << "the save went beside the program instead";
    EXPECT_EQ(ControlText(dialog, IDC_USER_NAME), "after") << "what the user typed must stay";

    ASSERT_TRUE(::MoveFileA(away.c_str(), settingsFolder.c_str()));
    EXPECT_EQ(ReadFile(settingsFolder + "\\Setting.ini"), "[Setting]\r\nusername=before\r\n");
    file.Exit();
}

TEST(HostileSettings, ASettingsFileThatIsAFolderGivesTheDefaultsAndAFailedSave) {
    HostileFile file("settings_is_folder", "");
    file.Program().RemoveSettings();
    ASSERT_TRUE(::CreateDirectoryA(file.Path().c_str(), nullptr));
    ASSERT_TRUE(file.Program().Start());
    // Whether the search takes the folder for the file or not, the dialog comes with defaults.
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        if (HWND box = file.Program().WaitForMessageBox(0)) {
            EXPECT_EQ(VantaroProcess::MessageBoxText(box), "Fail to get the ini file.");
            VantaroProcess::Acknowledge(box);
        }
        return (dialog = file.Program().FindTopWindow("Dial_Setting")) != nullptr;
    }));
    EXPECT_EQ(ControlText(dialog, IDC_APN), "cmnet");
    EXPECT_EQ(ControlText(dialog, IDC_PHONE), "*99#");
    Click(dialog, IDC_SAVE);
    HWND box = file.Program().WaitForMessageBox();
    ASSERT_NE(box, nullptr) << "a save into a folder was not reported";
    EXPECT_EQ(VantaroProcess::MessageBoxText(box), kSaveFailedMessage);
    VantaroProcess::Acknowledge(box);
    Click(dialog, IDC_EXIT);
    EXPECT_TRUE(file.Program().WaitForExit());
    ::RemoveDirectoryA(file.Path().c_str());
}

} // namespace
} // namespace vantaro::e2e
