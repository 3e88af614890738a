// The Windows setup program, silent, into the test prefix: what it installs, that the installed
// program runs, that a second setup keeps the settings, and that its uninstaller first removes
// what Vantaro put into Windows and then leaves nothing of ours behind.

#include "app/Shortcut.h"
#include "e2e/AboutSupport.h"
#include "e2e/UiDriver.h"
#include "platform/ModemDevices.h"
#include "rasdouble/RasDoubleControl.h"

#include <newdev.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <utility>

namespace vantaro::e2e {
namespace {


constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vantaro";
constexpr char kVersion[] = "1.1211.0";
const char* const kInstalledFiles[] = {"Vantaro.exe", "Setting.ini", "modemnode.exe", "modem_inf.inf", "modem_inf64.inf",
                                       "Uninstall.exe"};
// Only the 32-bit program needs the 64-bit helper.
constexpr bool kShipsHelper = sizeof(void*) == 4;
// The other kind's setup keeps its uninstall entry in the other registry view.
constexpr REGSAM kOtherKindsView = sizeof(void*) == 4 ? KEY_WOW64_64KEY : KEY_WOW64_32KEY;

std::string SetupProgram() { return WindowsPath(std::getenv("VANTARO_SETUP") ? std::getenv("VANTARO_SETUP") : ""); }

std::string ShellFolder(int folder) {
    char path[MAX_PATH] = {};
    return SUCCEEDED(::SHGetFolderPathA(nullptr, folder, nullptr, SHGFP_TYPE_CURRENT, path)) ? path : "";
}
std::string ProgramFilesFolder() { return ShellFolder(CSIDL_PROGRAM_FILES) + "\\Vantaro"; }
std::string StartMenuLink() { return ShellFolder(CSIDL_COMMON_PROGRAMS) + "\\Vantaro.lnk"; }

// The value of the uninstall entry, as text; nothing when the entry or the value is missing.
std::optional<std::string> EntryValue(const char* name, REGSAM view = 0) { return MachineValue(kUninstallKey, name, view); }

bool EntryExists() { return EntryValue("DisplayName").has_value(); }

// Runs the setup with these switches; the time it took in milliseconds.
DWORD RunSetup(const std::string& switches) {
    const std::string setup = SetupProgram();
    const DWORD start = ::GetTickCount();
    const ProgramRun run = RunWithArguments(setup, switches);
    const DWORD elapsed = ::GetTickCount() - start;
    EXPECT_TRUE(run.finished) << setup;
    EXPECT_EQ(run.exitCode, 0u);
    return elapsed;
}

// The uninstaller hands over to a copy of itself and returns at once; the copy's work is done
// when the folder, the entry and the shortcut are gone.
bool UninstallAndWait(const std::string& folder) {
    const std::optional<std::string> quiet = EntryValue("QuietUninstallString");
    if (!quiet) return false;
    const std::string program = quiet->substr(1, quiet->find('"', 1) - 1);
    RunProgram(program, *quiet, kDefaultWait);
    return WaitUntil([&] { return !FileExists(folder) && !EntryExists() && !FileExists(StartMenuLink()); });
}

// Starts the installed program as the Start menu does and waits for its Settings dialog; while
// it shows, `meanwhile` runs. The program is ended again.
template <typename Meanwhile = void (*)()>
bool ShowsItsDialog(const std::string& folder, Meanwhile meanwhile = [] {}) {
    VantaroProcess installed(VantaroProcess::Installed{folder});
    if (!installed.Start() || !installed.WaitForSettingsDialog()) return false;
    meanwhile();
    return true;
}

// Uninstalls what a test installed; an uninstaller that refused (and so kept the program, as it
// must) leaves nothing for the next test either.
void ForgetEveryInstall() {
    if (EntryExists()) UninstallAndWait(EntryValue("InstallLocation").value_or(""));
    for (REGSAM view : {REGSAM{0}, kOtherKindsView}) ::RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, view, 0);
    std::string folder = ProgramFilesFolder() + std::string(2, '\0');
    SHFILEOPSTRUCTA removal{};
    removal.wFunc = FO_DELETE;
    removal.pFrom = folder.c_str();
    removal.fFlags = FOF_NO_UI;
    ::SHFileOperationA(&removal);
    ::DeleteFileA(StartMenuLink().c_str());
}

class SetupTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::CoInitialize(nullptr);
        ASSERT_TRUE(FileExists(SetupProgram())) << "VANTARO_SETUP names no setup program";
        ForgetEveryInstall();
        platformtest::RemoveAllModemsAndDriverKeys();
    }
    void TearDown() override {
        ForgetEveryInstall();
        platformtest::RemoveAllModemsAndDriverKeys();
        ::CoUninitialize();
    }
};

