// Captions and status messages by language, read from the settings file's language sections.

#include "fakes/SettingsFormFixture.h"
#include "workflow/InterfaceText.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace vantaro {
namespace {

using testing::FakeControls;
using testing::MemoryProfile;
using testing::RecordingMessages;

// Which control each caption key labels.
const std::vector<std::pair<std::string, int>> kCaptionControls = {
    {"Dial_Setting", 1021}, {"TEL", 1022},        {"USER", 1023},       {"PWD", 1024},
    {"INIT", 1025},         {"CONN_TYPE", 1026},  {"ABORT_DRIVER", 1027}, {"CONNECT", 1008},
    {"DISCONNECT", 1009},   {"SAVESETTING", 1017}, {"DRIVERIN", 1},     {"ABORT", 101},
    {"Cancel", 2},          {"lan", 1028},
};

const std::vector<std::string> kMessageKeys = {"pleaseset",     "saveset",   "insetupdriver",
                                               "modemsetsu",    "conectting", "connectsucess",
                                               "intimeout",     "disconnecting", "dissucess"};

// A dialog as its template leaves it: every labelled control shows its template caption.
class InterfaceTextTest : public ::testing::Test, protected testing::SettingsFormFixture {
protected:
    InterfaceTextTest() {
        for (const auto& [key, id] : kCaptionControls) controls.SetText(id, "template " + std::to_string(id));
    }


