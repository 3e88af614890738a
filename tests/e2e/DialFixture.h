#pragma once
// What the dial tests share: the real Vantaro.exe dialling through the rasapi32.dll double, both
// in folders named after the test; the action buttons read as one line; waits for the status
// line; and the dial handles read back from the double's log.

#include "e2e/UiDriver.h"
#include "rasdouble/RasDoubleControl.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vantaro::e2e {

// Connect, Install and About, then Disconnect: idle; and during a dial, a connection or the wait
// for a redial.
inline constexpr char kIdleButtons[] = "on on on / off";
inline constexpr char kDiallingButtons[] = "off off off / on";

inline std::string Buttons(HWND dialog) {
    auto state = [&](int id) { return ControlEnabled(dialog, id) ? "on" : "off"; };
    return std::string(state(IDC_DIAL)) + " " + state(IDC_INSTALL) + " " + state(IDC_ABOUT) + " / " +
           state(IDC_DISCONNECT);
}

// The worker sets the status line and then the buttons; give it the moment between the two.
inline std::string SettledButtons(HWND dialog, const std::string& expected) {
    WaitUntil([&] { return Buttons(dialog) == expected; }, 2000, [&] { return "the buttons " + expected; });
    return Buttons(dialog);
}

inline bool WaitForStatus(HWND dialog, const std::string& text, DWORD timeoutMs = kDefaultWait) {
    return WaitUntil([&] { return ControlText(dialog, IDC_STATUS) == text; }, timeoutMs,
                     [&] { return "the status \"" + text + "\"; it says \"" + ControlText(dialog, IDC_STATUS) + "\""; });
}

// The handle that the double handed out for the n-th dial (0 = the first).
inline std::string DialHandle(const rasdouble::Installation& ras, std::size_t n) {
    const std::string prefix = "RasDialA started handle=";
    const auto started = ras.LogLinesStartingWith(prefix);
    return n < started.size() ? started[n].substr(prefix.size()) : "<none>";
}

// Where the first line that starts with the prefix is; lines.size() when none does.
inline std::size_t IndexOf(const std::vector<std::string>& lines, const std::string& prefix) {
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (lines[i].compare(0, prefix.size(), prefix) == 0) return i;
    return lines.size();
}

class DialFixture : public ::testing::Test {
protected:
    DialFixture() : name_(::testing::UnitTest::GetInstance()->current_test_info()->name()), ras(name_), vantaro(name_) {}

    // A Setting.ini in English whose [Setting] holds the number and then `setting`; a connection
    // says "Connected.".
    static std::string Settings(const std::string& setting) {
        return "[Setting]\r\nnumber=*99***1#\r\n" + setting +
               "[BaseSetting]\r\nlanguage=1\r\n"
               "[English]\r\nconnectsucess=Connected.\r\n";
    }
    // The Settings dialog of a run on Settings(setting).
    HWND StartDialog(const std::string& setting) {
        vantaro.WriteSettings(Settings(setting));
        return OpenDialog();
    }
    // The Settings dialog of a run on the Setting.ini that the folder holds: the delivered one
    // unless the test wrote another.
    HWND OpenDialog() {
        EXPECT_TRUE(ras.Installed()) << ras.Error();
        EXPECT_TRUE(vantaro.Start());
        HWND dialog = vantaro.WaitForSettingsDialog();
        EXPECT_NE(dialog, nullptr) << "the Settings dialog did not appear";
        return dialog;
    }
    void Exit(HWND dialog) {
        Click(dialog, IDC_EXIT);
        EXPECT_TRUE(vantaro.WaitForExit()) << "the program did not end after Exit";
        EXPECT_EQ(vantaro.ExitCode(), 0u);
    }
    std::size_t Dials() const { return ras.LogLinesStartingWith("RasDialA started").size(); }

    std::string name_;
    rasdouble::Installation ras;
    VantaroProcess vantaro;
};

} // namespace vantaro::e2e
