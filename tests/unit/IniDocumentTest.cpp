// The profile rules that a hand-edited Setting.ini relies on.

#include "settings/IniDocument.h"
#include "settings/SettingsUpgrade.h"
#include "fakes/IniFileProfile.h"

#include <gtest/gtest.h>

#include <array>

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
    // A line ends at the next '\n' while there is one; after the last, '\r' ends the lines.
    EXPECT_EQ(Read("[S]\na=1\rb=2\rc=3", "S", "b"), "2");
    EXPECT_EQ(Read("[S]\ra=1\nb=2", "S", "a"), "<default>") << "a '\\r' before a later '\\n' ends no line";
    EXPECT_EQ(Read("[S]\ra=1\nb=2", "S", "b"), "2");
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

// A key looked up among a section's lines reads as the key read itself does, whatever the line.
TEST(ProfileSection, AKeyFoundAmongTheSectionsLinesReadsAsTheKeyItself) {
    const std::string file = "[S]\r\n  Key  =  v  \r\nq=\"quoted\"\r\nhalf=a\"\r\nempty=\r\nbare\r\nbare=hidden\r\n"
                             "dup=first\r\nDUP=second\r\nlong=" + std::string(5000, 'x') + "\r\n[S]\r\nlater=x\r\n";
    const IniDocument document(file);
    const std::vector<ProfileSectionEntry> entries = document.SectionEntries("s");
    for (const char* key : {"key", " KEY ", "q", "half", "empty", "bare", "dup", "long", "later", "missing"})
        EXPECT_EQ(FindSectionValue(entries, key).value_or("<default>"), ProfileString(document, "S", key, "<default>"))
            << key;
    EXPECT_TRUE(IniDocument("[Other]\nk=v\n").SectionEntries("S").empty());
    EXPECT_EQ(IniDocument("[S]\n; a note\n;k=v\nk=w\n").SectionEntries("S").size(), 1u)
        << "notes are left out, as the platform's section read does";
}

TEST(ProfileSection, ThePlatformsLinesBecomeEntriesUpToTheEmptyLine) {
    using namespace std::string_literals;
    const std::string lines = "a=1\0q=\"x y\"\0bare\0e=\0v=a=b\0long="s + std::string(5000, 'z') + "\0\0ignored=1\0"s;
    const std::vector<ProfileSectionEntry> entries = ParseSectionLines(lines);
    ASSERT_EQ(entries.size(), 6u);
    EXPECT_EQ(entries[0].key, "a");
    EXPECT_EQ(entries[0].value, "1");
    EXPECT_EQ(entries[1].value, "x y") << "quotes go as in a key read";
    EXPECT_EQ(entries[2].key, "bare");
    EXPECT_FALSE(entries[2].value.has_value()) << "a line without '=' has no value";
    EXPECT_EQ(entries[3].value, "") << "an empty value is a value";
    EXPECT_EQ(entries[4].value, "a=b") << "the key ends at the first '='";
    EXPECT_EQ(entries[5].value, std::string(4095, 'z')) << "cut as a key read is";
    EXPECT_TRUE(ParseSectionLines(std::string()).empty());
}

TEST(ProfileSection, ALongValueIsCutAfterItsLastWholeDoubleByteCharacter) {
    // "保存" in GBK again and again after one ASCII byte: 4095 bytes would end inside a character.
    std::string gbk = "a";
    while (gbk.size() < 5000) gbk += "\xB1\xA3\xB4\xE6";
    const auto isLeadByte = [](unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; };
    const std::vector<ProfileSectionEntry> entries = ParseSectionLines("k=" + gbk + std::string(2, '\0'), isLeadByte);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(*entries[0].value, gbk.substr(0, 4095)) << "4095 bytes hold 'a' and 2047 whole characters";
    const std::vector<ProfileSectionEntry> even = ParseSectionLines("k=" + gbk.substr(1) + std::string(2, '\0'), isLeadByte);
    EXPECT_EQ(even[0].value->size(), 4094u) << "the character that would take bytes 4095 and 4096 is left out";
}

TEST(ProfileInteger, TakesTheLeadingDecimalNumber) {
    const std::string file = "[S]\na=42abc\nb=  -7\nc=x\nd=\ne=00\nf=99999999999999999999\n";
    IniDocument document(file);
    EXPECT_EQ(ProfileInt(document, "S", "a", 9), 42);
    EXPECT_EQ(ProfileInt(document, "S", "b", 9), -7);
    EXPECT_EQ(ProfileInt(document, "S", "c", 9), 0);
    EXPECT_EQ(ProfileInt(document, "S", "d", 9), 9);   // empty reads like missing
    EXPECT_EQ(ProfileInt(document, "S", "e", 9), 0);
    EXPECT_EQ(ProfileInt(document, "S", "missing", 500), 500);
    // An over-long number wraps modulo 2^32 as the platform's read does (ProfileAgreement holds
    // the two together), and the sanitizers see no signed overflow on the way.
    EXPECT_EQ(ProfileInt(document, "S", "f", 9), 1661992959);
}