    // Every caption key with its own value: "<prefix> <key>".
    static std::string SectionNamingEveryCaption(const std::string& section, const std::string& prefix) {
        std::string text = "[" + section + "]\n";
        for (const auto& [key, id] : kCaptionControls) text += key + "=" + prefix + " " + key + "\n";
        return text;
    }

};

TEST_F(InterfaceTextTest, EveryCaptionKeyLabelsItsOwnControl) {
    Load(SectionNamingEveryCaption("Chinese", "cn") + SectionNamingEveryCaption("English", "en"));
    for (const auto& [key, id] : kCaptionControls) EXPECT_EQ(controls.GetText(id), "cn " + key) << "control " << id;
    ASSERT_EQ(kCaptionKeys.size(), kCaptionControls.size());

    controls.SetCurSel(IDC_LANGUAGE, 1);
    form.ChangeLanguage();
    for (const auto& [key, id] : kCaptionControls) EXPECT_EQ(controls.GetText(id), "en " + key) << "control " << id;
    // Nothing else is captioned: the title-less labels and the lists keep their texts.
    EXPECT_EQ(controls.Items(IDC_LANGUAGE), (std::vector<std::string>{"Chinese", "English"}));
    EXPECT_EQ(controls.Items(IDC_CONNECTION_TYPE), (std::vector<std::string>{"GPRS", "CSD"}));
}

TEST_F(InterfaceTextTest, WithoutTheLanguagesSectionCaptionsAreEmptyAndMessagesShowTheirKeys) {
    Load("[BaseSetting]\nlanguage=1\n[Chinese]\nSAVESETTING=CN-save\nsaveset=CN-saved\n");
    for (const auto& [key, id] : kCaptionControls) EXPECT_EQ(controls.GetText(id), "") << "control " << id;
    EXPECT_EQ(controls.GetText(IDC_STATUS), "") << "\"pleaseset\" defaults to nothing";
    for (const std::string& key : kMessageKeys)
        EXPECT_EQ(form.LookUpMessage(key), key == "pleaseset" ? "" : key) << key;
    ASSERT_TRUE(form.SaveSettings());
    EXPECT_EQ(controls.GetText(IDC_STATUS), "saveset");
}

TEST_F(InterfaceTextTest, MissingKeysEmptyOnlyTheirOwnCaptionAndMessage) {
    Load("[Chinese]\nABORT=CN-about\nlan=CN-lan\npleaseset=CN-please\nmodemsetsu=CN-done\n");
    for (const auto& [key, id] : kCaptionControls) {
        const std::string expected = key == "ABORT" ? "CN-about" : key == "lan" ? "CN-lan" : "";
        EXPECT_EQ(controls.GetText(id), expected) << key;
    }
    EXPECT_EQ(controls.GetText(IDC_STATUS), "CN-please") << "the load ends with \"pleaseset\"";
    EXPECT_EQ(form.LookUpMessage("modemsetsu"), "CN-done");
    EXPECT_EQ(form.LookUpMessage("intimeout"), "intimeout");
}

TEST_F(InterfaceTextTest, AnEmptyEntryEmptiesItsCaption) {
    Load("[Chinese]\nSAVESETTING=\nsaveset=\n");
    EXPECT_EQ(controls.GetText(IDC_SAVE), "");
    EXPECT_EQ(form.LookUpMessage("saveset"), "") << "a present but empty message is shown empty, not as its key";
}

TEST_F(InterfaceTextTest, KeysAndSectionsMatchWithoutRegardToCaseAndBlanks) {
    Load("[BaseSetting]\nlanguage=1\n"
         "[ english ]\n  savesetting  =  Save  \nDRIVERin = Install >\n  LAN=Lang:\ncancel=\"Exit\"\n"
         "  SAVESET =  Settings saved.\n");
    EXPECT_EQ(controls.GetText(IDC_SAVE), "Save");
    EXPECT_EQ(controls.GetText(IDC_INSTALL), "Install >");
    EXPECT_EQ(controls.GetText(IDC_LANGUAGE_LABEL), "Lang:");
    EXPECT_EQ(controls.GetText(IDC_EXIT), "Exit") << "quotes around a value are not part of it";
    ASSERT_TRUE(form.SaveSettings());
    EXPECT_EQ(controls.GetText(IDC_STATUS), "Settings saved.");
}

TEST_F(InterfaceTextTest, AMissingStoredLanguageMeansChinese) {
    Load("[Chinese]\nABORT=CN-about\n[English]\nABORT=EN-about\n");
    EXPECT_EQ(form.LanguageName(), "Chinese");
    EXPECT_EQ(controls.GetCurSel(IDC_LANGUAGE), 0);
    EXPECT_EQ(controls.GetText(IDC_ABOUT), "CN-about");
}

TEST_F(InterfaceTextTest, LaterMessagesUseTheNewLanguageWhileTheStatusLineKeepsItsText) {
    Load("[Chinese]\nsaveset=CN-saved\n[English]\nsaveset=EN-saved\n");
    ASSERT_TRUE(form.SaveSettings());
    EXPECT_EQ(controls.GetText(IDC_STATUS), "CN-saved");
    controls.SetCurSel(IDC_LANGUAGE, 1);
    form.ChangeLanguage();
    EXPECT_EQ(controls.GetText(IDC_STATUS), "CN-saved");
    ASSERT_TRUE(form.SaveSettings());
    EXPECT_EQ(controls.GetText(IDC_STATUS), "EN-saved");
}

// Workers look messages up while the dialog's thread switches the language: every text they
// get is whole, in one language or the other.
TEST_F(InterfaceTextTest, MessagesLookedUpByWorkersDuringLanguageChangesAreWhole) {
    const std::string chinese(300, 'c');
    const std::string english(200, 'e');
    Load("[Chinese]\nmodemsetsu=" + chinese + "\n[English]\nmodemsetsu=" + english + "\n");
    std::atomic<bool> stop{false};
    std::atomic<int> torn{0};
    std::atomic<int> lookedUp{0};
    std::thread worker([&] {
        while (!stop.load()) {
            const std::string text = form.LookUpMessage("modemsetsu");
            if (text != chinese && text != english) ++torn;
            ++lookedUp;
        }
    });
    for (int i = 0; i < 400 || (lookedUp.load() < 50 && i < 1000000); ++i) {
        controls.SetCurSel(IDC_LANGUAGE, i % 2);
        form.ChangeLanguage();
    }
    stop.store(true);
    worker.join();
    EXPECT_EQ(torn.load(), 0);
}

} // namespace
} // namespace vantaro
