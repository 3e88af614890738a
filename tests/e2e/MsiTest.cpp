// The MSI package under Wine's own msiexec, silent, into the test prefix: install and removal,
// an earlier install taken over, the modem step against the simulated phone, refused installs.

#include "e2e/AboutSupport.h"
#include "e2e/SerialCommOverride.h"
#include "e2e/UiDriver.h"
#include "platform/ModemDevices.h"
#include "platform/win32/CodePage.h"

#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace vantaro::e2e {
namespace {

constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
using Versions = std::vector<std::string>;

std::string Package(const char* variable) { return WindowsPath(std::getenv(variable) ? std::getenv(variable) : ""); }

std::string ShellFolder(int folder) {
    char path[MAX_PATH] = {};
    return SUCCEEDED(::SHGetFolderPathA(nullptr, folder, nullptr, SHGFP_TYPE_CURRENT, path)) ? path : "";
}
// A per-machine package's shortcut: among every user's programs on Windows, the user's in Wine.
std::string StartMenuLink() {
    const std::string common = ShellFolder(CSIDL_COMMON_PROGRAMS) + "\\Vantaro.lnk";
    return FileExists(common) ? common : ShellFolder(CSIDL_PROGRAMS) + "\\Vantaro.lnk";
}

// Where 64-bit Windows keeps the uninstall entries of this build's packages (the x86 MSI and
// setup in the 32-bit view, the x64 ones in the native view), and where it keeps the other kind's.
constexpr REGSAM kPackageView = sizeof(void*) == 8 ? KEY_WOW64_64KEY : KEY_WOW64_32KEY;
constexpr REGSAM kOtherKindsView = sizeof(void*) == 8 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;

// The versions of the uninstall entries named Vantaro that Windows Installer wrote in a view.
Versions PackageVersions(REGSAM view = kPackageView) {
    Versions versions;
    HKEY key = nullptr;
    ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ | view, &key);
    char name[256];
    for (DWORD i = 0; key && ::RegEnumKeyA(key, i, name, sizeof name) == ERROR_SUCCESS; ++i) {
        const std::string entry = std::string(kUninstallKey) + "\\" + name;
        if (name[0] == '{' && MachineValue(entry, "DisplayName", view) == "Vantaro")
            versions.push_back(MachineValue(entry, "DisplayVersion", view).value_or("none"));
    }
    if (key) ::RegCloseKey(key);
    return versions;
}

struct MsiRun {
    DWORD exitCode = ~0u;
    std::string log;
};

// msiexec /i or /x, silent, with a verbose log; in UTF-8, so that any text reaches it.
MsiRun Msiexec(const char* action, const std::string& package, const std::string& properties = "") {
    static int runs = 0;
    const std::string log = WorkFolder("msi") + "\\msiexec-" + std::to_string(++runs) + ".log";
    const std::string line =
        "msiexec.exe " + std::string(action) + " \"" + package + "\" " + properties + " /qn /l*v \"" + log + "\"";
    std::wstring wide = WideFromUtf8(line);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    MsiRun run;
    if (!::CreateProcessW(nullptr, &wide[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) return run;
    if (::WaitForSingleObject(info.hProcess, 120000) != WAIT_OBJECT_0) ::TerminateProcess(info.hProcess, ~0u);
    ::GetExitCodeProcess(info.hProcess, &run.exitCode);
    ::CloseHandle(info.hThread);
    ::CloseHandle(info.hProcess);
    run.log = ReadFile(log);
    return run;
}

void ExpectRun(const MsiRun& run, DWORD exitCode, const std::string& line) {
    EXPECT_EQ(run.exitCode, exitCode) << line;
    EXPECT_NE(run.log.find(line), std::string::npos) << line << " is not in the log:\n" << run.log;
}

class MsiTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(FileExists(this_) && FileExists(earlier_)) << "VANTARO_MSI names no package";
        RemoveEveryInstall();
    }
    void TearDown() override { RemoveEveryInstall(); }
    void RemoveEveryInstall() {
        for (const std::string& package : {this_, earlier_}) Msiexec("/x", package);
        platformtest::RemoveAllModemsAndDriverKeys();
    }
    const std::string this_ = Package("VANTARO_MSI"), earlier_ = Package("VANTARO_EARLIER_MSI");
    const std::string folder_ = ShellFolder(CSIDL_PROGRAM_FILES) + "\\Vantaro";
};

