#include "app/LinkPath.h"

#include <gtest/gtest.h>

namespace vantaro {
namespace {

// Code page 936 (GBK): a lead byte is 0x81..0xFE, and a trail byte may be any of 0x40..0xFE,
// lowercase ASCII letters included.
bool IsGbkLeadByte(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }
bool NoLeadBytes(unsigned char) { return false; }

TEST(LinkPath, GoesIntoTheDesktopFolderWhenAskedAndTheStartMenuOtherwise) {
    EXPECT_EQ(BuildLinkPath("C:\\Desktop", "C:\\Start Menu", true, &NoLeadBytes), "C:\\DESKTOP//HARBELLE.lnk");
    EXPECT_EQ(BuildLinkPath("C:\\Desktop", "C:\\Start Menu", false, &NoLeadBytes), "C:\\START MENU//HARBELLE.lnk");
}

TEST(LinkPath, AnUnresolvedFolderGivesAPathThatStartsWithTheSeparator) {
    EXPECT_EQ(BuildLinkPath("", "C:\\Start Menu", true, &NoLeadBytes), "//HARBELLE.lnk");
    EXPECT_EQ(BuildLinkPath("C:\\Desktop", "", false, &NoLeadBytes), "//HARBELLE.lnk");
}

TEST(LinkPath, UpperCasesLatinLettersButNotTheExtension) {
    EXPECT_EQ(BuildLinkPath("c:\\users\\root\\Desktop", "", true, &IsGbkLeadByte),
              "C:\\USERS\\ROOT\\DESKTOP//HARBELLE.lnk");
}

TEST(UpperCaseAnsi, LeavesChineseCharactersAsTheyAreEvenWhenATrailByteIsALowercaseLetter) {
    // "乤" is 81 61 and "媧" is 8B 7A: upper-casing their trail bytes would make other characters.
    const std::string chinese = "\x81\x61\x8B\x7A";
    EXPECT_EQ(UpperCaseAnsi("c:\\" + chinese + "\\desk", &IsGbkLeadByte), "C:\\" + chinese + "\\DESK");
    // "桌面" (D7 C0 C3 E6), then a Latin letter right after a two-byte character.
    EXPECT_EQ(BuildLinkPath("C:\\\xD7\xC0\xC3\xE6" + chinese + "x", "", true, &IsGbkLeadByte),
              "C:\\\xD7\xC0\xC3\xE6" + chinese + "X//HARBELLE.lnk");
}

TEST(UpperCaseAnsi, ALeadByteAtTheVeryEndIsKeptAndNothingIsReadPastIt) {
    EXPECT_EQ(UpperCaseAnsi("ab\x81", &IsGbkLeadByte), "AB\x81");
    EXPECT_EQ(UpperCaseAnsi("", &IsGbkLeadByte), "");
}

TEST(UpperCaseAnsi, InASingleByteCodePageEveryByteIsACharacterOfItsOwn) {
    EXPECT_EQ(UpperCaseAnsi("\x81\x61", &NoLeadBytes), "\x81\x41");
}

} // namespace
} // namespace vantaro
