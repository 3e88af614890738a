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

} // namespace
} // namespace vantaro