TEST_F(MsiTest, SilentInstallWritesTheGivenSettingsAndSilentRemovalLeavesNothing) {
    // No double quote: Wine's msiexec drops them (Windows reads "" as one); the host table has it.
    const DWORD start = ::GetTickCount();
    const MsiRun install = Msiexec("/i", this_, "USERNAME=\"a'b=c;d e\" APN=corp.example LANGUAGE=en NUMBER=*99***1#");
    ASSERT_EQ(install.exitCode, 0u) << install.log;
    std::printf("silent MSI install: %lu ms\n", static_cast<unsigned long>(::GetTickCount() - start));

    for (const char* file : {"Vantaro.exe", "modemnode.exe", "modem_inf.inf", "modem_inf64.inf"})
        EXPECT_EQ(ReadFile(folder_ + "\\" + file), ReadFile(DistFolder() + "\\" + file)) << file;
    std::string settings = ReadFile(DistFolder() + "\\Setting.ini");
    settings = Replaced(settings, "number=*99#\r\n", "number=*99***1#\r\n");
    settings = Replaced(settings, "username=\r\n", "username=a'b=c;d e\r\n");
    settings = Replaced(settings, "apn=cmnet\r\n", "apn=corp.example\r\n");
    settings = Replaced(settings, "language=0\r\n", "language=1\r\n");
    EXPECT_EQ(ReadFile(folder_ + "\\Setting.ini"), settings) << "only the given keys change";
    EXPECT_EQ(ReadShortcut(StartMenuLink()).target, folder_ + "\\Vantaro.exe");
    EXPECT_EQ(PackageVersions(), Versions{"1.1211.0"});
    EXPECT_TRUE(PackageVersions(kOtherKindsView).empty()) << "the entry is in the other kind's view";

    // While a Vantaro runs the removal stops and says why; then it goes through.
    {
        VantaroProcess running("msi_running");
        ASSERT_TRUE(running.Start() && running.WaitForSettingsDialog());
        ExpectRun(Msiexec("/x", this_), 1603, "Vantaro: Vantaro is running. Close it");
        EXPECT_TRUE(FileExists(folder_ + "\\Vantaro.exe"));
    }
    WriteFile(folder_ + "\\Vantaro.log", "the program's log");
    ExpectRun(Msiexec("/x", this_), 0, "Vantaro: Vantaro.exe /uninstall /quiet ended with 0: done");
    EXPECT_FALSE(FileExists(folder_)) << "the install folder stays";
    EXPECT_FALSE(FileExists(StartMenuLink()));
    EXPECT_TRUE(PackageVersions().empty());
}

// The package takes over an earlier package's or a setup's (NSIS) install in place: one entry and
// one shortcut, the settings as a person left them plus the given key, with this version's texts
// and the keys it brings, and what Vantaro made in Windows left to the new program (no
// Vantaro.exe /uninstall, which would take the log with it). A take-over that fails after the
// earlier install gave way leaves it as it was. The earlier package or the setup then refuses to
// go over the package's install.
TEST_F(MsiTest, ThePackageTakesOverAnEarlierInstallWhichThenStaysOut) {
    const auto [edited, earlierSettings] = EarlierVersionSettings(ReadFile(DistFolder() + "\\Setting.ini"));
    ASSERT_NE(earlierSettings.find("TEL=\xB5\xE7\r\n"), std::string::npos) << earlierSettings;

    for (const bool setup : {false, true}) {
        const auto installEarlier = [&] {
            return setup ? RunWithArguments(Package("VANTARO_SETUP"), "/S").exitCode : Msiexec("/i", earlier_).exitCode;
        };
        ASSERT_EQ(installEarlier(), 0u) << setup;
        WriteFile(folder_ + "\\Vantaro.log", "the program's log");
        WriteFile(folder_ + "\\Setting.ini", earlierSettings);
        const Versions before = PackageVersions();

        // The modem step fails at the end, and the earlier install is back whole.
        if (setup) {
            ExpectRun(Msiexec("/i", this_, "NUMBER=123 INSTALLMODEM=1 REQUIREMODEM=1 PORT=COM73"), 1603,
                      "Vantaro: the setup's install in " + folder_ + " is back as it was");
            EXPECT_EQ(ReadFile(folder_ + "\\Setting.ini"), earlierSettings);
            for (const char* file : {"Vantaro.exe", "modem_inf.inf", "Uninstall.exe", "Vantaro.log"})
                EXPECT_TRUE(FileExists(folder_ + "\\" + file)) << file;
            EXPECT_TRUE(FileExists(StartMenuLink()));
            EXPECT_TRUE(MachineKeyExists(std::string(kUninstallKey) + "\\Vantaro", kPackageView));
            EXPECT_EQ(PackageVersions(), before);
            EXPECT_FALSE(FileExists(folder_ + ".replaced-by-msi"));
        }

        const MsiRun upgrade = Msiexec("/i", this_, "NUMBER=123");
        ASSERT_EQ(upgrade.exitCode, 0u) << upgrade.log;
        EXPECT_EQ(ReadFile(folder_ + "\\Setting.ini"), Replaced(edited, "number=*99#\r\n", "number=123\r\n"));
        EXPECT_TRUE(FileExists(folder_ + "\\Vantaro.log")) << "the earlier removal ran Vantaro.exe /uninstall";
        EXPECT_FALSE(FileExists(folder_ + "\\Uninstall.exe"));
        EXPECT_FALSE(FileExists(folder_ + ".replaced-by-msi"));
        EXPECT_EQ(FileExists(ShellFolder(CSIDL_COMMON_PROGRAMS) + "\\Vantaro.lnk") +
                      FileExists(ShellFolder(CSIDL_PROGRAMS) + "\\Vantaro.lnk"), 1) << "two Start-menu shortcuts";

        EXPECT_NE(installEarlier(), 0u) << "the earlier installer went over the package's install";
        EXPECT_EQ(PackageVersions(), Versions{"1.1211.0"});
        EXPECT_FALSE(MachineKeyExists(std::string(kUninstallKey) + "\\Vantaro", kPackageView)) << "two entries";
        RemoveEveryInstall();
    }
}

