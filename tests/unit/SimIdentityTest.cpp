// Which SIM is in the phone: its ICCID from AT+CCID or from EF_ICCID, most of it hidden, and
// the operator's name from EF_SPN.

#include "phone/SimIdentity.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vantaro {
namespace {

using Lines = std::vector<std::string>;

TEST(SimIdentityAnswers, IccidIsEighteenToTwentyDigitsFromEitherCommand) {
    const struct {
        Lines lines;
        const char* digits;  // nullptr: no ICCID
        const char* shown;
    } cases[] = {
        {{"+CCID: 89860012345678901234", "OK"}, "89860012345678901234", "898600**************"},
        {{"+ICCID: 8986001234567890123F", "OK"}, "8986001234567890123", "898600*************"},
        {{"AT+CCID", "+CCID: \"898600123456789012\"", "OK"}, "898600123456789012", "898600************"},
        {{"89860012345678901234", "OK"}, "89860012345678901234", nullptr},
        {{"+CRSM: 144,0,\"98680021436587092143\"", "OK"}, "89860012345678901234", nullptr},
        {{"+CRSM: 144,0,\"986800214365870921F3\"", "OK"}, "8986001234567890123", nullptr},
        {{"+CRSM: 144,0,\"98680021436587092A43\"", "OK"}, nullptr, nullptr},
        {{"+CRSM: 106,130", "OK"}, nullptr, nullptr},
        {{"+CCID: 8986001234567890123A", "OK"}, nullptr, nullptr},
        {{"+CCID: 89860012345678901", "OK"}, nullptr, nullptr},
        {{"+CCID: 898600123456789012345", "OK"}, nullptr, nullptr},
        {{"+CCID: 89860012345678901234", "+CCID: 89860012345678901235", "OK"}, nullptr, nullptr},
        {{"+CME ERROR: 10"}, nullptr, nullptr},
    };
    for (const auto& c : cases) {
        const std::optional<Iccid> iccid = ReadIccid(c.lines);
        const std::string lines = testing::PrintToString(c.lines);
        ASSERT_EQ(iccid.has_value(), c.digits != nullptr) << lines;
        if (!iccid) continue;
        EXPECT_EQ(iccid->digits, c.digits) << lines;
        if (c.shown) {
            EXPECT_EQ(ShownIccid(*iccid), c.shown) << lines;
        }
    }
}

TEST(SimIdentityAnswers, ServiceProviderNameInEachFormASimWritesIt) {
    const struct {
        const char* file;  // the hex of +CRSM: 144,0,"..."; nullptr for a refused read
        const char* name;  // nullptr: no name
        int condition;
    } cases[] = {
        {"01434D4343FFFFFFFFFFFFFFFFFFFFFFFF", "CMCC", 1},
        {"001B65FFFFFFFFFFFFFFFFFFFFFFFFFFFF", "\xE2\x82\xAC", 0},
        {"00804E2D56FD79FB52A8FFFFFFFFFFFFFF", "\xE4\xB8\xAD\xE5\x9B\xBD\xE7\xA7\xBB\xE5\x8A\xA8", 0},
        {"028103089CA2A1FFFFFFFFFFFFFFFFFFFF", "\xD0\x9C\xD0\xA2\xD0\xA1", 2},
        {"00820204108031FFFFFFFFFFFFFFFFFFFF", "\xD0\x90" "1", 0},
        {"00FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF", nullptr, 0},
        {"00810F089CA2A1FFFFFFFFFFFFFFFFFFFF", nullptr, 0},
        {"00C34D4343FFFFFFFFFFFFFFFFFFFFFFFF", nullptr, 0},
        {"01434D4343", nullptr, 0},
        {nullptr, nullptr, 0},
    };
    for (const auto& c : cases) {
        const Lines lines = c.file ? Lines{std::string("+CRSM: 144,0,\"") + c.file + "\"", "OK"}
                                   : Lines{"+CRSM: 106,130", "OK"};
        const std::optional<ServiceProviderName> name = ReadServiceProviderName(lines);
        const std::string shown = c.file ? c.file : "refused";
        ASSERT_EQ(name.has_value(), c.name != nullptr) << shown;
        if (!name) continue;
        EXPECT_EQ(name->utf8, c.name) << shown;
        EXPECT_EQ(name->displayCondition, c.condition) << shown;
    }
}

} // namespace
} // namespace vantaro
