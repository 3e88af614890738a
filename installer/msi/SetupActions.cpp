// The custom actions of Vantaro's MSI packages, in a DLL that the package carries in its Binary
// table (it is not installed). wixl cannot express these steps with standard actions:
//
//   CheckInstall           immediate, before anything is written: refuses property values the
//                          program would refuse (1603, and a line in the MSI log saying why), and
//                          hands the values and an earlier install's settings to the steps below
//   PrepareInstall         deferred, before the files: gives a folder outside Program Files the
//                          access Program Files has, and moves a setup's (NSIS) install aside
//   UndoPrepareInstall     its rollback: the setup's install back where it was
//   WriteSettings          deferred, after the files: the earlier install's settings with this
//                          version's texts and new keys, then the given keys, through the
//                          program's writer
//   InstallModem           deferred, last: Vantaro.exe /install /port <PORT> /quiet
//   FinishInstall          commit, once nothing can fail any more: what the setup's install and
//                          an earlier package's left behind goes (files aside, logs, folders,
//                          the setup's uninstall entry)
//   CheckRemoval           immediate: refuses the removal while a Vantaro runs
//   RemoveWhatVantaroMade  deferred, before the files go: Vantaro.exe /uninstall /quiet
//
// Every line for the administrator goes to the MSI log, prefixed "Vantaro:".

#include "workflow/ExitCode.h"
#include "workflow/RunningMutex.h"
#include "installer/msi/DeploymentProperties.h"
#include "installer/win32/SetupSteps.h"
#include "platform/win32/CodePage.h"
#include "platform/win32/ProcessRecords.h"
#include "platform/win32/UniqueHandle.h"
#include "settings/ProfileFile.h"
#include "settings/SettingsKeys.h"
#include "settings/SettingsUpgrade.h"
#include "platform/win32/WholeFile.h"
#include "settings/win32/Win32Profile.h"

#include <windows.h>
#include <msi.h>
#include <msiquery.h>
#include <shlobj.h>

