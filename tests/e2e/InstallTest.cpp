// The install button of the real Vantaro.exe under Wine: Wine's SetupAPI installs the sample
// driver, Wine's remote-access service (or the rasapi32 double) lists the modem, and the
// modem's driver key is configured in the test prefix's registry.

#include "e2e/SerialCommOverride.h"
#include "e2e/UiDriver.h"
#include "platform/ModemDevices.h"
#include "rasdouble/RasDoubleControl.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <iostream>
#include <map>

namespace vantaro::e2e {
namespace {

constexpr char kInstalledText[] = "Modem installed and the connection created.";
constexpr DWORD kInstallWait = 60000;

struct Value {
    DWORD type = REG_NONE;
    std::string data;
};

// The values of every driver key of the modem class described as our modem.
std::vector<std::map<std::string, Value>> OurDriverKeys() {
    std::vector<std::map<std::string, Value>> keys;
    for (int index = 0; index < 100; ++index) {
        char path[256];
        std::snprintf(path, sizeof path, "%s\\%04d", platformtest::kModemClassKey, index);
        HKEY key = nullptr;
        if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) != ERROR_SUCCESS) continue;
        std::map<std::string, Value> values;
        for (DWORD i = 0;; ++i) {
            char name[256];
            BYTE data[2048];
            DWORD nameLength = sizeof name, dataLength = sizeof data, type = 0;
            if (::RegEnumValueA(key, i, name, &nameLength, nullptr, &type, data, &dataLength) != ERROR_SUCCESS) break;
            values[std::string(name, nameLength)] = Value{type, std::string(reinterpret_cast<char*>(data), dataLength)};
        }
        ::RegCloseKey(key);
        if (values.count("DriverDesc") && values["DriverDesc"].data.rfind("ZOR GPRS Modem", 0) == 0)
            keys.push_back(values);
    }
    return keys;
}

std::string Text(const Value& value) { return std::string(value.data.c_str()); }

class Install : public ::testing::Test {
protected:
    void SetUp() override {
        platformtest::RemoveAllModemsAndDriverKeys();
        ports.SetPortName("Serial3", "COM3");
    }
    void TearDown() override { platformtest::RemoveAllModemsAndDriverKeys(); }

    // The program in English, so the status texts are plain to compare, with extra settings.
    void Prepare(VantaroProcess& vantaro, std::initializer_list<std::pair<const char*, const char*>> baseSettings = {}) {
        const std::string path = vantaro.SettingsPath();
        ::WritePrivateProfileStringA("BaseSetting", "language", "1", path.c_str());
        ::WritePrivateProfileStringA("English", "modemsetsu", kInstalledText, path.c_str());
        for (const auto& [key, value] : baseSettings) ::WritePrivateProfileStringA("BaseSetting", key, value, path.c_str());
        ::WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());
    }

    HWND StartAndWait(VantaroProcess& vantaro) {
        if (!vantaro.Start()) return nullptr;
        return vantaro.WaitForSettingsDialog();
    }

    // The install button, then the message box that the sequence opens; null when none came.
    static HWND InstallAndWaitForMessage(VantaroProcess& vantaro, HWND dialog, DWORD timeoutMs = kInstallWait) {
        Click(dialog, IDC_INSTALL);
        return vantaro.WaitForMessageBox(timeoutMs);
    }

    SerialCommOverride ports;
};

TEST_F(Install, InstallsTheSampleDriverConfiguresTheModemAndKeepsTheDialogOpen) {
    VantaroProcess vantaro("install_success");
    Prepare(vantaro);
    HWND dialog = StartAndWait(vantaro);
    ASSERT_NE(dialog, nullptr);
    ASSERT_EQ(ControlText(dialog, IDC_PORT_LIST), "COM3");
    SetControlText(dialog, IDC_APN, "uninet");
    const std::string initString = ControlText(dialog, IDC_INIT_STRING);

    const DWORD clicked = ::GetTickCount();
    Click(dialog, IDC_INSTALL);
    ASSERT_TRUE(WaitUntil([&] { return !ControlEnabled(dialog, IDC_INSTALL); }, kDefaultWait));
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
            box = vantaro.WaitForMessageBox(0);
            return box != nullptr || ControlText(dialog, IDC_STATUS) == kInstalledText;
        },
        kInstallWait))
        << "status: " << ControlText(dialog, IDC_STATUS);
    ASSERT_EQ(box, nullptr) << "unexpected message: " << VantaroProcess::MessageBoxText(box);
    const DWORD elapsed = ::GetTickCount() - clicked;
    std::cout << "[ measure  ] install button to \"modemsetsu\": " << elapsed << " ms (" << (elapsed - 2000)
              << " ms beyond the two fixed pauses)\n";
    RecordProperty("install_ms", static_cast<int>(elapsed));

    // The status text comes first and the buttons right after it, from the worker: wait for them.
    EXPECT_TRUE(WaitUntil([&] { return ControlEnabled(dialog, IDC_INSTALL) && ControlEnabled(dialog, IDC_ABOUT); }, kDefaultWait))
        << "the install and About buttons stayed disabled";
    EXPECT_FALSE(ControlEnabled(dialog, IDC_DISCONNECT));

    const auto keys = OurDriverKeys();
    ASSERT_EQ(keys.size(), 1u) << "one installed modem expected";
    auto values = keys[0];
    EXPECT_EQ(values["AttachedTo"].type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(Text(values["AttachedTo"]), "COM3");
    EXPECT_EQ(Text(values["ConfigDialog"]), "modemui.dll");
    ASSERT_EQ(values["MaximumPortSpeed"].type, static_cast<DWORD>(REG_DWORD));
    DWORD speed = 0;
    std::memcpy(&speed, values["MaximumPortSpeed"].data.data(), sizeof speed);
    EXPECT_EQ(speed, 115200u);
    EXPECT_EQ(Text(values["UserInit"]), initString);
    EXPECT_EQ(initString, "at+eslp=0;+cgdcont=1,\"IP\",\"uninet\"");

    Click(dialog, IDC_EXIT);
    EXPECT_TRUE(vantaro.WaitForExit()) << "the program did not end after Exit";
}

