// The INF reader: how lines, quotes, notes, continuations, %strings%, encodings and names read.

#include "modem/InfFile.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace vantaro {
namespace {

using ::testing::ElementsAre;

struct LineCase {
    const char* name;
    std::string text;      // a file whose section [S] holds the line(s) read
    std::string key;       // of the first line of [S]; "-" when it has none
    std::vector<std::string> fields;
};

void PrintTo(const LineCase& c, std::ostream* out) { *out << c.name; }

class InfLineTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(InfLineTest, ReadsAsThePlatformReadsIt) {
    const InfFile inf(GetParam().text);
    ASSERT_TRUE(inf.Valid()) << "fault on line " << inf.ErrorLine();
    const std::vector<InfLine> lines = inf.Lines("S");
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0].hasKey ? lines[0].key : "-", GetParam().key);
    EXPECT_EQ(lines[0].fields, GetParam().fields);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, InfLineTest,
    ::testing::Values(
        LineCase{"BlanksAroundPartsAreDropped", "[S]\n  Key  =  a b ,  c  \n", "Key", {"a b", "c"}},
        LineCase{"ANoteEndsTheLine", "[S]\nKey=a ; b, c\n", "Key", {"a"}},
        LineCase{"QuotesKeepBlanksAndSeparators", "[S]\nKey=\" a; b, c=d \",e\n", "Key", {" a; b, c=d ", "e"}},
        LineCase{"TwoQuotesAreOne", "[S]\nKey=\"say \"\"AT\"\"\"\n", "Key", {"say \"AT\""}},
        LineCase{"QuotesEndAtTheLineEnd", "[S]\nKey=\"open, ; still\n", "Key", {"open, ; still"}},
        LineCase{"ACommaBeforeAnyEqualsMeansNoKey", "[S]\na,b=c\n", "-", {"a", "b=c"}},
        LineCase{"EmptyFieldsStay", "[S]\nKey=,,x\n", "Key", {"", "", "x"}},
        LineCase{"NothingAfterTheEqualsIsOneEmptyField", "[S]\nKey=\n", "Key", {""}},
        LineCase{"ABackslashAtTheLineEndJoinsTheNext", "[S]\nKey=a, \\\n    b\n", "Key", {"a", "b"}},
        LineCase{"ANoteMayFollowTheJoiningBackslash", "[S]\nKey=a\\ ; note\nb\n", "Key", {"ab"}},
        LineCase{"ABackslashInsideTextIsText", "[S]\nKey=C:\\Windows\\inf\n", "Key", {"C:\\Windows\\inf"}},
        LineCase{"AKeyCanBeJoinedToo", "[S]\nLong\\\nKey=v\n", "LongKey", {"v"}},
        LineCase{"StringsResolveInKeysAndFields", "[S]\n%Name%=%Value%,x%Value%y\n[Strings]\nname=\"N\"\nVALUE=v\n",
                 "N", {"v", "xvy"}},
        LineCase{"StringsMayHoldSeparators", "[S]\nKey=%List%\n[Strings]\nList=\"a, b; c\"\n", "Key", {"a, b; c"}},
        LineCase{"DoublePercentIsOnePercent", "[S]\nKey=100%%\n", "Key", {"100%"}},
        LineCase{"UnknownTokensAndDirectoryNumbersStay", "[S]\nKey=%12%\\usbser.sys,%nope%,50%\n", "Key",
                 {"%12%\\usbser.sys", "%nope%", "50%"}},
        LineCase{"ACarriageReturnAloneIsABlank", "[S]\r\nKey=a\rOther=b\r\n", "Key", {"a\rOther=b"}},
        LineCase{"ANulReadsAsABlank", std::string("[S]\nKey=a\0b\n", 12), "Key", {"a b"}},
        LineCase{"CtrlZEndsTheFile", "[S]\nKey=a\x1A" "b\n[T]\n", "Key", {"a"}}),
    [](const ::testing::TestParamInfo<LineCase>& info) { return std::string(info.param.name); });

TEST(InfFile, NamesMatchWithoutRegardToCaseAndSectionsOfOneNameAreOne) {
    const InfFile inf("[Models]\nA=1\n[Other]\nX=0\n[MODELS]\nB=2\n");
    EXPECT_TRUE(inf.HasSection("models"));
    EXPECT_THAT(inf.SectionNames(), ElementsAre("Models", "Other"));
    ASSERT_EQ(inf.Lines("mOdElS").size(), 2u);
    EXPECT_EQ(inf.Lines("Models")[1].key, "B");
    EXPECT_EQ(inf.Value("models", "b"), "2");
    EXPECT_EQ(inf.Value("Models", "C"), std::nullopt);
    EXPECT_EQ(inf.Value("Missing", "A"), std::nullopt);
    EXPECT_EQ(InfFile("[S]\nzorser.sys\n").Value("S", "ZORSER.SYS"), "zorser.sys") << "a line of one field is its key";
}

TEST(InfFile, ASectionNameKeepsItsBlanksAndTheRestOfItsLineIsIgnored) {
    const InfFile inf("[ Version ] Signature=x\n[Version]\nA=1\n");
    EXPECT_THAT(inf.SectionNames(), ElementsAre(" Version ", "Version"));
    EXPECT_EQ(inf.Lines("Version").size(), 1u);
}

struct FaultCase {
    const char* name;
    std::string text;
    std::size_t line;
};

void PrintTo(const FaultCase& c, std::ostream* out) { *out << c.name; }

class InfFaultTest : public ::testing::TestWithParam<FaultCase> {};

TEST_P(InfFaultTest, MakesTheFileOneThePlatformRefuses) {
    const InfFile inf(GetParam().text);
    EXPECT_FALSE(inf.Valid());
    EXPECT_EQ(inf.ErrorLine(), GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, InfFaultTest,
    ::testing::Values(FaultCase{"ALineBeforeTheFirstSection", "; a note is fine\n\nKey=1\n[S]\n", 3},
                      FaultCase{"ASectionNameWithoutItsBracket", "[S]\nA=1\n[Open\n", 3},
                      FaultCase{"ASectionNameOver255Characters", "[S]\n[" + std::string(256, 'n') + "]\n", 2}),
    [](const ::testing::TestParamInfo<FaultCase>& info) { return std::string(info.param.name); });

TEST(InfFile, ASectionNameOf255CharactersIsFine) {
    EXPECT_TRUE(InfFile("[" + std::string(255, 'n') + "]\n").Valid());
}

TEST(InfFile, Utf16TextComesOutAsUtf8) {
    // "[S]", then K=<U+00E9 U+4E2D U+1F600> and a lone surrogate, as UTF-16LE.
    const std::string bytes("\xFF\xFE[\0S\0]\0\n\0K\0=\0\xE9\0\x2D\x4E\x3D\xD8\x00\xDE\x00\xD8", 24);
    const InfFile inf(bytes);
    EXPECT_EQ(inf.Value("S", "K"), "\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80\xEF\xBF\xBD");
}

} // namespace
} // namespace vantaro