#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace vantaro::msi {
namespace {

// Held, for the rest of its install, by a package that replaces an earlier one: the earlier
// package's removal then leaves what Vantaro made in Windows to the new program. Windows
// Installer says so with UPGRADINGPRODUCTCODE; Wine's msiexec does not pass that property.
constexpr wchar_t kTakingOverMutex[] = L"Global\\VantaroMsiTakingOver";
constexpr char kSetupUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vantaro";
// What an install of either package holds in its folder, beside the program's logs: every file of
// the distribution folder (a name missing here keeps an earlier install's folder, which
// tests/e2e/MsiTest.cpp shows), and the setup's uninstaller.
const char* const kInstallFiles[] = {"Vantaro.exe",     "modemnode.exe", "pnpagent64.exe",
                                     "modem_inf.inf",   "modem_inf64.inf", "Setting.ini",
                                     "mobile-broadband-provider-info-public-domain.txt", "Uninstall.exe"};
const char* const kLogs[] = {"Vantaro.log", "Vantaro.log.1"};
// Beside the setup's folder, while this install may still be undone.
constexpr char kAsideSuffix[] = ".replaced-by-msi";
constexpr char kShortcut[] = "Vantaro.lnk";
// The driver install waits for the remote-access service; a port check takes seconds.
constexpr DWORD kVantaroRunWait = 5 * 60 * 1000;
// How much of the program's log a failed modem step copies into the MSI log.
constexpr std::size_t kLogTail = 4096;

struct MsiHandleTraits {
    using Type = MSIHANDLE;
    static Type Empty() { return 0; }
    static bool IsEmpty(Type handle) { return handle == 0; }
    static void Close(Type handle) { ::MsiCloseHandle(handle); }
};
using UniqueMsiHandle = UniqueHandle<MsiHandleTraits>;

std::wstring Property(MSIHANDLE install, const wchar_t* name) {
    DWORD size = 0;
    wchar_t none[1] = {};
    if (::MsiGetPropertyW(install, name, none, &size) != ERROR_MORE_DATA) return {};
    std::wstring value(size + 1, L'\0');
    size = static_cast<DWORD>(value.size());
    if (::MsiGetPropertyW(install, name, &value[0], &size) != ERROR_SUCCESS) return {};
    value.resize(size);
    return value;
}

std::wstring Property(MSIHANDLE install, const char* name) { return Property(install, WideFromAnsi(name).c_str()); }

void Say(MSIHANDLE install, const std::wstring& line) {
    UniqueMsiHandle record(::MsiCreateRecord(0));
    const std::wstring text = L"Vantaro: " + line;
    ::MsiRecordSetStringW(record.get(), 0, text.c_str());
    ::MsiProcessMessage(install, INSTALLMESSAGE_INFO, record.get());
}
void Say(MSIHANDLE install, const std::string& line) { Say(install, WideFromAnsi(line)); }

UINT Refuse(MSIHANDLE install, const std::string& why) {
    Say(install, why);
    return ERROR_INSTALL_FAILURE;
}

std::string Hex(const std::string& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (unsigned char byte : bytes) {
        text += digits[byte >> 4];
        text += digits[byte & 15];
    }
    return text;
}

std::optional<std::string> FromHex(const std::u16string& text) {
    if (text.size() % 2) return std::nullopt;
    const auto digit = [](char16_t c) -> int {
        if (c >= u'0' && c <= u'9') return c - u'0';
        if (c >= u'a' && c <= u'f') return c - u'a' + 10;
        return -1;
    };
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); i += 2) {
        const int high = digit(text[i]), low = digit(text[i + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        bytes += static_cast<char>(high * 16 + low);
    }
    return bytes;
}

std::string TrimmedFolder(std::string folder) {
    while (!folder.empty() && folder.back() == '\\') folder.pop_back();
    return folder;
}

// A setup (NSIS) install: its folder and the registry view of its uninstall entry.
struct SetupInstall {
    std::string folder;
    REGSAM view = 0;
};

std::optional<SetupInstall> FindSetupInstall() {
    for (REGSAM view : {REGSAM{KEY_WOW64_64KEY}, REGSAM{KEY_WOW64_32KEY}}) {
        UniqueHkey key;
        if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSetupUninstallKey, 0, KEY_QUERY_VALUE | view, key.put()) != ERROR_SUCCESS)
            continue;
        char folder[MAX_PATH] = {};
        DWORD size = sizeof folder - 1;
        DWORD type = 0;
        if (::RegQueryValueExA(key.get(), "InstallLocation", nullptr, &type, reinterpret_cast<BYTE*>(folder), &size) ==
                ERROR_SUCCESS &&
            type == REG_SZ)
            return SetupInstall{TrimmedFolder(folder), view};
    }
    return std::nullopt;
}

// The installs this one replaces: earlier packages' folders (their removal comes before this
// install's files), and a setup's.
struct EarlierInstalls {
    std::vector<std::string> packageFolders;
    std::optional<SetupInstall> setup;
};

EarlierInstalls FindEarlierInstalls(MSIHANDLE install) {
    EarlierInstalls earlier;
    const std::wstring products = Property(install, L"EARLIERVANTARO");
    for (std::size_t at = 0; at < products.size();) {
        const std::size_t end = std::min(products.find(L';', at), products.size());
        const std::wstring product = products.substr(at, end - at);
        wchar_t location[MAX_PATH] = {};
        DWORD size = MAX_PATH;
        if (::MsiGetProductInfoW(product.c_str(), L"InstallLocation", location, &size) == ERROR_SUCCESS &&
            size > 0)
            if (std::optional<std::string> folder = ExactAnsiFromWide(location))
                earlier.packageFolders.push_back(TrimmedFolder(*folder));
        at = end + 1;
    }
    earlier.setup = FindSetupInstall();
    return earlier;
}

