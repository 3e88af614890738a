// The program's own writer of the settings file: a save changes the written values and keeps
// every other byte, in whatever encoding the file has.

#include "fakes/MemoryProfile.h"
#include "fakes/Utf16Bytes.h"
#include "settings/IniDocument.h"
#include "settings/ProfileFile.h"
#include "settings/ProfileSnapshot.h"

#include <gtest/gtest.h>

namespace vantaro {
namespace {

// Latin-1 stands in for the system code page: every byte is one character.
std::u16string Latin1(const std::string& ansi) {
    std::u16string units;
    for (unsigned char c : ansi) units += static_cast<char16_t>(c);
    return units;
}

std::string Write(const std::string& file, const std::vector<ProfileEntry>& entries, const std::string& section = "Setting") {
    const std::optional<std::string> written = WriteProfileValues(file, section, entries, Latin1);
    EXPECT_TRUE(written.has_value()) << "the write was refused";
    return written.value_or("<refused>");
}

using testing::Utf16Le;

TEST(ProfileFileEncoding, IsTakenFromTheByteOrderMark) {
    EXPECT_EQ(DetectProfileEncoding(""), ProfileEncoding::Ansi);
    EXPECT_EQ(DetectProfileEncoding("[Setting]\r\n"), ProfileEncoding::Ansi);
    EXPECT_EQ(DetectProfileEncoding("\xEF\xBB\xBF[S]"), ProfileEncoding::Utf8);
    EXPECT_EQ(DetectProfileEncoding("\xFF\xFE["), ProfileEncoding::Utf16LittleEndian);
    EXPECT_EQ(DetectProfileEncoding("\xFE\xFF"), ProfileEncoding::Utf16BigEndian);
    EXPECT_EQ(DetectProfileEncoding("\xFF"), ProfileEncoding::Ansi);
}

TEST(ProfileFileEncoding, Utf16SurvivesTheWayThroughBytesEvenWithLoneSurrogates) {
    const std::u16string units = {u'a', 0x4E2D, 0xD83D, 0xDE00, 0xD800, u'=', 0xDC00, 0xDBFF, 0xDFFF, 0xFFFF, 0};
    const std::string bytes = Utf16ToWtf8(units);
    EXPECT_EQ(Wtf8ToUtf16(bytes), units);
    EXPECT_EQ(Utf16ToWtf8(u"\u4E2D="), "\xE4\xB8\xAD=");
}

TEST(ProfileFileEncoding, BytesNotOfThatFormAreNotTakenForText) {
    for (const char* bad : {"\x80", "\xC0\xAF", "\xE4\xB8", "\xF5\x80\x80\x80", "\xED\xA0\x80\xED\xB0\x80", "\xFF"})
        EXPECT_FALSE(Wtf8ToUtf16(bad).has_value()) << bad;
}

TEST(ProfileFileWrite, KeepsEveryByteOutsideTheWrittenValues) {
    // Notes, blank lines, blanks around names, mixed line endings, invalid GBK, a NUL and the
    // DOS end-of-file mark: the platform's own writer loses or changes each of them.
    const std::string nul(1, '\0');
    const std::string head = "; note\r\n\r\n[Chinese]\r\ncaption=\x81\x20\xFF\xB1\r\n[Setting]\r\n";
    const std::string tail = "\n[Other]\r\nx=y\r\n\x1a";
    EXPECT_EQ(Write(head + "  number = 1  \r\nnul=a" + nul + "b\r\napn\n" + tail,
                    {{"number", "*99#"}, {"apn", "3gnet"}, {"dns1", "8.8.8.8"}}),
              head + "  number = *99#  \r\nnul=a" + nul + "b\r\napn=3gnet\ndns1=8.8.8.8\n" + tail);
}

TEST(ProfileFileWrite, AMissingFileGetsTheSectionAndItsValues) {
    EXPECT_EQ(Write("", {{"number", "1"}, {"apn", "cmnet"}}), "[Setting]\r\nnumber=1\r\napn=cmnet\r\n");
}

TEST(ProfileFileWrite, AUtf16FileStaysUtf16WithEveryOtherUnitInPlace) {
    const std::u16string text = u"[\u4E2D\u6587]\r\nk=\xD800v\r\n[Setting]\r\nnumber=1\r\n";
    const std::string written = Write(Utf16Le(text) + "\x41", {{"number", "\xE9t\xE9"}, {"apn", "x"}});
    EXPECT_EQ(written, Utf16Le(u"[\u4E2D\u6587]\r\nk=\xD800v\r\n[Setting]\r\nnumber=\u00E9t\u00E9\r\napn=x\r\n") + "\x41");

    std::string bigEndian = "\xFE\xFF";
    for (char16_t unit : std::u16string(u"[Setting]\r\nnumber=1\r\n")) {
        bigEndian += static_cast<char>(unit >> 8);
        bigEndian += static_cast<char>(unit & 0xFF);
    }
    EXPECT_EQ(Write(bigEndian, {{"number", "2"}}).substr(bigEndian.size() - 6), std::string("\0" "2\0\r\0\n", 6));
}

TEST(ProfileFileWrite, AUtf8FileGetsItsValuesInUtf8AndKeepsItsOtherBytes) {
    const std::string file = "\xEF\xBB\xBF[Setting]\r\nbad=\xFF\xFE\r\nnumber=1\r\n";
    EXPECT_EQ(Write(file, {{"number", "\xE9"}}), "\xEF\xBB\xBF[Setting]\r\nbad=\xFF\xFE\r\nnumber=\xC3\xA9\r\n");
}

TEST(ProfileFileWrite, ValuesThatWouldBreakTheirLineAreRefused) {
    for (const std::string& value : std::vector<std::string>{"a\r\n[BaseSetting]", "a\rb", "a\nb", std::string("a\0b", 3)})
        EXPECT_FALSE(WriteProfileValues("[Setting]\r\n", "Setting", {{"number", value}}, Latin1).has_value());
    EXPECT_FALSE(WriteProfileValues("", "Set\nting", {{"number", "1"}}, Latin1).has_value());
    EXPECT_FALSE(WriteProfileValues("", "Setting", {{"a=b", "1"}}, Latin1).has_value());
    EXPECT_FALSE(WriteProfileValues("", "Setting", {{"[x]", "1"}}, Latin1).has_value());
    // Nothing of a refused write is done, even of the values before the bad one.
    EXPECT_FALSE(WriteProfileValues("", "Setting", {{"number", "1"}, {"apn", "a\nb"}}, Latin1).has_value());
    EXPECT_TRUE(CanWriteProfileValue("Setting", "number", "%s%n%x [x] = \"'"));
}

TEST(ProfileFileWrite, AValueWithBlanksAtItsEndsOrInQuotesReadsBackAsTyped) {
    const struct {
        std::string typed;
        std::string line;  // as the file stores it
    } cases[] = {
        {"abc ", "\"abc \""},     {"\"pw\"", "\"\"pw\"\""}, {" x", "\" x\""},   {"'q'", "\"'q'\""},
        {"\tt\x1a", "\"\tt\x1a\""}, {"\"\"", "\"\"\"\""},   {" ", "\" \""},
        // Nothing that a read changes: stored as typed.
        {"plain", "plain"},       {"in side", "in side"},   {"a\"", "a\""},     {"\"", "\""},
        {"\"x'", "\"x'"},          {"", ""},
    };
    for (const auto& c : cases) {
        const std::string file = Write("[Setting]\r\n", {{"password", c.typed}});
        EXPECT_EQ(file, "[Setting]\r\npassword=" + c.line + "\r\n") << "typed: [" << c.typed << "]";
        EXPECT_EQ(IniDocument(file).Get("Setting", "password"), c.typed) << "typed: [" << c.typed << "]";
    }
}

TEST(ProfileFileReadBack, IsTheValueAsTyped) {
    EXPECT_TRUE(ReadsBackAsWritten("cmnet", "cmnet"));
    EXPECT_TRUE(ReadsBackAsWritten("  cmnet \t", "  cmnet \t"));
    EXPECT_FALSE(ReadsBackAsWritten("cmnet", "  cmnet \t")) << "a changed value is no save";
    EXPECT_FALSE(ReadsBackAsWritten("quoted", "\"quoted\""));
    EXPECT_TRUE(ReadsBackAsWritten("", ""));
    EXPECT_FALSE(ReadsBackAsWritten("old", "new"));
    EXPECT_FALSE(ReadsBackAsWritten("\x01", ""));  // the key was not found at all

    const std::string longValue(5000, 'v');
    EXPECT_TRUE(ReadsBackAsWritten(std::string(kMaxProfileString, 'v'), longValue));
    EXPECT_TRUE(ReadsBackAsWritten(std::string(kMaxProfileString - 1, 'v'), longValue));  // cut at a character
    EXPECT_FALSE(ReadsBackAsWritten("", longValue));
    EXPECT_FALSE(ReadsBackAsWritten(std::string(kMaxProfileString, 'w'), longValue));
}

// One read of the file answers where the program's reader reads it as the platform does; any
// other file, and every read after a write, goes to the profile.
TEST(ProfileSnapshot, ReadsOnceOnlyWhatItReadsAsThePlatformDoes) {
    const std::string plain = "[Setting]\nnumber=1\n";
    const struct {
        const char* what;
        std::string text;
        bool fromOneRead;
    } rows[] = {
        {"plain", plain, true},
        {"a byte-order mark", "\xEF\xBB\xBF; note\n" + plain, false},
        {"a line longer than a read", plain + "k=" + std::string(kMaxProfileString, 'x') + "\n", false},
    };
    for (const auto& row : rows) {
        testing::MemoryProfile profile(row.text);
        ProfileSnapshot file(profile);
        EXPECT_EQ(file.ReadString("Setting", "number", ""), "1") << row.what;
        EXPECT_EQ(profile.keyReads == 0, row.fromOneRead) << row.what;
        EXPECT_TRUE(file.WriteString("Setting", "number", "2"));
        EXPECT_EQ(file.ReadString("Setting", "number", ""), "2") << row.what << ": a read after the write";
    }
}

} // namespace
} // namespace vantaro