TEST_F(Install, NoModemAmongTheRemoteAccessDevicesEndsTheProgram) {
    rasdouble::Installation ras("install_no_modem");
    ASSERT_TRUE(ras.Installed()) << ras.Error();
    ras.Set("Devices", "count", "0");
    VantaroProcess vantaro("install_no_modem");
    Prepare(vantaro);
    HWND dialog = StartAndWait(vantaro);
    ASSERT_NE(dialog, nullptr);
    HWND box = InstallAndWaitForMessage(vantaro, dialog);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(VantaroProcess::MessageBoxText(box), "Fail to Find RAS Modem Device");
    VantaroProcess::Acknowledge(box);
    EXPECT_TRUE(vantaro.WaitForExit()) << "the sequence should have ended the dialog, and with it the program";
}

TEST_F(Install, NoSelectedPortIsSaidAndTheButtonsComeBack) {
    ports.RemoveKey();
    VantaroProcess vantaro("install_no_port");
    Prepare(vantaro);
    HWND dialog = StartAndWait(vantaro);
    ASSERT_NE(dialog, nullptr);
    ASSERT_EQ(ComboSelection(dialog, IDC_PORT_LIST), -1);
    HWND box = InstallAndWaitForMessage(vantaro, dialog);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(VantaroProcess::MessageBoxText(box), "Fail to open model port,please insert phone");
    EXPECT_EQ(ControlText(dialog, IDC_STATUS), "Fail to open model port,please insert phone");
    VantaroProcess::Acknowledge(box);
    EXPECT_TRUE(WaitUntil([&] { return ControlEnabled(dialog, IDC_INSTALL); }));
    EXPECT_TRUE(OurDriverKeys().empty());
    Click(dialog, IDC_EXIT);
    EXPECT_TRUE(vantaro.WaitForExit());
}

TEST_F(Install, AnInfNotOnTheSearchPathStopsWithTheButtonsLeftDisabled) {
    VantaroProcess vantaro("install_no_inf");
    // A 32-bit program on 64-bit Wine takes the 64-bit name.
    Prepare(vantaro, {{"modem_inf_file64", "no_such_driver.inf"}, {"modem_inf_file", "no_such_driver.inf"}});
    HWND dialog = StartAndWait(vantaro);
    ASSERT_NE(dialog, nullptr);
    HWND box = InstallAndWaitForMessage(vantaro, dialog);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(VantaroProcess::MessageBoxText(box), "Fail to get modem inf file in ini file.");
    VantaroProcess::Acknowledge(box);
    EXPECT_TRUE(WaitUntil([&] { return vantaro.WaitForMessageBox(0) == nullptr; }));
    EXPECT_FALSE(ControlEnabled(dialog, IDC_INSTALL));
    EXPECT_FALSE(ControlEnabled(dialog, IDC_ABOUT));
    EXPECT_TRUE(ControlEnabled(dialog, IDC_EXIT));
    Click(dialog, IDC_EXIT);
    EXPECT_TRUE(vantaro.WaitForExit());
}

TEST_F(Install, ClosingTheDialogMidInstallEndsTheProgramCleanly) {
    // Once during the first pause, once while a message box of the sequence is open.
    {
        VantaroProcess vantaro("install_closed_mid_run");
        Prepare(vantaro);
        HWND dialog = StartAndWait(vantaro);
        ASSERT_NE(dialog, nullptr);
        Click(dialog, IDC_INSTALL);
        ASSERT_TRUE(WaitUntil([&] { return !ControlEnabled(dialog, IDC_INSTALL); }, kDefaultWait));
        Click(dialog, IDC_EXIT);
        EXPECT_TRUE(vantaro.WaitForExit()) << "closing mid-install must end the program";
        EXPECT_EQ(vantaro.ExitCode(), 0u);
    }
    {
        rasdouble::Installation ras("install_closed_at_message");
        ASSERT_TRUE(ras.Installed()) << ras.Error();
        ras.Set("Devices", "count", "1");
        ras.Set("Entry", "properties_result", "1");
        VantaroProcess vantaro("install_closed_at_message");
        Prepare(vantaro);
        HWND dialog = StartAndWait(vantaro);
        ASSERT_NE(dialog, nullptr);
        HWND box = InstallAndWaitForMessage(vantaro, dialog);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(VantaroProcess::MessageBoxText(box), "Fail to create a Internet Connection.");
        Click(dialog, IDC_EXIT);
        EXPECT_TRUE(vantaro.WaitForExit()) << "an open message box of the worker must not keep the program alive";
    }
}

} // namespace
} // namespace vantaro::e2e