// The Setting.ini of the install this one replaces: an earlier package's, else a setup's;
// nothing when neither has one.
std::optional<std::string> EarlierSettings(const EarlierInstalls& earlier) {
    std::vector<std::string> folders = earlier.packageFolders;
    if (earlier.setup) folders.push_back(earlier.setup->folder);
    for (const std::string& folder : folders) {
        std::string bytes;
        if (ReadWholeFile(folder + "\\" + settings::kFileName, bytes) == WholeFileRead::Read) return bytes;
    }
    return std::nullopt;
}

bool SameFolder(const std::string& a, const std::string& b) { return ::lstrcmpiA(a.c_str(), b.c_str()) == 0; }

std::string ProgramsFolder() {
    char programs[MAX_PATH] = {};
    return SUCCEEDED(::SHGetFolderPathA(nullptr, CSIDL_COMMON_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, programs))
               ? programs
               : "";
}

// Each file of a setup's install and where it waits, aside, until this install ends.
std::vector<std::pair<std::string, std::string>> SetupFilesAndAside(const std::string& setupFolder) {
    const std::string aside = setupFolder + kAsideSuffix;
    std::vector<std::pair<std::string, std::string>> files;
    for (const char* file : kInstallFiles) files.emplace_back(setupFolder + "\\" + file, aside + "\\" + file);
    const std::string programs = ProgramsFolder();
    if (!programs.empty()) files.emplace_back(programs + "\\" + kShortcut, aside + "\\" + kShortcut);
    return files;
}

void RemoveLogsAndFolder(const std::string& folder) {
    for (const char* log : kLogs) ::DeleteFileA((folder + "\\" + log).c_str());
    ::RemoveDirectoryA(folder.c_str());
}

// What an earlier package's removal left in a folder that is not this install's: Windows
// Installer under Wine leaves its files where they share components with this package.
void RemoveEarlierInstall(const std::string& folder) {
    for (const char* file : kInstallFiles) ::DeleteFileA((folder + "\\" + file).c_str());
    RemoveLogsAndFolder(folder);
}

struct ProgramRun {
    bool finished = false;
    DWORD exitCode = 0;
    DWORD error = 0;
};

ProgramRun RunVantaro(const std::string& folder, const std::string& arguments) {
    const std::string program = folder + "\\Vantaro.exe";
    std::string commandLine = "\"" + program + "\" " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    ProgramRun run;
    if (!::CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                          folder.c_str(), &startup, &info)) {
        run.error = ::GetLastError();
        return run;
    }
    UniqueKernelHandle process(info.hProcess);
    UniqueKernelHandle thread(info.hThread);
    if (::WaitForSingleObject(process.get(), kVantaroRunWait) != WAIT_OBJECT_0) {
        ::TerminateProcess(process.get(), 1);
        ::WaitForSingleObject(process.get(), 5000);
        run.error = WAIT_TIMEOUT;
        return run;
    }
    run.finished = ::GetExitCodeProcess(process.get(), &run.exitCode) != FALSE;
    return run;
}

std::string RunText(const std::string& arguments, const ProgramRun& run) {
    if (!run.finished)
        return "Vantaro.exe " + arguments + " did not " +
               (run.error == WAIT_TIMEOUT ? std::string("end within 5 minutes and was stopped")
                                          : "start (error " + std::to_string(run.error) + ")");
    return "Vantaro.exe " + arguments + " ended with " + std::to_string(run.exitCode) + ": " +
           ExitCodeMeaning(run.exitCode);
}

// The end of the program's log, which is UTF-8 (with a byte-order mark at its start): at most
// kLogTail bytes, from the first whole line among them.
std::wstring LogTail(std::string lines) {
    if (lines.compare(0, 3, "\xEF\xBB\xBF") == 0) lines.erase(0, 3);
    if (lines.size() > kLogTail) {
        lines.erase(0, lines.size() - kLogTail);
        const std::size_t lineEnd = lines.find('\n');
        lines.erase(0, lineEnd == std::string::npos ? 0 : lineEnd + 1);
    }
    return WideFromUtf8(lines);
}

