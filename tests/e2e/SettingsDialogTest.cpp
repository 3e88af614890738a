// The real Vantaro.exe under Wine: start-up, what the Settings dialog shows, Save and Exit. A save
// that cannot be written is HostileSettingsTest's.

#include "e2e/UiDriver.h"
#include "resources/resource.h"
#include "settings/IniDocument.h"

#include <gtest/gtest.h>

namespace vantaro::e2e {
namespace {

std::string Value(const std::string& file, const std::string& section, const std::string& key) {
    return IniDocument(file).Get(section, key).value_or("<missing>");
}

TEST(StartUp, ShowsTheStoredValuesAndRebuildsTheInitStringAsTheApnIsTyped) {
    VantaroProcess vantaro("startup_values");
    vantaro.WriteSettings(
        "[Setting]\r\nnumber=*99***1#\r\nusername=card\r\npassword=secret\r\ninit=ATZ\r\nconn_mode=0\r\n"
        "apn=3gnet\r\ndns1=10.0.0.1\r\ndns2=10.0.0.2\r\n[BaseSetting]\r\nlanguage=1\r\n"
        "[English]\r\nSAVESETTING=Save settings\r\nsaveset=Settings saved.\r\n");
    ASSERT_TRUE(vantaro.Start());
    HWND dialog = vantaro.WaitForSettingsDialog();
    ASSERT_NE(dialog, nullptr) << "the Settings dialog did not appear";

    EXPECT_EQ(ControlText(dialog, IDC_PHONE), "*99***1#");
    EXPECT_EQ(ControlText(dialog, IDC_USER_NAME), "card");
    EXPECT_EQ(ControlText(dialog, IDC_PASSWORD), "secret");
    EXPECT_EQ(ControlText(dialog, IDC_APN), "3gnet");
    EXPECT_EQ(ControlText(dialog, IDC_DNS1), "10.0.0.1");
    EXPECT_EQ(ControlText(dialog, IDC_DNS2), "10.0.0.2");
    EXPECT_EQ(ControlText(dialog, IDC_INIT_STRING), "at+eslp=0;+cgdcont=1,\"IP\",\"3gnet\"");
    EXPECT_EQ(ComboItems(dialog, IDC_CONNECTION_TYPE), (std::vector<std::string>{"GPRS", "CSD"}));
    EXPECT_EQ(ComboSelection(dialog, IDC_CONNECTION_TYPE), 1);
    EXPECT_EQ(ComboItems(dialog, IDC_LANGUAGE), (std::vector<std::string>{"Chinese", "English"}));
    EXPECT_EQ(ComboSelection(dialog, IDC_LANGUAGE), 1);
    EXPECT_EQ(ControlText(dialog, IDC_SAVE), "Save settings");
    EXPECT_FALSE(ControlVisible(dialog, IDC_DIAL));
    EXPECT_FALSE(ControlVisible(dialog, IDC_DISCONNECT));
    EXPECT_FALSE(ControlEnabled(dialog, IDC_STATUS));
    EXPECT_FALSE(ControlEnabled(dialog, IDC_INIT_STRING));

    SetControlText(dialog, IDC_APN, "internet");
    EXPECT_EQ(ControlText(dialog, IDC_INIT_STRING), "at+eslp=0;+cgdcont=1,\"IP\",\"internet\"");

    SaveWindowImage(dialog, ArtifactsFolder() + "\\settings-english-startup.bmp");

    SetControlText(dialog, IDC_PHONE, "#777");
    SetControlText(dialog, IDC_DNS1, "8.8.8.8");
    SelectComboItem(dialog, IDC_CONNECTION_TYPE, 0);
    Click(dialog, IDC_SAVE);
    ASSERT_TRUE(WaitUntil([&] { return ControlText(dialog, IDC_STATUS) == "Settings saved."; }))
        << "status: " << ControlText(dialog, IDC_STATUS);

    const std::string saved = ReadFile(vantaro.SettingsPath());
    EXPECT_EQ(Value(saved, "Setting", "number"), "#777");
    EXPECT_EQ(Value(saved, "Setting", "username"), "card");
    EXPECT_EQ(Value(saved, "Setting", "password"), "secret");
    EXPECT_EQ(Value(saved, "Setting", "init"), "at+eslp=0;+cgdcont=1,\"IP\",\"internet\"");
    EXPECT_EQ(Value(saved, "Setting", "conn_mode"), "1");
    EXPECT_EQ(Value(saved, "Setting", "apn"), "internet");
    EXPECT_EQ(Value(saved, "Setting", "dns1"), "8.8.8.8");
    EXPECT_EQ(Value(saved, "Setting", "dns2"), "10.0.0.2");

    Click(dialog, IDC_EXIT);
    EXPECT_TRUE(vantaro.WaitForExit()) << "the program did not end after Exit";
}

TEST(StartUp, WithoutTheSettingsFileSaysSoFirstAndSavesBesideTheProgram) {
    VantaroProcess vantaro("startup_no_ini");
    vantaro.RemoveSettings();
    ASSERT_TRUE(vantaro.Start());
    HWND box = vantaro.WaitForMessageBox();
    ASSERT_NE(box, nullptr) << "no message box";
    EXPECT_EQ(VantaroProcess::MessageBoxText(box), "Fail to get the ini file.");
    EXPECT_EQ(vantaro.FindTopWindow("Dial_Setting"), nullptr) << "the dialog came before the message";
    VantaroProcess::Acknowledge(box);

    HWND dialog = vantaro.WaitForSettingsDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(ControlText(dialog, IDC_APN), "cmnet");
    SetControlText(dialog, IDC_USER_NAME, "kept");
    Click(dialog, IDC_SAVE);
    ASSERT_TRUE(WaitUntil([&] { return ControlText(dialog, IDC_STATUS) == "saveset"; }));
    EXPECT_EQ(Value(ReadFile(vantaro.SettingsPath()), "Setting", "username"), "kept");

    Click(dialog, IDC_EXIT);
    EXPECT_TRUE(vantaro.WaitForExit());
}

} // namespace
} // namespace vantaro::e2e