TEST_F(SetupTest, SilentSetupInstallsTheFilesTheShortcutAndTheUninstallEntry) {
    const DWORD elapsed = RunSetup("/S");
    std::printf("silent setup: %lu ms\n", static_cast<unsigned long>(elapsed));
    RecordProperty("silent_setup_ms", static_cast<int>(elapsed));

    const std::string folder = ProgramFilesFolder();
    for (const char* file : kInstalledFiles) EXPECT_TRUE(FileExists(folder + "\\" + file)) << file;
    EXPECT_EQ(FileExists(folder + "\\pnpagent64.exe"), kShipsHelper);
    EXPECT_EQ(ReadFile(folder + "\\Vantaro.exe"), ReadFile(DistFolder() + "\\Vantaro.exe"));

    const SavedShortcut link = ReadShortcut(StartMenuLink());
    ASSERT_TRUE(link.read) << StartMenuLink();
    EXPECT_EQ(link.target, folder + "\\Vantaro.exe");
    const std::string linkBytes = ReadFile(StartMenuLink());
    ASSERT_GT(linkBytes.size(), 0x15u);
    EXPECT_TRUE(linkBytes[0x15] & 0x20) << "the shortcut asks for administrator rights";

    const struct {
        const char* name;
        std::string value;
    } values[] = {
        {"DisplayName", "Vantaro"},
        {"DisplayVersion", kVersion},
        {"Publisher", "Vantaro"},
        {"DisplayIcon", folder + "\\Vantaro.exe,0"},
        {"InstallLocation", folder},
        {"UninstallString", "\"" + folder + "\\Uninstall.exe\""},
        {"QuietUninstallString", "\"" + folder + "\\Uninstall.exe\" /S"},
    };
    for (const auto& value : values) EXPECT_EQ(EntryValue(value.name), value.value) << value.name;
    // In KB: the files above come to about a megabyte.
    const int size = std::atoi(EntryValue("EstimatedSize").value_or("0").c_str());
    EXPECT_GT(size, 500);
    EXPECT_LT(size, 5000);
}

TEST_F(SetupTest, TheInstalledProgramStartsAndShowsItsDialog) {
    RunSetup("/S");
    const std::string program = ProgramFilesFolder() + "\\Vantaro.exe";
    const ProgramRun usage = RunWithArguments(program, "/?");
    EXPECT_EQ(usage.exitCode, 0u);
    EXPECT_EQ(usage.output.rfind("Usage: Vantaro.exe", 0), 0u) << usage.output;

    EXPECT_TRUE(ShowsItsDialog(ProgramFilesFolder())) << "no Settings dialog from the installed program";
}

