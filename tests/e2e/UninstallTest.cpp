// /uninstall on the real program: what an install made goes, and only that. Modems are real
// devices of Wine's SetupAPI; the phone book is the rasapi32.dll double's.

#include "workflow/RunningMutex.h"
#include "app/Shortcut.h"
#include "e2e/AboutSupport.h"
#include "e2e/SerialCommOverride.h"
#include "e2e/UiDriver.h"
#include "platform/ModemDevices.h"
#include "platform/win32/UniqueHandle.h"
#include "rasdouble/RasDoubleControl.h"

#include <aclapi.h>
#include <sddl.h>
#include <newdev.h>
#include <objbase.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace vantaro::e2e {
namespace {

using platformtest::kModemHardwareId;

constexpr char kOtherHardwareId[] = "USB\\VID_9999&PID_0009&MI_00";
constexpr char kAboutTarget[] = "C:\\KR_WSN.log";
constexpr char kOurEntry[] = "GPRS Connection";
constexpr char kOtherEntry[] = "Office Line";
// An entry as the install makes it: on the modem of our driver.
constexpr char kOnOurModem[] = "modem/ZOR GPRS Modem";
constexpr char kRecordKey[] = "Software\\Vantaro";

ProgramRun Uninstall(const VantaroProcess& vantaro) {
    const std::string program = vantaro.Folder() + "\\Vantaro.exe";
    return RunWithArguments(program, "/uninstall /quiet");
}

std::string FirstDriverKey() { return std::string(platformtest::kModemClassKey) + "\\0000"; }

// The install record is read and written as Vantaro does: in the 64-bit view.
bool KeyExists(const std::string& path) { return MachineKeyExists(path, KEY_WOW64_64KEY); }

std::string RecordValue(const char* name) { return MachineValue(kRecordKey, name, KEY_WOW64_64KEY).value_or(""); }

void WriteRecord(const std::vector<std::pair<const char*, std::string>>& values) {
    std::vector<std::pair<const char*, std::variant<std::string, std::uint32_t>>> record{
        {"RecordVersion", 1u}, {"DeviceCount", 1u}, {"DialupEntryCount", 1u}};
    record.insert(record.end(), values.begin(), values.end());
    ASSERT_TRUE(WriteMachineValues(kRecordKey, KEY_WOW64_64KEY, record));
}

std::vector<std::string> HardwareIdsOfModems() {
    std::vector<std::string> ids;
    for (const platformtest::ModemDevice& modem : platformtest::ModemDevices())
        ids.push_back(modem.hardwareIds.substr(0, modem.hardwareIds.find('\0')));
    return ids;
}

bool InPhonebook(const rasdouble::Installation& ras, const char* entry) {
    char value[16] = {};
    ::GetPrivateProfileStringA("Phonebook", entry, "", value, sizeof value, ras.ScriptPath().c_str());
    return value[0] != '\0';
}

// An object's access list in the security descriptor language ("D:(A;;0x100000;;;WD)...").
std::string AccessList(HANDLE object) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    char* text = nullptr;
    if (::GetSecurityInfo(object, SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, nullptr, nullptr,
                          &descriptor) != ERROR_SUCCESS ||
        !::ConvertSecurityDescriptorToStringSecurityDescriptorA(descriptor, SDDL_REVISION_1, DACL_SECURITY_INFORMATION,
                                                                &text, nullptr))
        return "none";
    const std::string list = text;
    ::LocalFree(text);
    ::LocalFree(descriptor);
    return list;
}

class UninstallTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The shell links are saved on this thread.
        ::CoInitialize(nullptr);
        RemoveWhatARunLeaves();
    }
    void TearDown() override {
        RemoveWhatARunLeaves();
        ::CoUninitialize();
    }
    void RemoveWhatARunLeaves() {
        platformtest::RemoveAllModemsAndDriverKeys();
        ::RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kRecordKey, KEY_WOW64_64KEY, 0);
        ::DeleteFileA(shortcut.c_str());
        ::DeleteFileA(keptShortcut.c_str());
    }

    // What an older install leaves: a modem of our hardware id with the sample driver and its
    // driver key, a bare one (an earlier install cut short: no driver of ours, so it stays), and
    // one of another maker that stays.
    void MakeModems() {
        ASSERT_TRUE(platformtest::CreateBareModemDevice(kModemHardwareId));
        const std::string inf = DistFolder() + "\\modem_inf.inf";
        ASSERT_TRUE(::UpdateDriverForPlugAndPlayDevicesA(nullptr, kModemHardwareId, inf.c_str(), INSTALLFLAG_FORCE,
                                                         nullptr))
            << ::GetLastError();
        ASSERT_TRUE(platformtest::CreateBareModemDevice(kModemHardwareId));
        ASSERT_TRUE(platformtest::CreateBareModemDevice(kOtherHardwareId));
        ASSERT_TRUE(KeyExists(FirstDriverKey()));
    }

    const std::string shortcut = WineDesktopFolder() + "\\HARBELLE.lnk";
    const std::string keptShortcut = WineDesktopFolder() + "\\KEPT.lnk";
};