std::vector<std::u16string> DeferredData(MSIHANDLE install) {
    return UnpackTexts(Utf16FromWide(Property(install, L"CustomActionData"))).value_or(std::vector<std::u16string>{});
}

} // namespace
} // namespace vantaro::msi

using namespace vantaro;
using namespace vantaro::msi;

// Data for WriteSettings: the folder, the earlier settings in hex (or empty), then pairs of
// property name and value. For InstallModem: the folder, PORT, "1" when REQUIREMODEM=1, and "1"
// when the folder is not there yet. For PrepareInstall, UndoPrepareInstall and FinishInstall: the
// folder, "1" when it is not there yet, the setup's folder and its entry's view ("32" or "64") or
// two empty texts, then the folders of the earlier packages.
extern "C" __declspec(dllexport) UINT __stdcall CheckInstall(MSIHANDLE install) {
    const std::optional<std::string> folder = ExactAnsiFromWide(Property(install, L"INSTALLDIR"));
    if (!folder) return Refuse(install, "the install folder's name has characters this Windows' code page lacks.");
    const std::u16string folderText = Utf16FromAnsi(TrimmedFolder(*folder));
    std::vector<std::u16string> settingsData = {folderText};
    const EarlierInstalls earlier = FindEarlierInstalls(install);
    const std::optional<std::string> earlierSettings = EarlierSettings(earlier);
    settingsData.push_back(earlierSettings ? Utf16FromAnsi(Hex(*earlierSettings)) : u"");

    for (const SettingProperty& setting : SettingProperties()) {
        const std::wstring given = Property(install, setting.property);
        if (given.empty()) continue;
        const std::optional<std::string> value = ExactAnsiFromWide(given);
        std::string why;
        if (!value)
            return Refuse(install, std::string(setting.property) +
                                       " holds characters that this Windows' code page, the one of Setting.ini, "
                                       "cannot store. Nothing was installed.");
        if (!StoredValue(setting, *value, why)) return Refuse(install, why + " Nothing was installed.");
        settingsData.push_back(Utf16FromAnsi(setting.property));
        settingsData.push_back(Utf16FromWide(given));
    }

    const std::wstring port = Property(install, kPortProperty);
    const std::optional<bool> installModem =
        Switch(ExactAnsiFromWide(Property(install, kInstallModemProperty)).value_or("?"));
    const std::optional<bool> requireModem =
        Switch(ExactAnsiFromWide(Property(install, kRequireModemProperty)).value_or("?"));
    if (!installModem || !requireModem) return Refuse(install, "INSTALLMODEM and REQUIREMODEM are 1 or 0. Nothing was installed.");
    std::string why;
    if (!port.empty() && !IsPortArgument(ExactAnsiFromWide(port).value_or("?"), why))
        return Refuse(install, why + " Nothing was installed.");
    if (*installModem && port.empty())
        return Refuse(install, "INSTALLMODEM=1 needs PORT=COMn or PORT=auto. Nothing was installed.");

    if (!Property(install, L"EARLIERVANTARO").empty()) {
        // Deliberately left open: this action's host keeps it until the install ends.
        ::CreateMutexW(nullptr, FALSE, kTakingOverMutex);
    }
    ::MsiSetPropertyW(install, L"WriteSettings", WideFromUtf16(PackTexts(settingsData)).c_str());
    const bool folderIsNew = ::GetFileAttributesA(folder->c_str()) == INVALID_FILE_ATTRIBUTES;
    const std::vector<std::u16string> modemData = {folderText, Utf16FromWide(port), *requireModem ? u"1" : u"",
                                                   folderIsNew ? u"1" : u""};
    ::MsiSetPropertyW(install, L"InstallModem", *installModem ? WideFromUtf16(PackTexts(modemData)).c_str() : L"");

    std::vector<std::u16string> replaced = {folderText, folderIsNew ? u"1" : u""};
    replaced.push_back(earlier.setup ? Utf16FromAnsi(earlier.setup->folder) : u"");
    replaced.push_back(!earlier.setup ? u"" : earlier.setup->view == KEY_WOW64_64KEY ? u"64" : u"32");
    for (const std::string& earlierFolder : earlier.packageFolders) replaced.push_back(Utf16FromAnsi(earlierFolder));
    const std::wstring replacedData = WideFromUtf16(PackTexts(replaced));
    for (const wchar_t* action : {L"PrepareInstall", L"UndoPrepareInstall", L"FinishInstall"})
        ::MsiSetPropertyW(install, action, replacedData.c_str());
    return ERROR_SUCCESS;
}

