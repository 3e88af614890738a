// The SIM's operator from the phone's answers: the IMSI, the MNC length in EF_AD, the registered
// network, and the choice between them.

#include "phone/SimOperator.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vantaro {
namespace {

using namespace providers;

using Lines = std::vector<std::string>;

// A phone's answers, as the phone check's conversation hands them over: with the final result,
// sometimes with the echo and unsolicited lines.
const Lines kLocked = {"+CME ERROR: 11"};
const Lines kChinaMobileImsi = {"460001234567890", "OK"};
const Lines kUsImsi = {"310260123456789", "OK"};
const Lines kTwoDigits = {"+CRSM: 144,0,\"00000002\"", "OK"};
const Lines kThreeDigits = {"+CRSM: 144,0,\"00000003\"", "OK"};
const Lines kEfAdRefused = {"+CRSM: 106,130,\"\"", "OK"};
const Lines kNotRegistered = {"+COPS: 0", "OK"};

Lines Cops(const std::string& numeric) { return {"+COPS: 0,2,\"" + numeric + "\",7", "OK"}; }

TEST(SimOperatorAnswers, ImsiIsFourteenOrFifteenDigitsAndOnlyItsHeadIsKept) {
    const struct {
        Lines lines;
        const char* head;  // nullptr: no IMSI
    } cases[] = {
        {kChinaMobileImsi, "460001"},
        {{"46000123456789", "OK"}, "460001"},
        {{"AT+CIMI", "", "460001234567890", "", "OK"}, "460001"},
        {{"+CREG: 1", "460001234567890\r", "RING", "OK"}, "460001"},
        {{"+CIMI: 460001234567890", "OK"}, "460001"},
        {{"460001234567890"}, "460001"},
        {{"4600012345678", "OK"}, nullptr},
        {{"4600012345678901", "OK"}, nullptr},
        {{"46000123456789A", "OK"}, nullptr},
        {{"460001234567890", "460011234567890", "OK"}, nullptr},
        {kLocked, nullptr},
        {{"460001234567890", "ERROR"}, nullptr},
        {{"OK"}, nullptr},
    };
    for (const auto& c : cases) {
        const std::optional<ImsiHead> head = ReadImsiHead(c.lines);
        const std::string shown = testing::PrintToString(c.lines);
        if (c.head == nullptr) {
            EXPECT_FALSE(head) << shown;
        } else {
            ASSERT_TRUE(head) << shown;
            EXPECT_EQ(head->digits, c.head) << shown;
        }
    }
}

TEST(SimOperatorAnswers, MncLengthIsTheLowBitsOfEfAdsFourthByteWhenTheReadSucceeded) {
    const struct {
        Lines lines;
        int length;  // 0: unknown
    } cases[] = {
        {kTwoDigits, 2},
        {kThreeDigits, 3},
        {{"+CRSM: 144,0,\"010000F3\"", "OK"}, 3},
        {{"+CRSM: 144,0,00000002", "OK"}, 2},
        {{"+CRSM: 145,16,\"00000003\"", "OK"}, 3},
        {{"+CRSM: 146,0,\"00000002\"", "OK"}, 2},
        {{"AT+CRSM=176,28589,0,0,4", "+CRSM: 144,0,\"0000000a\"", "OK"}, 0},
        {{"+CRSM: 144,0,\"00000004\"", "OK"}, 0},
        {{"+CRSM: 144,0,\"000000\"", "OK"}, 0},
        {{"+CRSM: 144,0,\"0000000203\"", "OK"}, 0},
        {{"+CRSM: 144,0,\"0000000G\"", "OK"}, 0},
        {{"+CRSM: 144,0", "OK"}, 0},
        {{"+CRSM: 144,1,\"00000002\"", "OK"}, 0},
        {{"+CRSM: 103,0,\"00000002\"", "OK"}, 0},
        {kEfAdRefused, 0},
        {{"+CRSM: 144,0,\"00000002\"", "+CRSM: 144,0,\"00000003\"", "OK"}, 0},
        {{"+CRSMX: 144,0,\"00000002\"", "OK"}, 0},
        {kLocked, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReadMncLength(c.lines).value_or(0), c.length) << testing::PrintToString(c.lines);
}

TEST(SimOperatorAnswers, RegisteredNetworkNeedsTheNumericFormatAndAnOperator) {
    const struct {
        Lines lines;
        const char* network;  // nullptr: none
    } cases[] = {
        {Cops("46000"), "460-00"},
        {Cops("310260"), "310-260"},
        {{"+COPS: 1,2,\"26201\"", "OK"}, "262-01"},
        {{"AT+COPS?", "+CREG: 5", "+COPS: 0,2,46001,2", "OK"}, "460-01"},
        {kNotRegistered, nullptr},
        {{"+COPS: 0,0,\"CHINA MOBILE\",7", "OK"}, nullptr},
        {Cops("4600"), nullptr},
        {Cops("4600012"), nullptr},
        {Cops("46O00"), nullptr},
        {{"+COPS: 0,2,\"46000\",7,1", "OK"}, nullptr},
        {{"+COPS: 0,2,\"46000\"", "+COPS: 0,2,\"46001\"", "OK"}, nullptr},
        {{"+CME ERROR: 30"}, nullptr},
        {{}, nullptr},
    };
    for (const auto& c : cases) {
        const std::optional<NetworkId> network = ReadRegisteredNetwork(c.lines);
        const std::string shown = testing::PrintToString(c.lines);
        if (c.network == nullptr) {
            EXPECT_FALSE(network) << shown;
        } else {
            ASSERT_TRUE(network) << shown;
            EXPECT_EQ(NetworkIdText(*network), c.network) << shown;
        }
    }
}

TEST(SimOperatorChoice, HomeFromTheSimElseRegisteredInTheSameCountryElseNone) {
    const struct {
        const char* what;
        Lines imsi, efAd, cops;
        OperatorSource source;
        const char* network;  // "" for none
        bool matchesImsi;
        NoOperatorReason reason;
    } cases[] = {
        {"two-digit MNC by EF_AD", kChinaMobileImsi, kTwoDigits, {}, OperatorSource::SimHome, "460-00", false,
         NoOperatorReason::None},
        {"three-digit MNC by EF_AD", kUsImsi, kThreeDigits, {}, OperatorSource::SimHome, "310-260", false,
         NoOperatorReason::None},
        {"EF_AD decides the length, not the country", kUsImsi, kTwoDigits, {}, OperatorSource::SimHome, "310-26",
         false, NoOperatorReason::None},
        {"roaming: the home network is used, not the visited one", kChinaMobileImsi, kTwoDigits, Cops("26201"),
         OperatorSource::SimHome, "460-00", false, NoOperatorReason::None},
        {"EF_AD refused: the registered network", kChinaMobileImsi, kEfAdRefused, Cops("46000"),
         OperatorSource::RegisteredNetwork, "460-00", true, NoOperatorReason::None},
        {"EF_AD answered with an error: the registered network", kUsImsi, kLocked, Cops("310260"),
         OperatorSource::RegisteredNetwork, "310-260", true, NoOperatorReason::None},
        {"EF_AD of the wrong length: the registered network", kChinaMobileImsi, {"+CRSM: 144,0,\"000000\"", "OK"},
         Cops("46001"), OperatorSource::RegisteredNetwork, "460-01", false, NoOperatorReason::None},
        {"EF_AD refused, roaming abroad: none", kChinaMobileImsi, kEfAdRefused, Cops("26201"), OperatorSource::None,
         "", false, NoOperatorReason::RegisteredAbroad},
        {"EF_AD refused, a US SIM on another US MCC: at home", kUsImsi, kEfAdRefused, Cops("311480"),
         OperatorSource::RegisteredNetwork, "311-480", false, NoOperatorReason::None},
        {"EF_AD refused, an Indian SIM on another Indian MCC: at home", {"405861234567890", "OK"}, kEfAdRefused,
         Cops("40445"), OperatorSource::RegisteredNetwork, "404-45", false, NoOperatorReason::None},
        {"EF_AD refused, a US SIM in Canada: none", kUsImsi, kEfAdRefused, Cops("302720"), OperatorSource::None, "",
         false, NoOperatorReason::RegisteredAbroad},
        {"EF_AD refused, a UK SIM in India: none", {"234151234567890", "OK"}, kEfAdRefused, Cops("40445"),
         OperatorSource::None, "", false, NoOperatorReason::RegisteredAbroad},
        {"EF_AD refused, not registered: none", kChinaMobileImsi, kEfAdRefused, kNotRegistered, OperatorSource::None,
         "", false, NoOperatorReason::NoNetwork},
        {"EF_AD refused, registered network not asked: none", kChinaMobileImsi, kEfAdRefused, {},
         OperatorSource::None, "", false, NoOperatorReason::NoNetwork},
        {"SIM locked: none, even when registered", kLocked, kLocked, Cops("46000"), OperatorSource::None, "", false,
         NoOperatorReason::NoImsi},
        {"SIM absent", {"+CME ERROR: 10"}, {"+CME ERROR: 10"}, kNotRegistered, OperatorSource::None, "", false,
         NoOperatorReason::NoImsi},
        {"IMSI too short", {"4600012345678", "OK"}, kTwoDigits, Cops("46000"), OperatorSource::None, "", false,
         NoOperatorReason::NoImsi},
    };
    for (const auto& c : cases) {
        const SimOperator result = ReadSimOperator(c.imsi, c.efAd, c.cops);
        EXPECT_EQ(result.source, c.source) << c.what;
        EXPECT_EQ(result.source == OperatorSource::None ? "" : NetworkIdText(result.network), c.network) << c.what;
        EXPECT_EQ(result.registeredMatchesImsi, c.matchesImsi) << c.what;
        EXPECT_EQ(result.reason, c.reason) << c.what;
    }
}

TEST(SimOperatorChoice, TheImsiIsNeverKeptWhole) {
    // The subscriber's part of the IMSI is digits 7 to 15; none of them may leave.
    const Lines imsi = {"460009876543210", "OK"};
    const std::optional<ImsiHead> head = ReadImsiHead(imsi);
    ASSERT_TRUE(head);
    EXPECT_EQ(head->digits.size(), 6u);
    for (const Lines& efAd : {kTwoDigits, kThreeDigits, kEfAdRefused}) {
        const SimOperator result = ReadSimOperator(imsi, efAd, Cops("46000"));
        const std::string everything =
            result.network.mcc + result.network.mnc + DescribeSimOperator(result) + head->digits;
        EXPECT_EQ(everything.find("9876"), std::string::npos) << everything;
        EXPECT_LE(result.network.mcc.size() + result.network.mnc.size(), 6u);
    }
}

TEST(SimOperatorChoice, TheRegisteredNetworkIsSaidToMayBeTheVisitedOne) {
    EXPECT_EQ(DescribeSimOperator(ReadSimOperator(kChinaMobileImsi, kTwoDigits, {})),
              "home network 460-00 (from the SIM)");
    EXPECT_EQ(DescribeSimOperator(ReadSimOperator(kChinaMobileImsi, kEfAdRefused, Cops("46000"))),
              "registered network 460-00, may be the visited one when roaming");
    EXPECT_NE(DescribeSimOperator(ReadSimOperator(kLocked, kLocked, {})).find("locked"), std::string::npos);
}

} // namespace
} // namespace vantaro
