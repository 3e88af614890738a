// The MSI package under Wine's own msiexec, silent, into the test prefix: an install with
// settings given as properties and its removal, an upgrade from a lower version, the modem step
// against the simulated phones, and the property values refused before anything is written.

#include "e2e/AboutSupport.h"
#include "e2e/SerialCommOverride.h"
#include "e2e/UiDriver.h"
#include "platform/ModemDevices.h"

#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace vantaro::e2e {
namespace {

constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

std::string Package(const char* variable) { return WindowsPath(std::getenv(variable) ? std::getenv(variable) : ""); }
std::string ThisPackage() { return Package("VANTARO_MSI"); }
std::string EarlierPackage() { return Package("VANTARO_EARLIER_MSI"); }

std::string ShellFolder(int folder) {
    char path[MAX_PATH] = {};
    return SUCCEEDED(::SHGetFolderPathA(nullptr, folder, nullptr, SHGFP_TYPE_CURRENT, path)) ? path : "";
}
std::string InstallFolder() { return ShellFolder(CSIDL_PROGRAM_FILES) + "\\Vantaro"; }
// Windows puts a per-machine package's shortcut among every user's programs; Wine's msiexec
// among the installing user's.
std::string StartMenuLink() {
    const std::string common = ShellFolder(CSIDL_COMMON_PROGRAMS) + "\\Vantaro.lnk";
    return FileExists(common) ? common : ShellFolder(CSIDL_PROGRAMS) + "\\Vantaro.lnk";
}

// The uninstall entries named Vantaro that Windows Installer wrote (their keys are product codes).
std::vector<std::string> PackageEntries() {
    std::vector<std::string> entries;
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS)
        return entries;
    char name[256];
    DWORD size = sizeof name;
    for (DWORD i = 0; ::RegEnumKeyExA(key, i, name, &size, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
         ++i, size = sizeof name) {
        const std::string entry = std::string(kUninstallKey) + "\\" + name;
        if (name[0] == '{' && MachineValue(entry, "DisplayName", KEY_WOW64_64KEY) == "Vantaro") entries.push_back(entry);
    }
    ::RegCloseKey(key);
    return entries;
}

struct MsiRun {
    DWORD exitCode = 0;
    DWORD milliseconds = 0;
    std::string log;
};

// msiexec with these arguments (UTF-8, so that any text reaches it), silent, with a verbose log.
MsiRun Msiexec(const std::string& arguments) {
    static int runs = 0;
    const std::string log = WorkFolder("msi") + "\\msiexec-" + std::to_string(++runs) + ".log";
    const std::string line = "msiexec.exe " + arguments + " /qn /l*v \"" + log + "\"";
    std::wstring wide(line.size() + 1, L'\0');
    wide.resize(::MultiByteToWideChar(CP_UTF8, 0, line.c_str(), -1, &wide[0], static_cast<int>(wide.size())) - 1);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    MsiRun run;
    const DWORD start = ::GetTickCount();
    if (!::CreateProcessW(nullptr, &wide[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        run.exitCode = ~0u;
        return run;
    }
    if (::WaitForSingleObject(info.hProcess, 120000) != WAIT_OBJECT_0) ::TerminateProcess(info.hProcess, ~0u);
    ::GetExitCodeProcess(info.hProcess, &run.exitCode);
    run.milliseconds = ::GetTickCount() - start;
    ::CloseHandle(info.hThread);
    ::CloseHandle(info.hProcess);
    run.log = ReadFile(log);
    return run;
}

std::string Replaced(std::string text, const std::string& line, const std::string& with) {
    const std::size_t at = text.find(line);
    return at == std::string::npos ? "(no line " + line + ")" : text.replace(at, line.size(), with);
}

class MsiTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(FileExists(ThisPackage()) && FileExists(EarlierPackage())) << "VANTARO_MSI names no package";
        RemoveEveryInstall();
    }
    void TearDown() override { RemoveEveryInstall(); }
    static void RemoveEveryInstall() {
        for (const std::string& package : {ThisPackage(), EarlierPackage()}) Msiexec("/x \"" + package + "\"");
        platformtest::RemoveAllModemsAndDriverKeys();
    }
};

TEST_F(MsiTest, SilentInstallWritesTheGivenSettingsAndSilentRemovalLeavesNothing) {
    // Wine's msiexec drops every double quote of a value (Windows reads "" as one): the host
    // table holds that case.
    const MsiRun install = Msiexec("/i \"" + ThisPackage() + "\" APN=\"a'b=c;d e\" LANGUAGE=en NUMBER=*99***1#");
    ASSERT_EQ(install.exitCode, 0u) << install.log;
    std::printf("silent MSI install: %lu ms\n", static_cast<unsigned long>(install.milliseconds));
    RecordProperty("silent_msi_install_ms", static_cast<int>(install.milliseconds));

    const std::string folder = InstallFolder();
    for (const char* file : {"Vantaro.exe", "modemnode.exe", "modem_inf.inf", "modem_inf64.inf"})
        EXPECT_EQ(ReadFile(folder + "\\" + file), ReadFile(DistFolder() + "\\" + file)) << file;
    std::string settings = ReadFile(DistFolder() + "\\Setting.ini");
    settings = Replaced(settings, "number=*99#\r\n", "number=*99***1#\r\n");
    settings = Replaced(settings, "apn=cmnet\r\n", "apn=a'b=c;d e\r\n");
    settings = Replaced(settings, "language=0\r\n", "language=1\r\n");
    EXPECT_EQ(ReadFile(folder + "\\Setting.ini"), settings) << "only the given keys change";
    EXPECT_EQ(ReadShortcut(StartMenuLink()).target, folder + "\\Vantaro.exe");

    const std::vector<std::string> entries = PackageEntries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(MachineValue(entries[0], "DisplayVersion", KEY_WOW64_64KEY), "1.1211.0");
    EXPECT_EQ(MachineValue(entries[0], "Publisher", KEY_WOW64_64KEY), "Vantaro");
    EXPECT_EQ(MachineValue(entries[0], "InstallLocation", KEY_WOW64_64KEY), folder + "\\");

    // While a Vantaro runs the removal stops and says why; then it goes through.
    {
        VantaroProcess running("msi_running");
        ASSERT_TRUE(running.Start());
        ASSERT_TRUE(running.WaitForSettingsDialog());
        const MsiRun refused = Msiexec("/x \"" + ThisPackage() + "\"");
        EXPECT_EQ(refused.exitCode, 1603u);
        EXPECT_NE(refused.log.find("Vantaro: Vantaro is running. Close it"), std::string::npos) << refused.log;
        EXPECT_TRUE(FileExists(folder + "\\Vantaro.exe"));
    }

    WriteFile(folder + "\\Vantaro.log", "the program's log");
    const MsiRun removal = Msiexec("/x \"" + ThisPackage() + "\"");
    EXPECT_EQ(removal.exitCode, 0u) << removal.log;
    EXPECT_NE(removal.log.find("Vantaro: Vantaro.exe /uninstall /quiet ended with 0: done"), std::string::npos);
    EXPECT_FALSE(FileExists(folder)) << "the install folder stays";
    EXPECT_FALSE(FileExists(StartMenuLink()));
    EXPECT_TRUE(PackageEntries().empty());
}

// A newer package replaces the earlier one in place: one entry, the settings kept and the given
// key written, and what Vantaro made in Windows left to the new program (the earlier package's
// removal does not run Vantaro.exe /uninstall, which would take the log with it). An older
// package is then refused.
TEST_F(MsiTest, AnUpgradeKeepsTheSettingsAndADowngradeIsRefused) {
    ASSERT_EQ(Msiexec("/i \"" + EarlierPackage() + "\" APN=earlier").exitCode, 0u);
    const std::string folder = InstallFolder();
    WriteFile(folder + "\\Vantaro.log", "the program's log");
    const std::string earlier = ReadFile(folder + "\\Setting.ini") + "; edited after the install\r\n";
    WriteFile(folder + "\\Setting.ini", earlier);

    const MsiRun upgrade = Msiexec("/i \"" + ThisPackage() + "\" NUMBER=123");
    ASSERT_EQ(upgrade.exitCode, 0u) << upgrade.log;
    EXPECT_EQ(ReadFile(folder + "\\Setting.ini"), Replaced(earlier, "number=*99#\r\n", "number=123\r\n"));
    EXPECT_TRUE(FileExists(folder + "\\Vantaro.log")) << "the earlier package ran Vantaro.exe /uninstall";
    const std::vector<std::string> entries = PackageEntries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(MachineValue(entries[0], "DisplayVersion", KEY_WOW64_64KEY), "1.1211.0");

    EXPECT_NE(Msiexec("/i \"" + EarlierPackage() + "\"").exitCode, 0u) << "a downgrade went through";
    EXPECT_EQ(MachineValue(PackageEntries().at(0), "DisplayVersion", KEY_WOW64_64KEY), "1.1211.0");
}

// The setup (NSIS) and the MSI package leave one install between them: the package takes over
// a setup's install with its settings; the setup refuses to touch a package's install.
TEST_F(MsiTest, ThePackageTakesOverASetupsInstallAndASetupLeavesThePackagesAlone) {
    const std::string setup = WindowsPath(std::getenv("VANTARO_SETUP") ? std::getenv("VANTARO_SETUP") : "");
    const std::string folder = InstallFolder();
    const std::string setupEntry = std::string(kUninstallKey) + "\\Vantaro";
    ASSERT_EQ(RunWithArguments(setup, "/S").exitCode, 0u);
    const std::string settings = ReadFile(folder + "\\Setting.ini") + "; edited after the setup\r\n";
    WriteFile(folder + "\\Setting.ini", settings);

    ASSERT_EQ(Msiexec("/i \"" + ThisPackage() + "\"").exitCode, 0u);
    EXPECT_EQ(ReadFile(folder + "\\Setting.ini"), settings);
    EXPECT_FALSE(FileExists(folder + "\\Uninstall.exe"));
    EXPECT_FALSE(MachineKeyExists(setupEntry, KEY_WOW64_64KEY)) << "two uninstall entries";
    EXPECT_EQ(FileExists(ShellFolder(CSIDL_COMMON_PROGRAMS) + "\\Vantaro.lnk") +
                  FileExists(ShellFolder(CSIDL_PROGRAMS) + "\\Vantaro.lnk"), 1) << "two Start-menu shortcuts";

    const ProgramRun refused = RunWithArguments(setup, "/S");
    EXPECT_NE(refused.exitCode, 0u);
    EXPECT_FALSE(MachineKeyExists(setupEntry, KEY_WOW64_64KEY));
    EXPECT_EQ(PackageEntries().size(), 1u);
}

// The simulated phones of this test's run (tests/e2e/CMakeLists.txt): a ready phone on COM71 and
// a silent port on COM72; COM73 is no port of this PC.
TEST_F(MsiTest, TheModemStepReportsVantarosExitCodeAndFailsThePackageOnlyWhenRequired) {
    SerialCommOverride ports;
    ports.SetPortName("\\Device\\Serial71", "COM71");
    ports.SetPortName("\\Device\\Serial72", "COM72");

    const MsiRun ready = Msiexec("/i \"" + ThisPackage() + "\" INSTALLMODEM=1 PORT=COM71");
    EXPECT_EQ(ready.exitCode, 0u) << ready.log;
    EXPECT_NE(ready.log.find("Vantaro: Vantaro.exe /install /port COM71 /quiet ended with 0: done"), std::string::npos)
        << ready.log;
    EXPECT_EQ(platformtest::ModemDevices().size(), 1u);
    // The removal runs Vantaro.exe /uninstall, which takes the modem away again.
    EXPECT_EQ(Msiexec("/x \"" + ThisPackage() + "\"").exitCode, 0u);
    EXPECT_TRUE(platformtest::ModemDevices().empty()) << "the modem stays after the package's removal";

    const MsiRun absent = Msiexec("/i \"" + ThisPackage() + "\" INSTALLMODEM=1 PORT=COM73");
    EXPECT_EQ(absent.exitCode, 0u) << absent.log;
    EXPECT_NE(absent.log.find("Vantaro: Vantaro.exe /install /port COM73 /quiet ended with 1: failed;"),
              std::string::npos) << absent.log;
    EXPECT_TRUE(FileExists(InstallFolder() + "\\Vantaro.exe"));
    RemoveEveryInstall();

    const MsiRun required = Msiexec("/i \"" + ThisPackage() + "\" INSTALLMODEM=1 REQUIREMODEM=1 PORT=COM73");
    EXPECT_EQ(required.exitCode, 1603u);
    EXPECT_NE(required.log.find("Vantaro: Vantaro.log ends:"), std::string::npos) << required.log;
    EXPECT_FALSE(FileExists(InstallFolder())) << "half installed";
    EXPECT_TRUE(PackageEntries().empty());
}

// Each fails the install before any file is written, with 1603 and a line that names it. The
// rules themselves are the host table's (DeploymentPropertiesTest); these reach them through
// msiexec, and through the code page of this Windows.
TEST_F(MsiTest, ValuesTheProgramWouldRefuseFailTheInstallBeforeAnyFileIsWritten) {
    const struct {
        std::string properties;
        const char* line;
    } cases[] = {
        {"APN=" + std::string(481, 'a'), "Vantaro: APN is 481 bytes long"},
        {"CONNECTION_NAME=\xF0\x9F\x93\xB6", "Vantaro: CONNECTION_NAME holds characters that this Windows' code page"},
        {"INSTALLMODEM=1", "Vantaro: INSTALLMODEM=1 needs PORT=COMn or PORT=auto."},
    };
    for (const auto& c : cases) {
        const MsiRun run = Msiexec("/i \"" + ThisPackage() + "\" " + c.properties);
        EXPECT_EQ(run.exitCode, 1603u) << c.properties.substr(0, 30);
        EXPECT_NE(run.log.find(c.line), std::string::npos) << c.line << " is not in the log:\n" << run.log;
        EXPECT_FALSE(FileExists(InstallFolder())) << c.properties.substr(0, 30) << " left files";
    }
}

} // namespace
} // namespace vantaro::e2e
