// The profile rules that a hand-edited Setting.ini relies on.

#include "settings/IniDocument.h"
#include "settings/IniFileProfile.h"

#include <gtest/gtest.h>

namespace vantaro {
namespace {

std::string Read(const std::string& text, const std::string& section, const std::string& key,
                 const std::string& defaultValue = "<default>") {
    return ProfileString(IniDocument(text), section, key, defaultValue);
}

TEST(ProfileLookup, NamesMatchWithoutRegardToCaseAndBlanks) {
    const std::string file = "[Setting]\r\n  DNS1  =  10.0.0.1  \r\n";
    EXPECT_EQ(Read(file, "setting", "dns1"), "10.0.0.1");
    // The install sequence asks with a trailing blank on section and key.
    EXPECT_EQ(Read(file, "Setting ", "dns1 "), "10.0.0.1");
}

TEST(ProfileLookup, MissingFileSectionOrKeyGivesTheDefault) {
    EXPECT_EQ(Read("", "Setting", "apn", "cmnet"), "cmnet");
    EXPECT_EQ(Read("[Other]\napn=x\n", "Setting", "apn", "cmnet"), "cmnet");
    EXPECT_EQ(Read("[Setting]\nnumber=1\n", "Setting", "apn", "cmnet"), "cmnet");
}

TEST(ProfileLookup, QuotesAreStrippedOnlyWhenTheyEncloseTheWholeValue) {
    const std::string file =
        "[S]\n"
        "double=\"a b\"\n"
        "single='x'\n"
        "init=at+eslp=0;+cgdcont=1,\"IP\",\"cmnet\"\n"
        "mixed=\"a'\n"
        "lone=\"\n";
    EXPECT_EQ(Read(file, "S", "double"), "a b");
    EXPECT_EQ(Read(file, "S", "single"), "x");
    EXPECT_EQ(Read(file, "S", "init"), "at+eslp=0;+cgdcont=1,\"IP\",\"cmnet\"");
    EXPECT_EQ(Read(file, "S", "mixed"), "\"a'");
    EXPECT_EQ(Read(file, "S", "lone"), "\"");
}

TEST(ProfileLookup, FirstSectionAndFirstKeyOfANameWin) {
    const std::string file = "[S]\nk=first\nk=second\n[S]\nk=third\nonly=later\n";
    EXPECT_EQ(Read(file, "S", "k"), "first");
    EXPECT_EQ(Read(file, "S", "only"), "<default>");
}

TEST(ProfileLookup, LinesEndInAnyStyleAndTheLastNeedsNoEnding) {
    EXPECT_EQ(Read("[S]\r\na=1\r\nb=2", "S", "b"), "2");
    EXPECT_EQ(Read("[S]\ra=1\rb=2", "S", "b"), "2");
    EXPECT_EQ(Read("[S]\na=\n", "S", "a"), "");
}

TEST(ProfileLookup, SectionNamesLoseTheirBlanksAndAKeyWithoutEqualsReadsAsMissing) {
    const std::string file = "[ Setting ]\nbare\nbare=hidden\nk=v\n";
    EXPECT_EQ(Read(file, "Setting", "k"), "v");
    EXPECT_EQ(Read(file, "Setting", "bare"), "<default>");
}

TEST(ProfileLookup, ValuesAreCutAt4095Bytes) {
    const std::string longValue(5000, 'v');
    EXPECT_EQ(Read("[S]\nk=" + longValue + "\n", "S", "k"), std::string(4095, 'v'));
}

TEST(ProfileLookup, GbkBytesPassThroughUnchanged) {
    const std::string saveCaption = "\xB1\xA3\xB4\xE6\xC5\xE4\xD6\xC3";  // "保存配置" in GBK
    EXPECT_EQ(Read("[Chinese]\nSAVESETTING=" + saveCaption + "\n", "Chinese", "savesetting"), saveCaption);
}

TEST(ProfileInteger, TakesTheLeadingDecimalNumber) {
    const std::string file = "[S]\na=42abc\nb=  -7\nc=x\nd=\ne=00\n";
    IniDocument document(file);
    EXPECT_EQ(ProfileInt(document, "S", "a", 9), 42);
    EXPECT_EQ(ProfileInt(document, "S", "b", 9), -7);
    EXPECT_EQ(ProfileInt(document, "S", "c", 9), 0);
    EXPECT_EQ(ProfileInt(document, "S", "d", 9), 9);   // empty reads like missing
    EXPECT_EQ(ProfileInt(document, "S", "e", 9), 0);
    EXPECT_EQ(ProfileInt(document, "S", "missing", 500), 500);
}

TEST(ProfileInteger, AnOverlongNumberWrapsWithoutUndefinedBehaviour) {
    IniDocument document("[S]\nk=99999999999999999999\n");
    (void)ProfileInt(document, "S", "k", 0);  // the sanitizers watch this
}

TEST(ProfileWrite, ReplacesOnlyTheValueAndKeepsEveryOtherByte) {
    IniDocument document("; note\r\n\r\n[Setting]\r\n  number = 1  \r\napn=cmnet\r\n[Other]\r\nx=y\r\n");
    document.Set("Setting", "NUMBER", "*99#");
    EXPECT_EQ(document.Text(), "; note\r\n\r\n[Setting]\r\n  number = *99#  \r\napn=cmnet\r\n[Other]\r\nx=y\r\n");
    document.Set("Setting", "apn", "");
    EXPECT_EQ(document.Get("Setting", "apn"), "");
    document.Set("Other", "x", "\"quoted\"");
    EXPECT_EQ(document.Text(), "; note\r\n\r\n[Setting]\r\n  number = *99#  \r\napn=\r\n[Other]\r\nx=\"quoted\"\r\n");
}

TEST(ProfileWrite, AKeyWithoutEqualsGetsItsValueAfterTheName) {
    IniDocument document("[Setting]\r\nusername  \r\nx=1\r\n");
    document.Set("Setting", "username", "card");
    EXPECT_EQ(document.Text(), "[Setting]\r\nusername=card\r\nx=1\r\n");
}

TEST(ProfileWrite, NewLinesFollowTheFilesOwnLineEndings) {
    // Without any '\n' in the file its lines end at '\r'; a '\n' added after them would join
    // every line before it into one, and the whole file would read as missing.
    IniDocument crOnly("[Setting]\rnumber=*99#\rapn=cmnet\r[BaseSetting]\rlanguage=1");
    crOnly.Set("Setting", "dns1", "1.1.1.1");
    crOnly.Set("BaseSetting", "language", "0");
    crOnly.Set("New", "k", "v");
    EXPECT_EQ(crOnly.Text(), "[Setting]\rnumber=*99#\rapn=cmnet\rdns1=1.1.1.1\r[BaseSetting]\rlanguage=0\r[New]\rk=v\r");
    EXPECT_EQ(crOnly.Get("Setting", "number"), "*99#");
    EXPECT_EQ(crOnly.Get("Setting", "dns1"), "1.1.1.1");

    IniDocument lfOnly("[Setting]\nnumber=1\n");
    lfOnly.Set("Setting", "apn", "x");
    EXPECT_EQ(lfOnly.Text(), "[Setting]\nnumber=1\napn=x\n");

    // The last line keeps having no ending when its value changes.
    IniDocument unterminated("[S]\rk=1");
    unterminated.Set("S", "k", "2");
    EXPECT_EQ(unterminated.Text(), "[S]\rk=2");
}

TEST(ProfileWrite, AddsMissingKeysToTheirSectionAndMissingSectionsAtTheEnd) {
    IniDocument document("[Setting]\napn=cmnet\n[Other]\nx=y");
    document.Set("Setting", "dns1", "1.2.3.4");
    document.Set("BaseSetting", "language", "1");
    EXPECT_EQ(document.Get("Setting", "dns1"), "1.2.3.4");
    EXPECT_EQ(document.Get("BaseSetting", "language"), "1");
    EXPECT_EQ(document.Get("Other", "x"), "y");
    EXPECT_EQ(document.Text(), "[Setting]\napn=cmnet\ndns1=1.2.3.4\n[Other]\nx=y\n[BaseSetting]\nlanguage=1\n");
}

} // namespace
} // namespace vantaro