// A write changes only what it writes: the value in its line (a key without '=' gets one after
// its name), a new key after its section's last, a new section at the end. New lines end as the
// file's own do: without any '\n' its lines end at '\r', and a '\n' added after them would join
// every line before it into one, so that the whole file read as missing. A last line without an
// ending keeps having none. The values a row names read back so from the text written.
TEST(ProfileWrite, ChangesOnlyWhatItWritesAndEndsNewLinesAsTheFileDoes) {
    using Entry = std::array<const char*, 3>;  // section, key, value
    const struct {
        const char* before;
        std::vector<Entry> writes;
        const char* after;
        std::vector<Entry> reads;
    } rows[] = {
        {"; note\r\n\r\n[Setting]\r\n  number = 1  \r\napn=cmnet\r\n[Other]\r\nx=y\r\n",
         {{"Setting", "NUMBER", "*99#"}, {"Setting", "apn", ""}, {"Other", "x", "\"quoted\""}},
         "; note\r\n\r\n[Setting]\r\n  number = *99#  \r\napn=\r\n[Other]\r\nx=\"quoted\"\r\n", {{"Setting", "apn", ""}}},
        {"[Setting]\r\nusername  \r\nx=1\r\n", {{"Setting", "username", "card"}}, "[Setting]\r\nusername=card\r\nx=1\r\n", {}},
        {"[Setting]\rnumber=*99#\rapn=cmnet\r[BaseSetting]\rlanguage=1",
         {{"Setting", "dns1", "1.1.1.1"}, {"BaseSetting", "language", "0"}, {"New", "k", "v"}},
         "[Setting]\rnumber=*99#\rapn=cmnet\rdns1=1.1.1.1\r[BaseSetting]\rlanguage=0\r[New]\rk=v\r",
         {{"Setting", "number", "*99#"}, {"Setting", "dns1", "1.1.1.1"}}},
        {"[Setting]\nnumber=1\n", {{"Setting", "apn", "x"}}, "[Setting]\nnumber=1\napn=x\n", {}},
        {"[S]\rk=1", {{"S", "k", "2"}}, "[S]\rk=2", {}},
        {"[Setting]\napn=cmnet\n[Other]\nx=y", {{"Setting", "dns1", "1.2.3.4"}, {"BaseSetting", "language", "1"}},
         "[Setting]\napn=cmnet\ndns1=1.2.3.4\n[Other]\nx=y\n[BaseSetting]\nlanguage=1\n",
         {{"Setting", "dns1", "1.2.3.4"}, {"BaseSetting", "language", "1"}, {"Other", "x", "y"}}},
    };
    for (const auto& row : rows) {
        IniDocument document(row.before);
        for (const auto& [section, key, value] : row.writes) document.Set(section, key, value);
        EXPECT_EQ(document.Text(), row.after);
        const IniDocument reread(document.Text());
        for (const auto& [section, key, value] : row.reads)
            EXPECT_EQ(reread.Get(section, key), value) << "[" << section << "] " << key << " in:\n" << row.after;
    }
}

// An upgrade: the earlier file's values, notes and unknown keys stay byte for byte; the texts
// are the new version's; keys and sections new in this version arrive with their values.
TEST(SettingsUpgrade, KeepsEveryValueAndTakesTheNewTextsAndKeys) {
    const struct {
        const char* kept;
        const char* shipped;
        const char* upgraded;
    } cases[] = {
        // New keys follow the section's last key, before the notes about what comes next.
        {"[Setting]\r\n; mine\r\napn=corp\r\nold_key=1\r\n\r\n; texts\r\n[Chinese]\r\nCONNECT=\xB2\xA6\r\n",
         "[Setting]\r\napn=cmnet\r\nbilling=1\r\n[Chinese]\r\nCONNECT=\xB2\xA6\xBA\xC5\r\nBALANCE=\xD3\xE0\r\n",
         "[Setting]\r\n; mine\r\napn=corp\r\nold_key=1\r\nbilling=1\r\n\r\n; texts\r\n[Chinese]\r\n"
         "CONNECT=\xB2\xA6\xBA\xC5\r\nBALANCE=\xD3\xE0\r\n"},
        // An emptied value is a value; a key without '=' is none; a new section comes whole.
        {"[Setting]\napn=\ndns1\n", "[Setting]\r\napn=cmnet\r\ndns1=1.1.1.1\r\n[English]\r\nTEL=Tel:\r\n",
         "[Setting]\napn=\ndns1=1.1.1.1\n[English]\nTEL=Tel:\n"},
        // Quotes as the shipped file has them; the same text leaves the line as it was.
        {"[english]\r\nTEL = Tel:\r\nINIT='x'\r\n", "[English]\r\nTEL=Tel:\r\nINIT=\"a;b\"\r\n",
         "[english]\r\nTEL = Tel:\r\nINIT=\"a;b\"\r\n"},
        {"", "[Setting]\r\napn=cmnet\r\n", "[Setting]\r\napn=cmnet\r\n"},
    };
    for (const auto& c : cases) EXPECT_EQ(settings::UpgradedSettings(c.kept, c.shipped), c.upgraded) << c.kept;
}

} // namespace
} // namespace vantaro