TEST_F(UninstallTest, RemovesOurModemsEntryAndShortcutAndNothingElseThenFindsNothing) {
    rasdouble::Installation ras("uninstall_removes");
    ASSERT_TRUE(ras.Installed()) << ras.Error();
    ras.Set("Phonebook", kOurEntry, kOnOurModem);
    ras.Set("Phonebook", kOtherEntry, kOnOurModem);
    MakeModems();
    ASSERT_TRUE(CreateShortcut(kAboutTarget, true));
    ASSERT_TRUE(SaveShellLink(keptShortcut, kAboutTarget));
    ASSERT_TRUE(FileExists(shortcut));

    VantaroProcess vantaro("uninstall_removes");
    ProgramRun run = Uninstall(vantaro);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    EXPECT_EQ(run.output, "Removed the dial-up entry \"GPRS Connection\".\r\n"
                          "Removed the modem ROOT\\MODEM\\0000.\r\n"
                          "Removed the desktop shortcut.\r\n");
    const std::vector<std::string> left{kModemHardwareId, kOtherHardwareId};
    EXPECT_EQ(HardwareIdsOfModems(), left);
    EXPECT_FALSE(KeyExists(FirstDriverKey())) << "the driver key goes with its modem";
    EXPECT_FALSE(InPhonebook(ras, kOurEntry));
    EXPECT_TRUE(InPhonebook(ras, kOtherEntry));
    EXPECT_FALSE(FileExists(shortcut));
    EXPECT_TRUE(FileExists(keptShortcut));
    const std::string log = ReadFile(vantaro.Folder() + "\\Vantaro.log");
    for (const char* step : {"\tuninstall.record\tnot found\t0\tnone: an older install\r\n",
                             "\tuninstall.entry\tdone\t0\tGPRS Connection\r\n",
                             "\tmodem.remove\tdone\t0\tROOT\\MODEM\\0000\r\n", "\tuninstall.shortcut\tdone\t0\t\r\n",
                             "\tcommand.line\tdone\t0\texit code 0\r\n"})
        EXPECT_NE(log.find(step), std::string::npos) << step << "\n" << log;

    run = Uninstall(vantaro);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(run.output, "Nothing to remove: no modem of Vantaro's, no dial-up entry \"GPRS Connection\" through "
                          "one, no desktop shortcut.\r\n");
    EXPECT_EQ(HardwareIdsOfModems(), left);
    EXPECT_EQ(ras.LogLinesStartingWith("RasDeleteEntryA").size(), 1u) << "nothing was there to delete";
}

TEST_F(UninstallTest, ARefusalForRightsEndsWithFourAndTheNextRunFinishes) {
    rasdouble::Installation ras("uninstall_refused");
    ASSERT_TRUE(ras.Installed()) << ras.Error();
    ras.Set("Phonebook", kOurEntry, kOnOurModem);
    ras.Set("Entry", "delete_result", "5");
    MakeModems();
    // The record keeps the entry for the next run, when the modem it dials through is gone.
    WriteRecord({{"Device1", "ROOT\\MODEM\\0000"}, {"DialupEntry1", kOurEntry}});

    VantaroProcess vantaro("uninstall_refused");
    ProgramRun run = Uninstall(vantaro);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 4u) << run.output;
    EXPECT_EQ(run.output.rfind("Could not remove the dial-up entry \"GPRS Connection\" (error 5).\r\n", 0), 0u)
        << run.output;
    EXPECT_NE(run.output.find("run Vantaro as administrator."), std::string::npos) << run.output;
    EXPECT_EQ(HardwareIdsOfModems(), (std::vector<std::string>{kModemHardwareId, kOtherHardwareId}))
        << "the other steps still ran";
    EXPECT_TRUE(KeyExists(kRecordKey)) << "the record stays until everything it names is gone";

    ras.Set("Entry", "delete_result", "0");
    run = Uninstall(vantaro);
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    EXPECT_EQ(run.output, "Removed the dial-up entry \"GPRS Connection\".\r\n");
    EXPECT_FALSE(InPhonebook(ras, kOurEntry));
    EXPECT_FALSE(KeyExists(kRecordKey));
}

