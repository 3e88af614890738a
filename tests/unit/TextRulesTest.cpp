// The small text rules shared by the subsystems and the helper tools.

#include "platform/TextRules.h"

#include <gtest/gtest.h>

#include <climits>

namespace vantaro {
namespace {

TEST(LeadingInteger, ReadsLikeAtoiAndStopsAtTheNearestLimit) {
    const struct {
        const char* text;
        std::int32_t number;
    } cases[] = {
        {"115200", 115200},  {"  9600 baud", 9600}, {"\t\n+57600", 57600}, {"", 0},
        {"x115200", 0},      {"-1", -1},            {"- 1", 0},            {"2147483647", INT_MAX},
        {"2147483648", INT_MAX}, {"-2147483648", INT_MIN}, {"-2147483649", INT_MIN},
        {"99999999999999999999", INT_MAX}, {"-99999999999999999999", INT_MIN},
    };
    for (const auto& c : cases) EXPECT_EQ(LeadingInteger(c.text), c.number) << "text: " << c.text;
}

TEST(EqualsIgnoringAsciiCase, FoldsOnlyAsciiLettersAndComparesWholeStrings) {
    EXPECT_TRUE(EqualsIgnoringAsciiCase("ZOR GPRS Modem", "zor gprs MODEM"));
    EXPECT_TRUE(EqualsIgnoringAsciiCase("", ""));
    EXPECT_FALSE(EqualsIgnoringAsciiCase("ZOR GPRS Modem", "ZOR GPRS Modem "));
    EXPECT_FALSE(EqualsIgnoringAsciiCase("\xC4", "\xE4")) << "only ASCII letters are folded";
    EXPECT_FALSE(EqualsIgnoringAsciiCase("[", "{")) << "the bytes next to the letters are not letters";
}

TEST(AppendUtf8, WritesEachCodePointInTheFewestBytesItsRangeTakes) {
    const struct {
        std::uint32_t codePoint;
        const char* bytes;
    } cases[] = {
        {0x41, "A"},
        {0x7F, "\x7F"},
        {0x80, "\xC2\x80"},
        {0x7FF, "\xDF\xBF"},
        {0x800, "\xE0\xA0\x80"},
        {0x4E2D, "\xE4\xB8\xAD"},  // 中
        {0xFFFD, "\xEF\xBF\xBD"},
        {0xFFFF, "\xEF\xBF\xBF"},
        {0x10000, "\xF0\x90\x80\x80"},
        {0x1F4F6, "\xF0\x9F\x93\xB6"},
        {0x10FFFF, "\xF4\x8F\xBF\xBF"},
        {0xD800, "\xED\xA0\x80"},  // an unpaired surrogate keeps its own three bytes
        {0xDFFF, "\xED\xBF\xBF"},
    };
    for (const auto& c : cases) {
        std::string bytes = "x";
        AppendUtf8(bytes, c.codePoint);
        EXPECT_EQ(bytes, std::string("x") + c.bytes) << "U+" << std::hex << c.codePoint;
    }
}

} // namespace
} // namespace vantaro
