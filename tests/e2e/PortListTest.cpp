// The real Vantaro.exe under Wine: the port list shows the ports of the registry's serial port
// map, in the map's order, and rescans it every time the list is opened.

#include "e2e/SerialCommOverride.h"
#include "e2e/ProgramState.h"
#include "e2e/UiDriver.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

namespace vantaro::e2e {
namespace {

using Items = std::vector<std::string>;

std::vector<LRESULT> ItemData(HWND dialog) {
    std::vector<LRESULT> data;
    const LRESULT count = ::SendDlgItemMessageA(dialog, IDC_PORT_LIST, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i)
        data.push_back(::SendDlgItemMessageA(dialog, IDC_PORT_LIST, CB_GETITEMDATA, static_cast<WPARAM>(i), 0));
    return data;
}

TEST(PortList, ShowsTheMapsPortsInItsOrderSelectsTheLastAndRescansOnEveryDropDown) {
    SerialCommOverride serialComm;
    // The map enumerates by value name: these names give COM3, COM10, COM1.
    ASSERT_TRUE(serialComm.SetPortName("\\Device\\Serial0", "COM3"));
    ASSERT_TRUE(serialComm.SetPortName("\\Device\\Serial1", "COM10"));
    ASSERT_TRUE(serialComm.SetPortName("\\Device\\Serial2", "COM1"));

    VantaroProcess vantaro("port_list");
    ASSERT_TRUE(vantaro.Start());
    HWND dialog = vantaro.WaitForSettingsDialog();
    ASSERT_NE(dialog, nullptr) << "the Settings dialog did not appear: " << ProgramState(vantaro);

    EXPECT_EQ(ComboItems(dialog, IDC_PORT_LIST), (Items{"COM3", "COM10", "COM1"}));
    EXPECT_EQ(ComboSelection(dialog, IDC_PORT_LIST), 2);
    EXPECT_EQ(ControlText(dialog, IDC_PORT_LIST), "COM1");
    EXPECT_EQ(ItemData(dialog), (std::vector<LRESULT>{3, 10, 1})) << "each entry carries its port number";

    // The user picks COM3; a port plugged in since then shows up at the next opening, which
    // selects the last port again.
    SelectComboItem(dialog, IDC_PORT_LIST, 0);
    ASSERT_EQ(ControlText(dialog, IDC_PORT_LIST), "COM3");
    ASSERT_TRUE(serialComm.SetPortName("\\Device\\Serial3", "COM7"));
    DropDown(dialog, IDC_PORT_LIST);
    EXPECT_EQ(ComboItems(dialog, IDC_PORT_LIST), (Items{"COM3", "COM10", "COM1", "COM7"}));
    EXPECT_EQ(ComboSelection(dialog, IDC_PORT_LIST), 3);

    // With no ports left the list is empty and nothing is selected.
    ASSERT_TRUE(serialComm.Recreate());
    DropDown(dialog, IDC_PORT_LIST);
    EXPECT_EQ(ComboItems(dialog, IDC_PORT_LIST), Items{});
    EXPECT_EQ(ComboSelection(dialog, IDC_PORT_LIST), -1);

    Click(dialog, IDC_EXIT);
    EXPECT_TRUE(vantaro.WaitForExit()) << "the program did not end after Exit";
}

TEST(PortList, IsEmptyWithoutASerialPortMap) {
    SerialCommOverride serialComm;
    serialComm.RemoveKey();

    VantaroProcess vantaro("port_list_no_map");
    ASSERT_TRUE(vantaro.Start());
    HWND dialog = vantaro.WaitForSettingsDialog();
    ASSERT_NE(dialog, nullptr) << "the Settings dialog did not appear: " << ProgramState(vantaro);
    EXPECT_EQ(ComboItems(dialog, IDC_PORT_LIST), Items{});
    EXPECT_EQ(ComboSelection(dialog, IDC_PORT_LIST), -1);

    Click(dialog, IDC_EXIT);
    EXPECT_TRUE(vantaro.WaitForExit()) << "the program did not end after Exit";
}

} // namespace
} // namespace vantaro::e2e
