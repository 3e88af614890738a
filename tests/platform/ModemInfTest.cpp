// The sample driver and the INF check against Wine's real SetupAPI, registry and file system:
// both sample INFs of the distribution folder pass the check and install the Unimodem entries
// into the modem's driver key; pnpagent64.exe refuses an INF whose file is missing in plain
// words, at once; the delivered Setting.ini words every problem in both languages.

#include "ModemDevices.h"
#include "e2e/UiDriver.h"
#include "fakes/ModemInfText.h"
#include "fakes/RecordingMessages.h"
#include "modem/InfCheck.h"
#include "modem/InfFileCheck.h"
#include "modem/ModemInstaller.h"
#include "modem/win32/Win32DeviceSetup.h"
#include "modem/win32/Win32FileSearch.h"
#include "modem/win32/Win32ProcessLauncher.h"
#include "modem/win32/RunningWindows.h"
#include "platform/win32/WholeFile.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace vantaro {
namespace {

using ::testing::IsEmpty;
using ::testing::SizeIs;
using platformtest::kModemHardwareId;
using platformtest::ModemDevice;
using platformtest::ModemDevices;
using platformtest::RegistryValue;
using platformtest::StringValue;

// The check as the program runs it, on the platform's files.
std::optional<InfProblem> CheckFile(const std::string& path, const std::string& hardwareId, InfPlatform platform) {
    Win32FileSearch files;
    return CheckModemInfFile(files, path, hardwareId, platform, ReadRunningWindows());
}

TEST(SampleDriver, BothInfsPassTheCheckForBothKindsOfWindows) {
    for (const char* name : {"modem_inf.inf", "modem_inf64.inf"}) {
        for (const InfPlatform platform : {InfPlatform::X86, InfPlatform::Amd64}) {
            const std::optional<InfProblem> problem = CheckFile(e2e::DistFolder() + "\\" + name, kModemHardwareId, platform);
            EXPECT_FALSE(problem) << name << ": " << InfProblemText(*problem, nullptr);
        }
    }
}

std::string Binary(std::initializer_list<unsigned> bytes) {
    std::string data;
    for (unsigned byte : bytes) data += static_cast<char>(byte);
    return data;
}

struct Entry {
    const char* subKey;  // "" for the driver key itself
    const char* name;
    DWORD type;
    std::string data;    // REG_SZ without its NUL
};

// What Unimodem reads from the driver key of the sample modem.
const std::vector<Entry> kUnimodemEntries = {
    {"", "DriverDesc", REG_SZ, "ZOR GPRS Modem"},
    {"", "Properties", REG_BINARY,
     Binary({0, 0, 0, 0, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x30, 1, 0, 0, 0, 0xC2, 1, 0, 0, 0xC2, 1, 0})},
    {"", "DeviceType", REG_BINARY, Binary({1})},
    {"", "Reset", REG_SZ, "ATZ<cr>"},
    {"Init", "1", REG_SZ, "AT<cr>"},
    {"Init", "2", REG_SZ, "ATE0V1&C1&D2S0=0<cr>"},
    {"Monitor", "1", REG_SZ, "ATS0=0<cr>"},
    {"Hangup", "1", REG_SZ, "ATH<cr>"},
    {"Answer", "1", REG_SZ, "ATA<cr>"},
    {"Settings", "Prefix", REG_SZ, "AT"},
    {"Settings", "Terminator", REG_SZ, "<cr>"},
    {"Settings", "DialPrefix", REG_SZ, "D"},
    {"Settings", "FlowControl_Hard", REG_SZ, "&K3"},
    {"Responses", "<cr><lf>OK<cr><lf>", REG_BINARY, Binary({0, 0, 0, 0, 0, 0, 0, 0, 0, 0})},
    {"Responses", "<cr><lf>NO CARRIER<cr><lf>", REG_BINARY, Binary({4, 0, 0, 0, 0, 0, 0, 0, 0, 0})},
    {"Responses", "<cr><lf>CONNECT 115200<cr><lf>", REG_BINARY, Binary({2, 0, 0, 0xC2, 1, 0, 0, 0, 0, 0})},
    {"Responses", "3<cr>", REG_BINARY, Binary({4, 0, 0, 0, 0, 0, 0, 0, 0, 0})},
};

class SampleDriverInstallTest : public ::testing::Test {
protected:
    void SetUp() override {
        platformtest::RemoveAllModemDevices();
        ASSERT_THAT(ModemDevices(), IsEmpty());
    }
    void TearDown() override { platformtest::RemoveAllModemDevices(); }

