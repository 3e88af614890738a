// The custom actions of Vantaro's MSI packages, in a DLL that the package carries in its Binary
// table (it is not installed). wixl cannot express these steps with standard actions:
//
//   CheckInstall           immediate, before anything is written: refuses property values the
//                          program would refuse (1603, and a line in the MSI log saying why), and
//                          hands the values and an earlier install's settings to the steps below
//   WriteSettings          deferred, after the files, before the shortcut: takes over a setup's (NSIS) install, then
//                          writes the given keys into Setting.ini through the program's writer
//   InstallModem           deferred, last: Vantaro.exe /install /port <PORT> /quiet
//   CheckRemoval           immediate: refuses the removal while a Vantaro runs
//   RemoveWhatVantaroMade  deferred, before the files go: Vantaro.exe /uninstall /quiet
//
// Every line for the administrator goes to the MSI log, prefixed "Vantaro:".

#include "installer/msi/DeploymentProperties.h"
#include "platform/win32/ProcessRecords.h"
#include "platform/win32/UniqueHandle.h"
#include "settings/ProfileFile.h"
#include "settings/SettingsKeys.h"
#include "settings/win32/WholeFile.h"
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

// Held by every running Vantaro.exe (the setup's uninstaller looks for it too).
constexpr wchar_t kRunningMutex[] = L"Global\\VantaroRunning";
// Held, for the rest of its install, by a package that replaces an earlier one: the earlier
// package's removal then leaves what Vantaro made in Windows to the new program. Windows
// Installer says so with UPGRADINGPRODUCTCODE; Wine's msiexec does not pass that property.
constexpr wchar_t kTakingOverMutex[] = L"Global\\VantaroMsiTakingOver";
constexpr char kSetupUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vantaro";
// What a setup (NSIS) install holds in its folder.
const char* const kSetupFiles[] = {"Vantaro.exe",   "modemnode.exe", "pnpagent64.exe", "modem_inf.inf",
                                   "modem_inf64.inf", "Setting.ini",  "Vantaro.log",    "Vantaro.log.1",
                                   "Uninstall.exe"};
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

std::wstring Wide(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }
std::u16string Utf16(const std::wstring& text) { return std::u16string(text.begin(), text.end()); }

std::wstring WideFromAnsi(const std::string& text) {
    if (text.empty()) return {};
    const int length = ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0) ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0], length);
    return wide;
}

// The text in the system's ANSI code page, the one Setting.ini and the program speak; nothing
// when a character has no exact form there (no best-fit look-alike is taken).
std::optional<std::string> Ansi(const std::wstring& text) {
    if (text.empty()) return std::string();
    BOOL usedDefault = FALSE;
    const int length = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()),
                                             nullptr, 0, nullptr, &usedDefault);
    if (length <= 0 || usedDefault) return std::nullopt;
    std::string ansi(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()), &ansi[0], length,
                          nullptr, &usedDefault);
    if (usedDefault || WideFromAnsi(ansi) != text) return std::nullopt;
    return ansi;
}

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

// The Setting.ini of the install this one replaces: an earlier MSI's (its removal comes before
// this install's files), else a setup's; nothing when neither has one.
std::optional<std::string> EarlierSettings(MSIHANDLE install) {
    std::vector<std::string> folders;
    const std::wstring earlier = Property(install, L"EARLIERVANTARO");
    for (std::size_t at = 0; at < earlier.size();) {
        const std::size_t end = std::min(earlier.find(L';', at), earlier.size());
        const std::wstring product = earlier.substr(at, end - at);
        wchar_t location[MAX_PATH] = {};
        DWORD size = MAX_PATH;
        if (::MsiGetProductInfoW(product.c_str(), L"InstallLocation", location, &size) == ERROR_SUCCESS &&
            size > 0)
            if (std::optional<std::string> folder = Ansi(location)) folders.push_back(TrimmedFolder(*folder));
        at = end + 1;
    }
    if (std::optional<SetupInstall> setup = FindSetupInstall()) folders.push_back(setup->folder);
    for (const std::string& folder : folders) {
        std::string bytes;
        if (ReadWholeFile(folder + "\\" + settings::kFileName, bytes) == WholeFileRead::Read) return bytes;
    }
    return std::nullopt;
}

