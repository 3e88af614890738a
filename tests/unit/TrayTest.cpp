// The notification-area icon: its menu follows the dialog's buttons, and its texts are cut to
// the taskbar's fields at a character's end.

#include "app/TrayText.h"
#include "fakes/SettingsFormFixture.h"
#include "workflow/TrayMenuItems.h"

#include <gtest/gtest.h>

namespace vantaro {
namespace {

class TrayMenuTest : public ::testing::Test, protected testing::SettingsFormFixture {};

TEST_F(TrayMenuTest, ConnectAndDisconnectActAsTheirButtonsWouldAndSayWhatTheButtonsSay) {
    Load("[BaseSetting]\nlanguage=1\n[English]\nCONNECT=Dial\nCancel=Quit\n");
    for (const char* expected : {"Dial|Disconnect (grey)|Open settings|-|Quit|", "Dial (grey)|Disconnect|Open settings|-|Quit|"}) {
        std::string shown;
        for (const TrayMenuItem& item : TrayMenuItems(form, [](const std::string& text) { return text; }))
            shown += (item.command == 0 ? "-" : item.text + (item.enabled ? "" : " (grey)")) + "|";
        EXPECT_EQ(shown, expected);
        form.Apply(SettingsForm::ActivityEvent::ConnectClicked);
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