namespace {

struct Replaced {
    std::string folder;
    bool folderIsNew = false;
    std::string setupFolder;  // empty when no setup's install is replaced
    REGSAM setupView = 0;
    std::vector<std::string> packageFolders;
};

std::optional<Replaced> ReplacedData(MSIHANDLE install) {
    const std::vector<std::u16string> data = DeferredData(install);
    if (data.size() < 4) return std::nullopt;
    Replaced replaced;
    replaced.folder = ExactAnsiFromUtf16(data[0]).value_or("");
    replaced.folderIsNew = data[1] == u"1";
    replaced.setupFolder = ExactAnsiFromUtf16(data[2]).value_or("");
    replaced.setupView = data[3] == u"64" ? KEY_WOW64_64KEY : KEY_WOW64_32KEY;
    for (std::size_t i = 4; i < data.size(); ++i)
        replaced.packageFolders.push_back(ExactAnsiFromUtf16(data[i]).value_or(""));
    if (replaced.folder.empty()) return std::nullopt;
    return replaced;
}

} // namespace

extern "C" __declspec(dllexport) UINT __stdcall PrepareInstall(MSIHANDLE install) {
    const std::optional<Replaced> replaced = ReplacedData(install);
    if (!replaced) return Refuse(install, "PrepareInstall got no data.");
    DWORD error = 0;
    switch (installer::SecureInstallFolder(WideFromAnsi(replaced->folder), error)) {
    case installer::FolderAccess::Inherited:
        break;
    case installer::FolderAccess::Set:
        Say(install, "gave " + replaced->folder + " the access of Program Files: administrators change it, users "
                     "read and run it");
        break;
    case installer::FolderAccess::Failed:
        return Refuse(install, "the access of " + replaced->folder + " cannot be set (error " + std::to_string(error) +
                                   "), and users could change the files that run as SYSTEM there. Nothing was "
                                   "installed. Choose a folder inside Program Files.");
    }
    if (replaced->setupFolder.empty()) return ERROR_SUCCESS;
    // The setup's install waits aside: this install's files take its place, and a rollback
    // brings it back whole.
    ::CreateDirectoryA((replaced->setupFolder + kAsideSuffix).c_str(), nullptr);
    for (const auto& [file, aside] : SetupFilesAndAside(replaced->setupFolder)) {
        if (::GetFileAttributesA(file.c_str()) == INVALID_FILE_ATTRIBUTES) continue;
        if (!::MoveFileExA(file.c_str(), aside.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED))
            return Refuse(install, "the setup's " + file + " could not be moved aside (error " +
                                       std::to_string(::GetLastError()) + "). Nothing was installed.");
    }
    Say(install, "replacing the setup's install in " + replaced->setupFolder + " (its settings are kept)");
    return ERROR_SUCCESS;
}

