// Loading and saving the Settings dialog's fields, against controls and a profile in memory.

#include "fakes/ApnCases.h"
#include "fakes/SettingsFormFixture.h"

#include <gtest/gtest.h>

namespace vantaro {
namespace {

using testing::FakeControls;
using testing::MemoryProfile;
using testing::RecordingMessages;

class SettingsFormTest : public ::testing::Test, protected testing::SettingsFormFixture {};

TEST_F(SettingsFormTest, AnEmptyFileShowsTheDefaults) {
    Load("");
    EXPECT_EQ(controls.GetText(IDC_PHONE), "*99#");
    EXPECT_EQ(controls.GetText(IDC_USER_NAME), "");
    EXPECT_EQ(controls.GetText(IDC_PASSWORD), "");
    EXPECT_EQ(controls.GetText(IDC_DNS1), "");
    EXPECT_EQ(controls.GetText(IDC_APN), "cmnet");
    EXPECT_EQ(controls.GetText(IDC_INIT_STRING), "at+eslp=0;+cgdcont=1,\"IP\",\"cmnet\"");
    EXPECT_EQ(controls.GetCurSel(IDC_CONNECTION_TYPE), 0);
    EXPECT_EQ(controls.GetCurSel(IDC_LANGUAGE), 0);
    EXPECT_EQ(form.LanguageName(), "Chinese");
    EXPECT_EQ(controls.GetCount(IDC_OPERATOR_LIST), 0);
    EXPECT_EQ(controls.GetText(IDC_SAVE), "");  // no captions without a language section
    EXPECT_EQ(controls.GetText(IDC_STATUS), "");
    EXPECT_EQ(form.PhoneNumber(), "*99#");
}

TEST_F(SettingsFormTest, TheStoredNumberIsShownSoASaveKeepsIt) {
    Load("[Setting]\nnumber=*99***1#\n");
    EXPECT_EQ(controls.GetText(IDC_PHONE), "*99***1#");
    EXPECT_EQ(form.PhoneNumber(), "*99***1#");
    ASSERT_TRUE(form.SaveSettings());
    EXPECT_EQ(profile.ReadString("Setting", "number", ""), "*99***1#");
}

TEST_F(SettingsFormTest, TheStoredInitStringIsReplacedByTheOneBuiltFromTheApn) {
    // The first: the new dialog's APN edit already reads the stored empty APN; setting it must
    // still rebuild the init string.
    for (const char* apn : {"", "3gnet"}) {
        Load(std::string("[Setting]\ninit=ATZ\napn=") + apn + "\n");
        EXPECT_EQ(controls.GetText(IDC_INIT_STRING), BuildInitString(apn)) << "apn=" << apn;
    }
}

TEST_F(SettingsFormTest, TypingInTheApnRewritesTheInitString) {
    Load("");
    controls.SetText(IDC_APN, "uni\"net");
    EXPECT_EQ(controls.GetText(IDC_INIT_STRING), "at+eslp=0;+cgdcont=1,\"IP\",\"uni\"net\"");
}

TEST_F(SettingsFormTest, OnlyConnModeZeroSelectsCsd) {
    for (const auto& [stored, item] : std::vector<std::pair<std::string, int>>{
             {"0", 1}, {"1", 0}, {"", 0}, {"2", 0}, {"00", 0}}) {
        Load("[Setting]\nconn_mode=" + stored + "\n");
        EXPECT_EQ(controls.GetCurSel(IDC_CONNECTION_TYPE), item) << "conn_mode=" << stored;
    }
}

TEST_F(SettingsFormTest, TheStoredLanguageChoosesListItemAndTextSeparately) {
    const std::string sections = "[Chinese]\nSAVESETTING=CN-save\n[English]\nSAVESETTING=EN-save\n";
    struct Case { std::string stored; int item; const char* caption; };
    for (const Case& c : {Case{"0", 0, "CN-save"}, Case{"1", 1, "EN-save"}, Case{"7", -1, "EN-save"},
                          Case{"x", 0, "EN-save"}}) {
        controls.SetCurSel(IDC_LANGUAGE, -1);
        Load("[BaseSetting]\nlanguage=" + c.stored + "\n" + sections);
        EXPECT_EQ(controls.GetCurSel(IDC_LANGUAGE), c.item) << "language=" << c.stored;
        EXPECT_EQ(controls.GetText(IDC_SAVE), c.caption) << "language=" << c.stored;
    }
}

TEST_F(SettingsFormTest, HandEditedKeysInCapitalsOrWithBlanksAreFound) {
    Load("[ setting ]\n  DNS1 = 8.8.8.8\nUserName=alice\n");
    EXPECT_EQ(controls.GetText(IDC_DNS1), "8.8.8.8");
    EXPECT_EQ(controls.GetText(IDC_USER_NAME), "alice");
}

TEST_F(SettingsFormTest, OperatorsNeedANameAndANumberAndGapsDoNotEndTheScan) {
    Load("[Operators]\noperator1=A\noperator3=B\noperator4=NoNumber\noperator500=Last\noperator501=Beyond\n"
         "[A]\nnumber=1\n[B]\nnumber=2\n[NoNumber]\n[Last]\nnumber=3\n[Beyond]\nnumber=4\n");
    EXPECT_EQ(controls.Items(IDC_OPERATOR_LIST), (std::vector<std::string>{"A", "B", "Last"}));
    EXPECT_EQ(controls.GetCurSel(IDC_OPERATOR_LIST), 2);
}

TEST_F(SettingsFormTest, OperatorKeysAreReadAsTheirOwnReadsWouldReadThem) {
    // Listed by number, not by line; letters of the key in any case; the first line of a key
    // decides, a line without '=' included; "operator01" is not the key "operator1".
    Load("[Operators]\noperator3=C\nOPERATOR1=A\noperator1=Shadowed\noperator2\noperator2=Hidden\n"
         "operator01=Zero\noperator 4=Spaced\noperator4x=Junk\noperator=None\n  operator5  =  E  \n"
         "[A]\nnumber=1\n[C]\nnumber=3\n[Shadowed]\nnumber=9\n[Hidden]\nnumber=9\n[Zero]\nnumber=9\n"
         "[Spaced]\nnumber=9\n[E]\nnumber=5\n");
    EXPECT_EQ(controls.Items(IDC_OPERATOR_LIST), (std::vector<std::string>{"A", "C", "E"}));
}

TEST_F(SettingsFormTest, LoadingReadsWholeSectionsNotTheirKeysOneByOne) {
    // Every read checks the file again: the dialog is on screen sooner with few of them.
    Load("[Setting]\nnumber=1\nmax_operator_num=500\n[BaseSetting]\nlanguage=1\n[Operators]\noperator1=A\n"
         "[A]\nnumber=2\n[English]\nTEL=Tel:\npleaseset=Fill in.\n");
    EXPECT_EQ(controls.GetText(IDC_PHONE_LABEL), "Tel:");
    EXPECT_EQ(controls.Items(IDC_OPERATOR_LIST), std::vector<std::string>{"A"});
    // The whole file once, for every section, key and text.
    EXPECT_EQ(profile.fileReads, 1);
    EXPECT_EQ(profile.sectionReads + profile.keyReads, 0) << "no read per operator, section or text";
}

TEST_F(SettingsFormTest, AHugeOperatorCountExaminesOnlyTheKeysTheSectionHolds) {
    // "5" five thousand times reads as 59652323 on Wine: one read each would keep the dialog
    // from opening for an hour.
    Load("[Setting]\nmax_operator_num=" + std::string(5000, '5') + "\n[Operators]\nOPERATOR7=B\noperator2=A\n"
         "operator007=Padded\noperator3x=Odd\noperator2=Again\noperator99999999999=Far\n"
         "[A]\nnumber=1\n[B]\nnumber=2\n[Padded]\nnumber=3\n[Odd]\nnumber=4\n[Far]\nnumber=5\n");
    EXPECT_EQ(controls.Items(IDC_OPERATOR_LIST), (std::vector<std::string>{"A", "B"}));
    EXPECT_LT(profile.keyReads, 100);
}

TEST_F(SettingsFormTest, WithoutASectionReadEveryIndexUpToTheCountIsExamined) {
    profile.readsSections = false;
    Load("[Setting]\nmax_operator_num=30\n[Operators]\noperator30=A\noperator31=B\n[A]\nnumber=1\n[B]\nnumber=2\n");
    EXPECT_EQ(controls.Items(IDC_OPERATOR_LIST), (std::vector<std::string>{"A"}));
}

TEST(OperatorKeys, AreNamedAsPercentDWritesAPositiveNumber) {
    EXPECT_EQ(OperatorKeyIndex("operator1"), 1);
    EXPECT_EQ(OperatorKeyIndex("Operator500"), 500);
    EXPECT_EQ(OperatorKeyIndex("operator2147483647"), 2147483647);
    for (const char* other : {"operator", "operator0", "operator01", "operator-1", "operator+1", "operator1 ",
                              "operator2147483648", "operators1", "xoperator1", "operator1a"})
        EXPECT_EQ(OperatorKeyIndex(other), std::nullopt) << other;
}

TEST_F(SettingsFormTest, AZeroOrNegativeOperatorCountListsNone) {
    for (const char* count : {"0", "-3"}) {
        controls.ResetContent(IDC_OPERATOR_LIST);
        Load(std::string("[Setting]\nmax_operator_num=") + count + "\n[Operators]\noperator1=A\n[A]\nnumber=1\n");
        EXPECT_EQ(controls.GetCount(IDC_OPERATOR_LIST), 0) << count;
    }
}

TEST_F(SettingsFormTest, SaveWritesTheEightFieldsAsShown) {
    Load("[English]\nsaveset=Saved.\n[BaseSetting]\nlanguage=1\n");
    controls.SetText(IDC_PHONE, "#777");
    controls.SetText(IDC_USER_NAME, "card");
    controls.SetText(IDC_PASSWORD, "pw");
    controls.SetText(IDC_APN, "internet");
    controls.SetText(IDC_DNS1, "1.1.1.1");
    controls.SetText(IDC_DNS2, "8.8.4.4");
    controls.SetCurSel(IDC_CONNECTION_TYPE, 1);
    ASSERT_TRUE(form.SaveSettings());
    EXPECT_EQ(profile.ReadString("Setting", "number", "?"), "#777");
    EXPECT_EQ(profile.ReadString("Setting", "username", "?"), "card");
    EXPECT_EQ(profile.ReadString("Setting", "password", "?"), "pw");
    EXPECT_EQ(profile.ReadString("Setting", "init", "?"), "at+eslp=0;+cgdcont=1,\"IP\",\"internet\"");
    EXPECT_EQ(profile.ReadString("Setting", "conn_mode", "?"), "0");
    EXPECT_EQ(profile.ReadString("Setting", "dns1", "?"), "1.1.1.1");
    EXPECT_EQ(profile.ReadString("Setting", "dns2", "?"), "8.8.4.4");
    EXPECT_EQ(profile.ReadString("Setting", "apn", "?"), "internet");
    EXPECT_EQ(controls.GetText(IDC_STATUS), "Saved.");
    controls.SetCurSel(IDC_CONNECTION_TYPE, 0);
    ASSERT_TRUE(form.SaveSettings());
    EXPECT_EQ(profile.ReadString("Setting", "conn_mode", "?"), "1");
}

TEST_F(SettingsFormTest, AFailedSaveIsSaidAndNeverReportedAsSaved) {
    Load("");
    profile.failWrites = true;
    EXPECT_FALSE(form.SaveSettings());
    EXPECT_EQ(messages.Shown(), std::vector<std::string>{kSaveFailedMessage});
    EXPECT_EQ(controls.GetText(IDC_STATUS), "");
    // The install button does not go on either.
    EXPECT_FALSE(form.BeginInstall(ProcessKind::Native32));
    EXPECT_TRUE(controls.IsEnabled(IDC_INSTALL));
}

TEST_F(SettingsFormTest, AFieldWithALineBreakIsRefusedBeforeAnythingIsWritten) {
    // Written out, the break would start a new line of the file: a section or key of its own.
    Load("");
    controls.SetText(IDC_USER_NAME, "card");
    controls.SetText(IDC_DNS2, "1.1.1.1\r\n[BaseSetting]\r\nlanguage=1");
    EXPECT_FALSE(form.SaveSettings());
    EXPECT_EQ(messages.Shown(), std::vector<std::string>{kSaveLineBreakMessage});
    EXPECT_EQ(profile.writeCount, 0);
    EXPECT_EQ(controls.GetText(IDC_STATUS), "");
    EXPECT_EQ(controls.GetText(IDC_DNS2), "1.1.1.1\r\n[BaseSetting]\r\nlanguage=1") << "what the user typed must stay";
}

TEST_F(SettingsFormTest, AnApnThatIsNoApnIsRefusedBeforeAnythingIsWritten) {
    for (const testing::ApnCase& c : testing::kApnCases) {
        Load("[English]\r\napnnotvalid=Not an APN.\r\n[BaseSetting]\r\nlanguage=1\r\n");
        messages.Clear();
        profile.writeCount = 0;
        controls.SetText(IDC_APN, c.apn);
        EXPECT_EQ(form.SaveSettings(), c.accepted) << c.apn;
        EXPECT_EQ(profile.writeCount > 0, c.accepted) << c.apn;
        if (!c.accepted) {
            EXPECT_EQ(messages.Shown(), std::vector<std::string>{"Not an APN."}) << "in the interface language";
            EXPECT_EQ(controls.GetText(IDC_APN), c.apn) << "what the user typed must stay";
        }
    }
    Load("");
    controls.SetText(IDC_APN, "a;b");
    messages.Clear();
    EXPECT_FALSE(form.SaveSettings());
    EXPECT_EQ(messages.Shown(), std::vector<std::string>{kApnNotValidText}) << "the English text where the file has none";
}

TEST_F(SettingsFormTest, TheInstallButtonSavesSaysInsetupdriverAndDisablesTheActions) {
    Load("");
    ASSERT_TRUE(form.BeginInstall(ProcessKind::Native32));
    EXPECT_EQ(profile.writeCount, 8);
    EXPECT_EQ(controls.GetText(IDC_STATUS), "insetupdriver");
    EXPECT_FALSE(controls.IsEnabled(IDC_INSTALL));
    EXPECT_FALSE(controls.IsEnabled(IDC_DIAL));
    EXPECT_FALSE(controls.IsEnabled(IDC_ABOUT));
    EXPECT_FALSE(controls.IsEnabled(IDC_DISCONNECT)) << "there is no dial to end";
}

TEST_F(SettingsFormTest, OnlyASaveWithANonEmptyStatusLinePutsTheButtonsBackAfterAStoppedInstall) {
    Load("[BaseSetting]\nlanguage=1\n[English]\nsaveset=\n");
    form.EndInstall((form.BeginInstall(ProcessKind::Native32), InstallResult::NoInf));
    form.SetStatusText("a line from elsewhere");
    form.SaveSettings();
    EXPECT_FALSE(controls.IsEnabled(IDC_INSTALL)) << "showing a text changes no button, nor does an empty one";
    profile.WriteString("English", "saveset", "Saved.");
    form.SaveSettings();
    EXPECT_TRUE(controls.IsEnabled(IDC_INSTALL));
    EXPECT_TRUE(controls.IsEnabled(IDC_DIAL));
    EXPECT_TRUE(controls.IsEnabled(IDC_ABOUT));
    EXPECT_FALSE(controls.IsEnabled(IDC_DISCONNECT));
}

TEST_F(SettingsFormTest, ChangingTheLanguageStoresItAndRecaptionsButKeepsTheStatus) {
    Load("[Chinese]\nABORT=CN-about\n[English]\nABORT=EN-about\nsaveset=Saved.\n");
    form.SetStatusText("keep me");
    controls.SetCurSel(IDC_LANGUAGE, 1);
    form.ChangeLanguage();
    EXPECT_EQ(profile.ReadString("BaseSetting", "language", "?"), "1");
    EXPECT_EQ(form.LanguageName(), "English");
    EXPECT_EQ(controls.GetText(IDC_ABOUT), "EN-about");
    EXPECT_EQ(controls.GetText(IDC_STATUS), "keep me");
    controls.SetCurSel(IDC_LANGUAGE, 0);
    form.ChangeLanguage();
    EXPECT_EQ(profile.ReadString("BaseSetting", "language", "?"), "0");
    EXPECT_EQ(controls.GetText(IDC_ABOUT), "CN-about");
}

TEST_F(SettingsFormTest, MessagesDefaultToTheirKeyButPleasesetToNothing) {
    Load("[Chinese]\nmodemsetsu=OK!\n");
    EXPECT_EQ(form.LookUpMessage("modemsetsu"), "OK!");
    EXPECT_EQ(form.LookUpMessage("saveset"), "saveset");
    EXPECT_EQ(form.LookUpMessage("pleaseset"), "");
}

TEST_F(SettingsFormTest, ThePortListIsRefilledAndTheLastPortSelected) {
    ports.numbers = {3, 10, 1};
    Load("");
    EXPECT_EQ(controls.Items(IDC_PORT_LIST), (std::vector<std::string>{"COM3", "COM10", "COM1"}));
    EXPECT_EQ(controls.ItemData(IDC_PORT_LIST), (std::vector<std::uint32_t>{3, 10, 1}));
    EXPECT_EQ(controls.GetText(IDC_PORT_LIST), "COM1");
    ports.numbers = {4};
    form.RefillPortList();
    EXPECT_EQ(controls.Items(IDC_PORT_LIST), std::vector<std::string>{"COM4"});
    ports.numbers = {};
    form.RefillPortList();
    EXPECT_EQ(controls.GetCurSel(IDC_PORT_LIST), -1);
}

TEST_F(SettingsFormTest, ThePlainOkTransferTakesTheEditsIntoTheMembers) {
    Load("");
    controls.SetText(IDC_PHONE, "123");
    controls.SetText(IDC_USER_NAME, "u");
    controls.SetText(IDC_PASSWORD, "p");
    form.TransferEditsToMembers();
    EXPECT_EQ(form.PhoneNumber(), "123");
    EXPECT_EQ(form.UserName(), "u");
    EXPECT_EQ(form.Password(), "p");
}

} // namespace
} // namespace vantaro