// A setup over an earlier install keeps its settings, with this version's texts and new keys:
// over the other kind (32- or 64-bit), which gives way so that a PC keeps one Vantaro, one
// uninstall entry and one Start-menu shortcut, and over its own kind, in a folder of the user's
// choice.
TEST_F(SetupTest, ASetupOverAnEarlierInstallKeepsItsSettings) {
    const auto [edited, earlier] = EarlierVersionSettings(ReadFile(DistFolder() + "\\Setting.ini"));
    const std::string other = WorkFolder("setup_other_kind\\Vantaro");
    for (const char* file : {"Vantaro.exe", "modemnode.exe", "pnpagent64.exe", "Uninstall.exe", "Vantaro.log"})
        WriteFile(other + "\\" + file, "the other kind's");
    WriteFile(other + "\\Setting.ini", earlier);
    ASSERT_TRUE(WriteMachineValues(kUninstallKey, kOtherKindsView,
                                   {{"DisplayName", std::string("Vantaro")}, {"InstallLocation", other}}));

    const std::string folder = WorkFolder("setup_chosen_folder") + "\\Vantaro";
    RunSetup("/S /D=" + folder);
    EXPECT_EQ(ReadFile(folder + "\\Setting.ini"), edited);
    EXPECT_FALSE(FileExists(other)) << "the other kind's folder stays";
    EXPECT_FALSE(EntryValue("DisplayName", kOtherKindsView)) << "two uninstall entries";
    EXPECT_EQ(EntryValue("InstallLocation"), folder);
    EXPECT_EQ(ReadShortcut(StartMenuLink()).target, folder + "\\Vantaro.exe");

    WriteFile(folder + "\\Setting.ini", earlier);
    RunSetup("/S /D=" + folder);
    EXPECT_EQ(ReadFile(folder + "\\Setting.ini"), edited);
    ASSERT_TRUE(UninstallAndWait(folder));
}

// The uninstaller removes what Vantaro put into Windows, then the program. While a Vantaro runs,
// and while Vantaro.exe /uninstall cannot remove what Vantaro made (here: an install record that
// another program wrote), it keeps everything and says why; then it can be run again.
TEST_F(SetupTest, TheUninstallerRemovesWhatVantaroMadeOrKeepsTheProgramUntilItCan) {
    rasdouble::Installation ras("setup_uninstall");
    ASSERT_TRUE(ras.Installed()) << ras.Error();
    ras.Set("Phonebook", "GPRS Connection", "modem/ZOR GPRS Modem");
    // An older install's modem: the sample driver on a device of its hardware id.
    ASSERT_TRUE(platformtest::CreateBareModemDevice(platformtest::kModemHardwareId));
    const std::string inf = DistFolder() + "\\modem_inf.inf";
    ASSERT_TRUE(::UpdateDriverForPlugAndPlayDevicesA(nullptr, platformtest::kModemHardwareId, inf.c_str(),
                                                     INSTALLFLAG_FORCE, nullptr));
    const std::string desktopLink = WineDesktopFolder() + "\\HARBELLE.lnk";
    ASSERT_TRUE(CreateShortcut("C:\\KR_WSN.log", true));

    RunSetup("/S");
    const std::string folder = ProgramFilesFolder();
    const std::string uninstaller = folder + "\\Uninstall.exe";
    // In place (_?=): the uninstaller's exit code is its own, and it keeps itself.
    const auto refused = [&] {
        const DWORD code = RunWithArguments(uninstaller, "/S _?=" + folder).exitCode;
        return code != 0 && FileExists(folder + "\\Vantaro.exe") && EntryExists() &&
               platformtest::ModemDevices().size() == 1;
    };
    ASSERT_TRUE(ShowsItsDialog(folder, [&] { EXPECT_TRUE(refused()) << "removed while Vantaro runs"; }));
    ASSERT_TRUE(WriteMachineValues("Software\\Vantaro", KEY_WOW64_64KEY, {{"Owner", std::string("another")}}));
    EXPECT_TRUE(refused()) << "removed while Vantaro.exe /uninstall failed";
    ::RegDeleteKeyExA(HKEY_LOCAL_MACHINE, "Software\\Vantaro", KEY_WOW64_64KEY, 0);

    // What the installed program writes beside itself goes too.
    WriteFile(folder + "\\Vantaro.log.1", "an older log");
    ASSERT_TRUE(UninstallAndWait(folder)) << "folder, uninstall entry or Start-menu shortcut left behind";
    EXPECT_TRUE(platformtest::ModemDevices().empty()) << "the uninstaller did not run Vantaro.exe /uninstall";
    EXPECT_EQ(ras.LogLinesStartingWith("RasDeleteEntryA phonebook=<none> entry=GPRS Connection").size(), 1u);
    EXPECT_FALSE(FileExists(desktopLink));
}

} // namespace
} // namespace vantaro::e2e