extern "C" __declspec(dllexport) UINT __stdcall UndoPrepareInstall(MSIHANDLE install) {
    const std::optional<Replaced> replaced = ReplacedData(install);
    if (!replaced) return ERROR_SUCCESS;
    if (!replaced->setupFolder.empty()) {
        ::CreateDirectoryA(replaced->setupFolder.c_str(), nullptr);
        for (const auto& [file, aside] : SetupFilesAndAside(replaced->setupFolder))
            if (::GetFileAttributesA(aside.c_str()) != INVALID_FILE_ATTRIBUTES)
                ::MoveFileExA(aside.c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED);
        ::RemoveDirectoryA((replaced->setupFolder + kAsideSuffix).c_str());
        Say(install, "the setup's install in " + replaced->setupFolder + " is back as it was");
    }
    // Only when this install made it: then the logs of a failed modem step are all it holds.
    if (replaced->folderIsNew) RemoveLogsAndFolder(replaced->folder);
    return ERROR_SUCCESS;
}

extern "C" __declspec(dllexport) UINT __stdcall FinishInstall(MSIHANDLE install) {
    const std::optional<Replaced> replaced = ReplacedData(install);
    if (!replaced) return ERROR_SUCCESS;
    if (!replaced->setupFolder.empty()) {
        for (const auto& [file, aside] : SetupFilesAndAside(replaced->setupFolder)) ::DeleteFileA(aside.c_str());
        ::RemoveDirectoryA((replaced->setupFolder + kAsideSuffix).c_str());
        ::RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kSetupUninstallKey, replaced->setupView, 0);
        if (!SameFolder(replaced->setupFolder, replaced->folder)) RemoveLogsAndFolder(replaced->setupFolder);
    }
    // An earlier package of the other kind lay in another folder: its removal left the
    // program's logs, and with them the folder.
    for (const std::string& folder : replaced->packageFolders)
        if (!folder.empty() && !SameFolder(folder, replaced->folder)) RemoveEarlierInstall(folder);
    return ERROR_SUCCESS;
}

extern "C" __declspec(dllexport) UINT __stdcall WriteSettings(MSIHANDLE install) {
    const std::vector<std::u16string> data = DeferredData(install);
    if (data.size() < 2 || data.size() % 2) return Refuse(install, "WriteSettings got no data.");
    const std::string folder = ExactAnsiFromUtf16(data[0]).value_or("");
    const std::string path = folder + "\\" + settings::kFileName;
    if (!data[1].empty()) {
        const std::optional<std::string> earlier = FromHex(data[1]);
        std::string shipped;
        if (!earlier || ReadWholeFile(path, shipped) != WholeFileRead::Read ||
            !ReplaceWholeFile(path, settings::UpgradedSettings(*earlier, shipped)))
            return Refuse(install, "the earlier settings could not be kept in " + path + ".");
        Say(install, "kept the settings of the earlier install, with this version's texts and new keys");
    }

    std::map<std::string, std::vector<ProfileEntry>> sections;
    for (std::size_t i = 2; i < data.size(); i += 2) {
        const std::string property = ExactAnsiFromUtf16(data[i]).value_or("");
        for (const SettingProperty& setting : SettingProperties()) {
            if (property != setting.property) continue;
            std::string why;
            const std::optional<std::string> value =
                StoredValue(setting, ExactAnsiFromUtf16(data[i + 1]).value_or(""), why);
            if (!value) return Refuse(install, why);
            sections[setting.section].push_back({setting.key, *value});
        }
    }
    Win32Profile profile(path);
    for (const auto& [section, entries] : sections) {
        if (!profile.WriteStrings(section, entries)) return Refuse(install, "Setting.ini could not be written: " + path + ".");
        for (const ProfileEntry& entry : entries) Say(install, "wrote " + section + "/" + entry.key);
    }
    return ERROR_SUCCESS;
}