    static void ExpectUnimodemEntries(const ModemDevice& modem) {
        for (const Entry& entry : kUnimodemEntries) {
            const std::map<std::string, RegistryValue>* values = &modem.driverValues;
            if (*entry.subKey) {
                const auto subKey = modem.driverSubKeys.find(entry.subKey);
                ASSERT_NE(subKey, modem.driverSubKeys.end()) << "no " << entry.subKey << " key";
                values = &subKey->second;
            }
            const auto value = values->find(entry.name);
            ASSERT_NE(value, values->end()) << entry.subKey << "\\" << entry.name;
            EXPECT_EQ(value->second.type, entry.type) << entry.subKey << "\\" << entry.name;
            const std::string data = entry.type == REG_SZ ? StringValue(value->second) : value->second.data;
            EXPECT_EQ(data, entry.data) << entry.subKey << "\\" << entry.name;
        }
        EXPECT_GE(modem.driverSubKeys.count("Responses") ? modem.driverSubKeys.at("Responses").size() : 0u, 26u);
        // The .HW section's values: Windows keeps them with the device instance, where the
        // LowerFilters property is; Wine in the device's key (Device Parameters).
        std::string filters = modem.lowerFilters;
        if (filters.empty() && modem.deviceValues.count("LowerFilters")) {
            EXPECT_EQ(modem.deviceValues.at("LowerFilters").type, static_cast<DWORD>(REG_MULTI_SZ));
            filters = modem.deviceValues.at("LowerFilters").data;
        }
        EXPECT_EQ(filters.substr(0, filters.find('\0')), "usbser") << "usbser.sys is the modem's lower filter";
    }

    const std::string dist = e2e::DistFolder();
    Win32DeviceSetup setup;
    Win32ProcessLauncher processes;
    Win32FileSearch files{dist};
    std::string helperInf = "modem_inf64.inf";  // as [Setting] modem_inf_file64 names it
    testing::RecordingMessages messages;
};

TEST_F(SampleDriverInstallTest, InstallsTheUnimodemEntriesIntoTheDriverKey) {
    ModemInstaller installer(setup, processes, files, helperInf, messages);
    ASSERT_EQ(installer.InstallModemDevice(kModemHardwareId, dist + "\\modem_inf.inf", "COM5", "cmnet", 1), 1);
    const std::vector<ModemDevice> devices = ModemDevices();
    ASSERT_THAT(devices, SizeIs(1));
    ExpectUnimodemEntries(devices[0]);
}

TEST_F(SampleDriverInstallTest, The64BitInfInstalledByPnpAgentHasThemToo) {
    ASSERT_TRUE(platformtest::CreateBareModemDevice(kModemHardwareId));
    const e2e::ProgramRun run = e2e::RunProgram(
        e2e::PnpAgentFolder() + "\\pnpagent64.exe",
        std::string("pnpagent64.exe UpdateDriverForPlugAndPlayDevices ") + kModemHardwareId + " \"" + dist +
            "\\modem_inf64.inf\"");
    ASSERT_TRUE(run.finished) << run.output;
    ASSERT_NE(run.exitCode, 0u) << run.output;
    const std::vector<ModemDevice> devices = ModemDevices();
    ASSERT_THAT(devices, SizeIs(1));
    ExpectUnimodemEntries(devices[0]);
}

// pnpagent64.exe with an INF whose driver file is not beside it: it says so at once, exits 0 and
// installs nothing, where Wine's driver update would wait for the file without end.
TEST_F(SampleDriverInstallTest, PnpAgentNamesAMissingDriverFileAndInstallsNothing) {
    const std::string inf = e2e::WorkFolder("pnpagent_missing_file") + "\\phone.inf";
    e2e::WriteFile(inf, testing::ModemInf());
    ASSERT_TRUE(platformtest::CreateBareModemDevice(testing::kInfHardwareId));
    const e2e::ProgramRun run = e2e::RunProgram(
        e2e::PnpAgentFolder() + "\\pnpagent64.exe",
        std::string("pnpagent64.exe UpdateDriverForPlugAndPlayDevices ") + testing::kInfHardwareId + " \"" + inf + "\"",
        20000);
    ASSERT_TRUE(run.finished) << "pnpagent64 did not end within 20 s";
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    EXPECT_NE(run.output.find("The file driver\\zorser.sys, which the modem driver installs, is not in the folder"),
              std::string::npos)
        << run.output;
    const std::vector<ModemDevice> devices = ModemDevices();
    ASSERT_THAT(devices, SizeIs(1));
    EXPECT_EQ(devices[0].driverValues.count("DriverDesc"), 0u) << "nothing may be installed";
}

TEST(DeliveredTexts, EveryInfProblemIsWordedInBothLanguages) {
    const std::string settings = e2e::DistFolder() + "\\Setting.ini";
    for (const InfProblemKind kind : {InfProblemKind::FileMissing, InfProblemKind::NotAnInf, InfProblemKind::NotModem,
                                      InfProblemKind::NoModel, InfProblemKind::NoInstallSection,
                                      InfProblemKind::CopiedFileMissing}) {
        const char* key = InfProblemKey(kind);
        char english[1024] = {};
        char chinese[1024] = {};
        ::GetPrivateProfileStringA("English", key, "", english, sizeof english, settings.c_str());
        ::GetPrivateProfileStringA("Chinese", key, "", chinese, sizeof chinese, settings.c_str());
        EXPECT_STREQ(english, InfProblemEnglishText(kind)) << key << ": the program's English text is the delivered one";
        const std::string text(chinese);
        EXPECT_NE(text.find("%s"), std::string::npos) << key << " has no place for its detail";
        EXPECT_NE(text, english) << key << " is not translated";
        EXPECT_TRUE(std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; }))
            << key << ": " << text;
    }
}

} // namespace
} // namespace vantaro