TEST_F(UninstallTest, RunsWhileAnotherVantaroShowsItsDialog) {
    MakeModems();
    VantaroProcess dialog("uninstall_dialog_open");
    ASSERT_TRUE(dialog.Start());
    ASSERT_NE(dialog.WaitForSettingsDialog(), nullptr);

    // Any user may wait on the running Vantaro's mutex, so that another user's uninstall sees it.
    const UniqueKernelHandle mutex(::OpenMutexA(SYNCHRONIZE | READ_CONTROL, FALSE, kRunningMutexName));
    ASSERT_TRUE(mutex) << ::GetLastError();
    EXPECT_NE(AccessList(mutex.get()).find("(A;;0x100000;;;WD)"), std::string::npos) << "everyone may wait on it";

    VantaroProcess vantaro("uninstall_beside_dialog");
    const ProgramRun run = Uninstall(vantaro);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    EXPECT_EQ(HardwareIdsOfModems(), (std::vector<std::string>{kModemHardwareId, kOtherHardwareId}));
    EXPECT_TRUE(dialog.Running());
}

TEST_F(UninstallTest, AShortcutOfThatNameThatPointsElsewhereStays) {
    ASSERT_TRUE(SaveShellLink(shortcut, "C:\\users\\Public\\notes.txt"));
    VantaroProcess vantaro("uninstall_foreign_shortcut");
    const ProgramRun run = Uninstall(vantaro);
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    EXPECT_TRUE(FileExists(shortcut));
}

TEST_F(UninstallTest, WithoutSettingsNothingIsRemovedAndTheRunFails) {
    MakeModems();
    VantaroProcess vantaro("uninstall_no_settings");
    vantaro.RemoveSettings();
    // Another program's Setting.ini on PATH, naming our modems, counts for nothing.
    const std::string elsewhere = WorkFolder("uninstall_no_settings_elsewhere");
    WriteFile(elsewhere + "\\Setting.ini", std::string("[BaseSetting]\r\nhardwareid_in_inf=") + kModemHardwareId + "\r\n");
    char path[32768] = {};
    ::GetEnvironmentVariableA("PATH", path, sizeof path);
    ::SetEnvironmentVariableA("PATH", (elsewhere + ";" + path).c_str());
    const ProgramRun run = Uninstall(vantaro);
    ::SetEnvironmentVariableA("PATH", path);
    EXPECT_EQ(run.exitCode, 1u);
    EXPECT_EQ(run.output, "Setting.ini was not found beside Vantaro.exe: nothing was removed.\r\n");
    EXPECT_EQ(HardwareIdsOfModems().size(), 3u);
}

TEST_F(UninstallTest, TheStoredPasswordNeverReachesTheLog) {
    VantaroProcess vantaro("uninstall_secret");
    vantaro.WriteSettings(std::string("[BaseSetting]\r\nhardwareid_in_inf=") + kModemHardwareId +
                          "\r\n[Setting]\r\npassword=Pa55word\r\nconnection_name=Pa55word line\r\n");
    const ProgramRun run = Uninstall(vantaro);
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    const std::string log = ReadFile(vantaro.Folder() + "\\Vantaro.log");
    EXPECT_EQ(log.find("Pa55word"), std::string::npos) << log;
    EXPECT_NE(log.find("\tuninstall.entry\tnot found\t0\t******** line\r\n"), std::string::npos) << log;
}