// An earlier install in another folder (the other kind's Program Files, or one an administrator
// chose) goes whole once the package's install is done, the program's logs with it. (A folder
// outside Program Files gets its access set first; Wine keeps no access lists on files, so what
// it gets is seen on Windows only.)
TEST_F(MsiTest, AnEarlierInstallInAnotherFolderLeavesNoFolder) {
    const std::string other = "C:\\Vantaro earlier";
    for (const bool setup : {false, true}) {
        const MsiRun earlier = setup ? MsiRun{RunWithArguments(Package("VANTARO_SETUP"), "/S /D=" + other).exitCode, ""}
                                     : Msiexec("/i", earlier_, "INSTALLDIR=\"" + other + "\"");
        ASSERT_EQ(earlier.exitCode, 0u) << setup << earlier.log;
        WriteFile(other + "\\Vantaro.log", "the program's log");
        WriteFile(other + "\\Vantaro.log.1", "its older log");
        ASSERT_EQ(Msiexec("/i", this_).exitCode, 0u) << setup;
        EXPECT_FALSE(FileExists(other)) << setup;
        EXPECT_FALSE(FileExists(other + ".replaced-by-msi")) << setup;
        EXPECT_TRUE(FileExists(folder_ + "\\Vantaro.exe")) << setup;
        RemoveEveryInstall();
    }
}

// What an install with these properties ends with, says in the MSI log and leaves. Refused values
// (the rules are DeploymentPropertiesTest's) fail it before any file is written; a failed modem
// step only with REQUIREMODEM=1. The removal's Vantaro.exe /uninstall takes the modem away again.
// A ready phone on COM71 (tests/e2e/CMakeLists.txt); COM73 is no port of this PC.
TEST_F(MsiTest, EachInstallEndsAsItsPropertiesSay) {
    SerialCommOverride ports;
    ports.SetPortName("\\Device\\Serial71", "COM71");
    const struct {
        std::string properties;
        DWORD exitCode;
        const char* line;
        std::size_t modems;
    } cases[] = {
        {"INSTALLMODEM=1 PORT=COM71", 0, "Vantaro.exe /install /port COM71 /quiet ended with 0: done", 1},
        {"INSTALLMODEM=1 PORT=COM73", 0, "Vantaro.exe /install /port COM73 /quiet ended with 1: failed;", 0},
        {"INSTALLMODEM=1 REQUIREMODEM=1 PORT=COM73", 1603, "Vantaro.log ends:", 0},
        {"CONNECTION_NAME=\xF0\x9F\x93\xB6", 1603, "CONNECTION_NAME holds characters that this Windows' code page", 0},
        {"INSTALLMODEM=1", 1603, "INSTALLMODEM=1 needs PORT=COMn or PORT=auto.", 0},
        // The modem's init string would end the APN at the ';' and run what follows at each dial.
        {"APN=cmnet;+CFUN=0", 1603, "APN holds characters that no APN has", 0},
    };
    for (const auto& c : cases) {
        const MsiRun run = Msiexec("/i", this_, c.properties);
        ExpectRun(run, c.exitCode, std::string("Vantaro: ") + c.line);
        // The program's log is UTF-8: its copy starts with the first line's date, no mark.
        const std::size_t tail = run.log.find("Vantaro.log ends:\r\n");
        if (tail != std::string::npos) {
            EXPECT_EQ(run.log.substr(tail + 19, 2), "20") << run.log.substr(tail, 40);
        }
        EXPECT_EQ(FileExists(folder_), c.exitCode == 0) << c.line;
        EXPECT_EQ(PackageVersions().size(), c.exitCode == 0 ? 1u : 0u) << c.line;
        EXPECT_EQ(platformtest::ModemDevices().size(), c.modems) << c.line;
        Msiexec("/x", this_);
        EXPECT_TRUE(platformtest::ModemDevices().empty()) << "the modem stays after the package's removal";
    }
}

} // namespace
} // namespace vantaro::e2e
