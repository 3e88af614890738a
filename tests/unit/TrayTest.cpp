// The notification-area icon: its menu follows the dialog's buttons, and its texts are cut to
// the taskbar's fields at a character's end.

#include "app/TrayText.h"
#include "fakes/PhoneFormFixture.h"
#include "fakes/SettingsFormFixture.h"
#include "workflow/TrayMenuItems.h"

#include <gtest/gtest.h>

namespace vantaro {
namespace {

class TrayMenuTest : public ::testing::Test, protected testing::SettingsFormFixture {};

TEST_F(TrayMenuTest, ConnectAndDisconnectActAsTheirButtonsWouldAndSayWhatTheButtonsSay) {
    Load("[BaseSetting]\nlanguage=1\n[English]\nCONNECT=Dial\nCancel=Quit\n");
    for (const char* expected : {"Dial|Disconnect (grey)|Balance... (grey)|Open settings|-|Quit|",
                                 "Dial (grey)|Disconnect|Balance (disconnect first) (grey)|Open settings|-|Quit|"}) {
        std::string shown;
        const std::vector<PortFindings> checked;
        for (const TrayMenuItem& item : TrayMenuItems(form, [](const std::string& text) { return text; },
                                                      {checked, testing::EdgeCasesDatabase()}))
            shown += (item.command == 0 ? "-" : item.text + (item.enabled ? "" : " (grey)")) + "|";
        EXPECT_EQ(shown, expected);
        form.Apply(SettingsForm::ActivityEvent::ConnectClicked);
    }
}

// Where Balance... asks: the dial's port while nothing holds it, another port of the same SIM's
// phone while a connection does, nowhere while the phone check or a balance has the port.
TEST(TrayBalance, AsksOnTheDialsPortOrOnASecondPortOfTheSamePhone) {
    using Event = SettingsForm::ActivityEvent;
    const auto of = [](const char* port, const char* iccid) {
        PortFindings findings = testing::PhoneFormFixture::ModemOf(port, "901", "01");
        return findings.iccid = iccid, findings;
    };
    const std::vector<PortFindings> onePhone = {of("COM1", "8986001"), of("COM2", "8986001")},
                                    twoPhones = {of("COM1", "8986001"), of("COM2", "8986002")},
                                    noIccid = {of("COM1", ""), of("COM2", "")};
    const Event connected[] = {Event::ConnectClicked, Event::DialConnected};
    const struct { std::vector<Event> events; const std::vector<PortFindings>& checked; bool open; const char* shown; } cases[] = {
        {{}, onePhone, false, "Balance... COM1 *100# (dial port)"},
        {{std::begin(connected), std::end(connected)}, onePhone, false, "Balance... COM2 *100#"},
        {{Event::ConnectClicked}, twoPhones, false, "Balance (disconnect first) (grey)"},
        {{Event::ConnectClicked}, noIccid, false, "Balance (disconnect first) (grey)"},
        {{Event::BalanceOpened}, onePhone, false, "Balance... (grey)"},
        {{Event::ConnectClicked}, onePhone, true, "Balance... (grey)"},  // its own Balance dialog is open
    };
    for (const auto& c : cases) {
        testing::PhoneFormFixture dialog;
        dialog.controls.SetItems(IDC_PORT_LIST, {"COM1", "COM2"});
        dialog.controls.SetCurSel(IDC_PORT_LIST, 0);
        for (Event event : c.events) dialog.form.Apply(event);
        const TrayBalance balance = TrayBalanceFor(dialog.form, {c.checked, testing::EdgeCasesDatabase(), c.open});
        const std::string shown = std::string(balance.caption.english) +
            (balance.ask ? " " + balance.ask->port + " " + balance.ask->code + (balance.onDialPort ? " (dial port)" : "") : " (grey)");
        EXPECT_EQ(shown, c.shown);
    }
}

TEST(TrayText, ALongTextIsCutAtACharactersEndAndLeavesRoomForTheNul) {
    const std::u16string a126(126, u'a'), pair = u"\U0001F4F6";  // one character, two units
    const struct { std::u16string text; std::size_t kept; } cases[] = {
        {a126 + u"a", 127}, {a126 + u"aa", 127}, {a126 + pair, 126}, {a126.substr(1) + pair, 127}};
    for (const auto& c : cases) EXPECT_EQ(FittingUtf16Length(c.text.data(), c.text.size(), 128), c.kept) << c.text.size();
}

} // namespace
} // namespace vantaro