// A setup's install gives way: its files, its folder when that empties and its uninstall
// entry go; its settings came along through CheckInstall. What Vantaro made in Windows stays
// for this install's program.
void TakeOverSetupInstall(MSIHANDLE install, const std::string& installFolder) {
    const std::optional<SetupInstall> setup = FindSetupInstall();
    if (!setup) return;
    Say(install, "replacing the setup's install in " + setup->folder + " (its settings are kept)");
    const bool sameFolder = ::lstrcmpiA(setup->folder.c_str(), installFolder.c_str()) == 0;
    for (const char* file : kSetupFiles)
        if (!sameFolder || std::string(file) == "Uninstall.exe") ::DeleteFileA((setup->folder + "\\" + file).c_str());
    if (!sameFolder) ::RemoveDirectoryA(setup->folder.c_str());
    // The setup's Start-menu shortcut; the package makes its own after this step.
    char programs[MAX_PATH] = {};
    if (SUCCEEDED(::SHGetFolderPathA(nullptr, CSIDL_COMMON_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, programs)))
        ::DeleteFileA((std::string(programs) + "\\Vantaro.lnk").c_str());
    ::RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kSetupUninstallKey, setup->view, 0);
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

std::vector<std::u16string> DeferredData(MSIHANDLE install) {
    return UnpackTexts(Utf16(Property(install, L"CustomActionData"))).value_or(std::vector<std::u16string>{});
}

} // namespace
} // namespace vantaro::msi

using namespace vantaro;
using namespace vantaro::msi;

// Data for WriteSettings: the folder, the earlier settings in hex (or empty), then pairs of
// property name and value. For InstallModem: the folder, PORT, and "1" when REQUIREMODEM=1.
extern "C" __declspec(dllexport) UINT __stdcall CheckInstall(MSIHANDLE install) {
    const std::optional<std::string> folder = Ansi(Property(install, L"INSTALLDIR"));
    if (!folder) return Refuse(install, "the install folder's name has characters this Windows' code page lacks.");
    std::vector<std::u16string> settingsData = {Utf16(WideFromAnsi(TrimmedFolder(*folder)))};
    const std::optional<std::string> earlier = EarlierSettings(install);
    settingsData.push_back(earlier ? Utf16(WideFromAnsi(Hex(*earlier))) : u"");

    for (const SettingProperty& setting : SettingProperties()) {
        const std::wstring given = Property(install, setting.property);
        if (given.empty()) continue;
        const std::optional<std::string> value = Ansi(given);
        std::string why;
        if (!value)
            return Refuse(install, std::string(setting.property) +
                                       " holds characters that this Windows' code page, the one of Setting.ini, "
                                       "cannot store. Nothing was installed.");
        if (!StoredValue(setting, *value, why)) return Refuse(install, why + " Nothing was installed.");
        settingsData.push_back(Utf16(WideFromAnsi(setting.property)));
        settingsData.push_back(Utf16(given));
    }

    const std::wstring port = Property(install, kPortProperty);
    const std::optional<bool> installModem = Switch(Ansi(Property(install, kInstallModemProperty)).value_or("?"));
    const std::optional<bool> requireModem = Switch(Ansi(Property(install, kRequireModemProperty)).value_or("?"));
    if (!installModem || !requireModem) return Refuse(install, "INSTALLMODEM and REQUIREMODEM are 1 or 0. Nothing was installed.");
    std::string why;
    if (!port.empty() && !IsPortArgument(Ansi(port).value_or("?"), why)) return Refuse(install, why + " Nothing was installed.");
    if (*installModem && port.empty())
        return Refuse(install, "INSTALLMODEM=1 needs PORT=COMn or PORT=auto. Nothing was installed.");

    if (!Property(install, L"EARLIERVANTARO").empty()) {
        // Deliberately left open: this action's host keeps it until the install ends.
        ::CreateMutexW(nullptr, FALSE, kTakingOverMutex);
    }
    ::MsiSetPropertyW(install, L"WriteSettings", Wide(PackTexts(settingsData)).c_str());
    const std::vector<std::u16string> modemData = {settingsData[0], Utf16(port), *requireModem ? u"1" : u""};
    ::MsiSetPropertyW(install, L"InstallModem", *installModem ? Wide(PackTexts(modemData)).c_str() : L"");
    return ERROR_SUCCESS;
}

