// The notification-area icon: its menu follows the dialog's buttons, and its texts are cut to
// the taskbar's fields at a character's end.

#include "app/TrayText.h"
#include "fakes/SettingsFormFixture.h"
#include "workflow/TrayMenuItems.h"

#include <gtest/gtest.h>

namespace vantaro {
namespace {

class TrayMenuTest : public ::testing::Test, protected testing::SettingsFormFixture {};

std::string Shown(const std::vector<TrayMenuItem>& items) {
    std::string shown;
    for (const TrayMenuItem& item : items)
        shown += (item.command == 0 ? "-" : item.text + (item.enabled ? "" : " (grey)")) + "|";
    return shown;
}

TEST_F(TrayMenuTest, ConnectAndDisconnectActWhenTheirButtonsWouldWithTheButtonsCaptions) {
    Load("[BaseSetting]\nlanguage=1\n[English]\nCONNECT=Dial\nCancel=Quit\n");
    const auto same = [](const std::string& text) { return text; };
    EXPECT_EQ(Shown(TrayMenuItems(form, same)), "Dial|Disconnect (grey)|Open settings|-|Quit|");
    ASSERT_TRUE(form.TryBegin(SettingsForm::Activity::Dialling));
    EXPECT_EQ(Shown(TrayMenuItems(form, same)), "Dial (grey)|Disconnect|Open settings|-|Quit|");
    form.Move(SettingsForm::Activity::Dialling, SettingsForm::Activity::Connected);
    EXPECT_EQ(Shown(TrayMenuItems(form, same)), "Dial (grey)|Disconnect|Open settings|-|Quit|");
}

TEST(TrayText, ALongTextIsCutAtACharactersEndAndLeavesRoomForTheNul) {
    const std::u16string pair = u"\U0001F4F6";  // one character, two units
    const struct {
        std::u16string text;
        std::size_t field;
        std::size_t kept;
    } cases[] = {
        {u"", 128, 0},
        {std::u16string(127, u'a'), 128, 127},
        {std::u16string(128, u'a'), 128, 127},
        {std::u16string(126, u'a') + pair, 128, 126},  // the pair would need units 127 and 128
        {std::u16string(125, u'a') + pair, 128, 127},
        {std::u16string(62, u'a') + pair + u"b", kTrayBalloonTitleUnits, 62},
        {pair + pair, 1, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FittingUtf16Length(c.text.data(), c.text.size(), c.field), c.kept)
            << "length " << c.text.size() << " in a field of " << c.field;
}

} // namespace
} // namespace vantaro