// An install from the command line, then its uninstall, which removes what the record names and
// nothing else: not an entry of our name that was there first (the install kept it and did not
// record it), nor the package under the record's oemNN.inf when the driver store has given that
// freed number to another maker's package by then.
TEST_F(UninstallTest, AnInstallIsRecordedAndItsUninstallRemovesExactlyThat) {
    std::string inf(MAX_PATH, '\0');
    inf.resize(::GetWindowsDirectoryA(inf.data(), MAX_PATH));
    inf += "\\inf\\";
    const std::string theirs = "[Version]\r\nSignature=\"$Windows NT$\"\r\nClass=Modem\r\n"
                               "ClassGuid={4D36E96D-E325-11CE-BFC1-08002BE10318}\r\nProvider=Acme\r\n"
                               "[Manufacturer]\r\nAcme=Acme,NTamd64\r\n[Acme.NTamd64]\r\n"
                               "\"Acme 56K\"=Acme56k,PCI\\VEN_1234&DEV_0056\r\n";
    const struct {
        const char* name;
        const char* entryBefore;  // on another modem, or none
        bool packageTakenOver;
    } rows[] = {{"uninstall_recorded", nullptr, false},
                {"uninstall_entry_before", "modem/Their Modem", false},
                {"uninstall_other_package", nullptr, true}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        RemoveWhatARunLeaves();
        rasdouble::Installation ras(row.name);
        ASSERT_TRUE(ras.Installed()) << ras.Error();
        if (row.entryBefore) ras.Set("Phonebook", kOurEntry, row.entryBefore);
        SerialCommOverride ports;
        ports.SetPortName("\\Device\\Serial71", "COM71");
        VantaroProcess vantaro(row.name);
        ProgramRun run = RunWithArguments(vantaro.Folder() + "\\Vantaro.exe", "/install /port COM71 /quiet");
        ASSERT_EQ(run.exitCode, 0u) << run.output;
        EXPECT_EQ(RecordValue("RecordVersion"), "1");
        const std::string device = RecordValue("Device1");
        EXPECT_EQ(device.rfind("ROOT\\MODEM\\", 0), 0u) << device;
        EXPECT_EQ(RecordValue("DialupEntry1"), row.entryBefore ? "" : kOurEntry);
        EXPECT_EQ(ras.LogLinesStartingWith("RasSetEntryPropertiesA").empty(), row.entryBefore != nullptr)
            << "ours is written, the one that was there before never";
        const std::string kept = "\tinstall.entry\tdone\t0\tGPRS Connection: kept the entry that was there before";
        EXPECT_EQ(ReadFile(vantaro.Folder() + "\\Vantaro.log").find(kept) != std::string::npos, row.entryBefore != nullptr);
        // Wine keeps an INF's own name where Windows names its copy oemNN.inf, and takes a copy
        // already in its folder with the same contents (an earlier test's) for the new one.
        const std::string package = RecordValue("DriverPackage1");
        EXPECT_THAT(package, ::testing::AnyOf("modem_inf.inf", "modem_inf64.inf"));
        if (row.packageTakenOver) {
            WriteFile(inf + "oem77.inf", theirs);
            ASSERT_TRUE(WriteMachineValues(kRecordKey, KEY_WOW64_64KEY, {{"DriverPackage1", "oem77.inf"}}));
        }
        // After the install, which clears the root modems' instance keys it can.
        ASSERT_TRUE(platformtest::CreateBareModemDevice(kOtherHardwareId));

        run = Uninstall(vantaro);
        EXPECT_EQ(run.exitCode, 0u) << run.output;
        EXPECT_NE(run.output.find("Removed the modem " + device + ".\r\n"), std::string::npos) << run.output;
        EXPECT_FALSE(KeyExists(kRecordKey)) << "nothing of ours is left to finish";
        EXPECT_EQ(InPhonebook(ras, kOurEntry), row.entryBefore != nullptr);
        EXPECT_EQ(HardwareIdsOfModems(), std::vector<std::string>{kOtherHardwareId});
        if (!row.packageTakenOver) {
            EXPECT_FALSE(FileExists(inf + package)) << "the driver package goes too";
            continue;
        }
        EXPECT_EQ(ReadFile(inf + "oem77.inf"), theirs) << "another maker's driver package was removed";
        ::DeleteFileA((inf + "oem77.inf").c_str());
        ::DeleteFileA((inf + package).c_str());  // ours, which the record no longer named
        EXPECT_NE(run.output.find("Kept the driver package oem77.inf: it is not Vantaro's now ("), std::string::npos)
            << run.output;
        const std::string log = ReadFile(vantaro.Folder() + "\\Vantaro.log");
        EXPECT_NE(log.find("\tuninstall.package\tnot found\t0\toem77.inf: kept, not Vantaro's: "), std::string::npos)
            << log;
    }
}

TEST_F(UninstallTest, UnderWow64TheModemGoesThroughPnpagent64AndStaysWithoutIt) {
    VANTARO_ONLY_IN_A_32BIT_PROCESS("a 32-bit Vantaro on 64-bit Windows removes devices through pnpagent64.exe");
    MakeModems();
    WriteRecord({{"Device1", "ROOT\\MODEM\\0000"}, {"DialupEntry1", kOurEntry}});
    VantaroProcess vantaro("uninstall_without_helper");
    ASSERT_TRUE(::DeleteFileA((vantaro.Folder() + "\\pnpagent64.exe").c_str()));
    const ProgramRun run = Uninstall(vantaro);
    EXPECT_EQ(run.exitCode, 1u) << run.output;
    EXPECT_EQ(HardwareIdsOfModems().size(), 3u) << "no class installer call from the 32-bit process";
    EXPECT_TRUE(KeyExists(kRecordKey));
}

} // namespace
} // namespace vantaro::e2e