extern "C" __declspec(dllexport) UINT __stdcall WriteSettings(MSIHANDLE install) {
    const std::vector<std::u16string> data = DeferredData(install);
    if (data.size() < 2 || data.size() % 2) return Refuse(install, "WriteSettings got no data.");
    const std::string folder = Ansi(Wide(data[0])).value_or("");
    TakeOverSetupInstall(install, folder);
    const std::string path = folder + "\\" + settings::kFileName;
    if (!data[1].empty()) {
        const std::optional<std::string> earlier = FromHex(data[1]);
        if (!earlier || !ReplaceWholeFile(path, *earlier)) return Refuse(install, "the earlier settings could not be kept in " + path + ".");
        Say(install, "kept the settings of the earlier install");
    }

    std::map<std::string, std::vector<ProfileEntry>> sections;
    for (std::size_t i = 2; i < data.size(); i += 2) {
        const std::string property = Ansi(Wide(data[i])).value_or("");
        for (const SettingProperty& setting : SettingProperties()) {
            if (property != setting.property) continue;
            std::string why;
            const std::optional<std::string> value = StoredValue(setting, Ansi(Wide(data[i + 1])).value_or(""), why);
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
    if (data.size() != 3) return ERROR_SUCCESS;
    const std::string folder = Ansi(Wide(data[0])).value_or("");
    const std::string arguments = "/install /port " + Ansi(Wide(data[1])).value_or("") + " /quiet";
    const ProgramRun run = RunVantaro(folder, arguments);
    const bool done = run.finished && run.exitCode == 0;
    Say(install, RunText(arguments, run));
    if (done || data[2] != u"1") {
        if (!done) Say(install, "the modem is not installed; the package is, as REQUIREMODEM is not 1.");
        return ERROR_SUCCESS;
    }
    // The package's files go again; the program's log of the failed step, which would keep the
    // folder, is said here instead.
    const std::string log = folder + "\\Vantaro.log";
    std::string lines;
    if (ReadWholeFile(log, lines) == WholeFileRead::Read) {
        if (lines.size() > kLogTail) lines.erase(0, lines.size() - kLogTail);
        Say(install, "Vantaro.log ends:\r\n" + lines);
    }
    ::DeleteFileA(log.c_str());
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
    if (const HANDLE running = ::OpenMutexW(SYNCHRONIZE, FALSE, kRunningMutex)) {
        ::CloseHandle(running);
        return Refuse(install, "Vantaro is running. Close it, then uninstall again. Nothing was removed.");
    }
    const std::optional<std::string> folder = Ansi(Property(install, L"INSTALLDIR"));
    ::MsiSetPropertyW(install, L"RemoveWhatVantaroMade",
                      Wide(PackTexts({Utf16(WideFromAnsi(TrimmedFolder(folder.value_or(""))))})).c_str());
    return ERROR_SUCCESS;
}

extern "C" __declspec(dllexport) UINT __stdcall RemoveWhatVantaroMade(MSIHANDLE install) {
    const std::vector<std::u16string> data = DeferredData(install);
    if (data.size() != 1) return ERROR_SUCCESS;
    const std::string folder = Ansi(Wide(data[0])).value_or("");
    if (::GetFileAttributesA((folder + "\\Vantaro.exe").c_str()) == INVALID_FILE_ATTRIBUTES) return ERROR_SUCCESS;
    const std::string arguments = "/uninstall /quiet";
    const ProgramRun run = RunVantaro(folder, arguments);
    Say(install, RunText(arguments, run));
    if (!run.finished || run.exitCode != 0) {
        if (run.finished && run.exitCode == 4)
            return Refuse(install, "Windows refused to remove the modem for want of rights. Run the uninstall as an "
                                   "administrator. Nothing was removed.");
        if (run.finished && run.exitCode == 5)
            return Refuse(install, "Windows removes the modem only after a restart. Restart Windows, then uninstall "
                                   "Vantaro again.");
        return Refuse(install, "Vantaro could not remove the modem, the dial-up connection or the driver it installed "
                               "(Vantaro.log in " + folder + " says why). The program stays, so that you can try again.");
    }
    // The program's own log is not among the package's files.
    for (const char* log : {"Vantaro.log", "Vantaro.log.1"}) ::DeleteFileA((folder + "\\" + log).c_str());
    return ERROR_SUCCESS;
}