extern "C" __declspec(dllexport) UINT __stdcall InstallModem(MSIHANDLE install) {
    const std::vector<std::u16string> data = DeferredData(install);
    if (data.size() != 4) return ERROR_SUCCESS;
    const std::string folder = ExactAnsiFromUtf16(data[0]).value_or("");
    const std::string arguments = "/install /port " + ExactAnsiFromUtf16(data[1]).value_or("") + " /quiet";
    const ProgramRun run = RunVantaro(folder, arguments);
    const bool done = run.finished && run.exitCode == static_cast<DWORD>(ExitCode::Done);
    Say(install, RunText(arguments, run));
    if (done || data[2] != u"1") {
        if (!done) Say(install, "the modem is not installed; the package is, as REQUIREMODEM is not 1.");
        return ERROR_SUCCESS;
    }
    // The package's files go again. The program's log of the failed step is said here, and goes
    // with a folder that this install made; an earlier install's log stays.
    const std::string log = folder + "\\Vantaro.log";
    std::string lines;
    if (ReadWholeFile(log, lines) == WholeFileRead::Read) Say(install, L"Vantaro.log ends:\r\n" + LogTail(lines));
    if (data[3] == u"1") ::DeleteFileA(log.c_str());
    return Refuse(install, "REQUIREMODEM=1: the install is undone.");
}

extern "C" __declspec(dllexport) UINT __stdcall CheckRemoval(MSIHANDLE install) {
    ::MsiSetPropertyW(install, L"RemoveWhatVantaroMade", L"");
    const HANDLE takingOver = ::OpenMutexW(SYNCHRONIZE, FALSE, kTakingOverMutex);
    if (takingOver) ::CloseHandle(takingOver);
    if (!Property(install, L"UPGRADINGPRODUCTCODE").empty() || takingOver) {
        Say(install, "a newer Vantaro replaces this one: what Vantaro made in Windows stays for it");
        return ERROR_SUCCESS;
    }
    // Another user's Vantaro may hold a mutex this account may not open: it runs all the same.
    const HANDLE running = ::OpenMutexA(SYNCHRONIZE, FALSE, kRunningMutexName);
    if (IsVantaroRunning(running != nullptr, running ? 0 : ::GetLastError())) {
        if (running) ::CloseHandle(running);
        return Refuse(install, "Vantaro is running. Close it, then uninstall again. Nothing was removed.");
    }
    const std::optional<std::string> folder = ExactAnsiFromWide(Property(install, L"INSTALLDIR"));
    ::MsiSetPropertyW(install, L"RemoveWhatVantaroMade",
                      WideFromUtf16(PackTexts({Utf16FromAnsi(TrimmedFolder(folder.value_or("")))})).c_str());
    return ERROR_SUCCESS;
}

extern "C" __declspec(dllexport) UINT __stdcall RemoveWhatVantaroMade(MSIHANDLE install) {
    const std::vector<std::u16string> data = DeferredData(install);
    if (data.size() != 1) return ERROR_SUCCESS;
    const std::string folder = ExactAnsiFromUtf16(data[0]).value_or("");
    if (::GetFileAttributesA((folder + "\\Vantaro.exe").c_str()) == INVALID_FILE_ATTRIBUTES) return ERROR_SUCCESS;
    const std::string arguments = "/uninstall /quiet";
    const ProgramRun run = RunVantaro(folder, arguments);
    Say(install, RunText(arguments, run));
    if (!run.finished || run.exitCode != static_cast<DWORD>(ExitCode::Done)) {
        if (run.finished && run.exitCode == static_cast<DWORD>(ExitCode::NeedsAdministrator))
            return Refuse(install, "Windows refused to remove the modem for want of rights. Run the uninstall as an "
                                   "administrator. Nothing was removed.");
        if (run.finished && run.exitCode == static_cast<DWORD>(ExitCode::RestartNeeded))
            return Refuse(install, "Windows removes the modem only after a restart. Restart Windows, then uninstall "
                                   "Vantaro again.");
        return Refuse(install, "Vantaro could not remove the modem, the dial-up connection or the driver it installed "
                               "(Vantaro.log in " + folder + " says why). The program stays, so that you can try again.");
    }
    // The program's own log is not among the package's files.
    for (const char* log : {"Vantaro.log", "Vantaro.log.1"}) ::DeleteFileA((folder + "\\" + log).c_str());
    return ERROR_SUCCESS;
}
