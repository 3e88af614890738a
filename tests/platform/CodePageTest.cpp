// The conversions between the ANSI code page, UTF-8 and UTF-16, against Windows' own, in the
// code page of a Chinese Windows (936, GBK).

#include "platform/win32/CodePage.h"

#include <gtest/gtest.h>

#include <string>

namespace vantaro {
namespace {

// "中文" in its three forms.
const std::string kGbk = "\xD6\xD0\xCE\xC4";
const std::string kUtf8 = "\xE4\xB8\xAD\xE6\x96\x87";
const std::wstring kWide = L"\x4E2D\x6587";

class CodePageTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(::GetACP(), 936u) << "the test runs in the zh_CN locale"; }
};

TEST_F(CodePageTest, EachFormReadsAsTheSameTextInTheOthers) {
    const struct {
        std::string ansi;
        std::string utf8;
        std::wstring wide;
    } cases[] = {
        {"", "", L""},
        {"COM5", "COM5", L"COM5"},
        {kGbk + " COM5", kUtf8 + " COM5", kWide + L" COM5"},
        {std::string("a\0b", 3), std::string("a\0b", 3), std::wstring(L"a\0b", 3)},  // the whole text, NUL and all
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WideFromAnsi(c.ansi), c.wide) << c.utf8;
        EXPECT_EQ(WideFromUtf8(c.utf8), c.wide) << c.utf8;
        EXPECT_EQ(WideFromValidUtf8(c.utf8), c.wide) << c.utf8;
        EXPECT_EQ(AnsiFromWide(c.wide), c.ansi) << c.utf8;
        EXPECT_EQ(ExactAnsiFromWide(c.wide), c.ansi) << c.utf8;
        EXPECT_EQ(Utf8FromWide(c.wide), c.utf8) << c.utf8;
        EXPECT_EQ(Utf8FromAnsi(c.ansi), c.utf8) << c.utf8;
        EXPECT_EQ(AnsiFromUtf8(c.utf8), c.ansi) << c.utf8;
        EXPECT_EQ(Utf16FromAnsi(c.ansi), std::u16string(c.wide.begin(), c.wide.end())) << c.utf8;
        EXPECT_EQ(ExactAnsiFromUtf16(Utf16FromWide(c.wide)), c.ansi) << c.utf8;
        EXPECT_EQ(WideFromUtf16(Utf16FromWide(c.wide)), c.wide) << c.utf8;
    }
}

TEST_F(CodePageTest, ACharacterThatTheCodePageLacksIsRefusedOnlyWhereAnExactFormIsAskedFor) {
    // Thai, Hebrew and Arabic letters: GBK has none of them.
    for (const std::wstring& wide : {std::wstring(L"\x0E01"), std::wstring(L"APN \x05D0"), std::wstring(L"\x0627")}) {
        EXPECT_EQ(ExactAnsiFromWide(wide), std::nullopt) << Utf8FromWide(wide) << ": no look-alike is taken";
        EXPECT_FALSE(AnsiFromWide(wide).empty()) << Utf8FromWide(wide) << ": '?' or a look-alike stands in";
        EXPECT_EQ(ExactAnsiFromUtf16(Utf16FromWide(wide)), std::nullopt) << Utf8FromWide(wide);
    }
    EXPECT_EQ(AnsiFromUtf8("\xE0\xB8\x81"), "?") << "Thai ko kai has no GBK form";
}

TEST_F(CodePageTest, BytesThatAreNotUtf8AreToldApartWhereThatDecides) {
    for (const std::string& bytes : {kGbk, std::string("\xFF"), std::string("\xE4\xB8")}) {
        EXPECT_EQ(WideFromValidUtf8(bytes), std::nullopt) << "no name is guessed at";
        EXPECT_EQ(AnsiFromUtf8(bytes), bytes) << "text that is not UTF-8 comes back unchanged";
        EXPECT_NE(WideFromUtf8(bytes).find(L'\xFFFD'), std::wstring::npos) << "the lenient reading marks what it lost";
    }
}

TEST_F(CodePageTest, AnUnpairedSurrogateBecomesTheReplacementCharacterInUtf8) {
    EXPECT_EQ(Utf8FromWide(std::wstring(L"a\xD800") + L"b"), "a\xEF\xBF\xBD" "b");
}

} // namespace
} // namespace vantaro
