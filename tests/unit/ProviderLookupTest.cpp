// The operator database as the program carries it: the generated tables (the fixtures' and the
// built-in one) and the lookup of a network id.

#include "fakes/ProviderFixtures.h"
#include "providers/ProviderLookup.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vantaro::providers {
namespace {

using testing::EdgeCasesDatabase;

NetworkId Network(const char* mcc, const char* mnc) { return {mcc, mnc}; }

std::vector<std::string> ProviderNames(const ProviderDatabase& database, const NetworkId& network) {
    std::vector<std::string> names;
    for (TableIndex provider : ProvidersOfNetwork(database, network))
        names.push_back(database.strings + database.providerNames[provider]);
    return names;
}

std::vector<std::string> Apns(const std::vector<ApnCandidate>& candidates) {
    std::vector<std::string> apns;
    for (const ApnCandidate& candidate : candidates) apns.push_back(candidate.apn);
    return apns;
}

// --- network ids --------------------------------------------------------------------------

TEST(NetworkIds, OnlyThreeDigitMccsAndTwoOrThreeDigitMncsAreIds) {
    const struct {
        const char* mcc;
        const char* mnc;
        bool valid;
    } cases[] = {
        {"460", "00", true},  {"310", "260", true}, {"001", "01", true},  {"46", "00", false},
        {"4600", "0", false}, {"460", "0", false},  {"460", "0001", false}, {"46a", "00", false},
        {"460", "0x", false}, {"", "", false},      {"460", " 00", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MakeNetworkId(c.mcc, c.mnc).has_value(), c.valid) << c.mcc << "/" << c.mnc;
}

TEST(NetworkIds, KeysKeepTheMncLengthApartAndGiveTheirIdsBack) {
    EXPECT_EQ(NetworkKey(Network("460", "00")), 4602000u);
    EXPECT_NE(NetworkKey(Network("901", "01")), NetworkKey(Network("901", "001")));
    for (const NetworkId& network : {Network("001", "01"), Network("310", "260"), Network("999", "999")})
        EXPECT_EQ(NetworkIdFromKey(*NetworkKey(network)), network) << NetworkIdText(network);
    EXPECT_FALSE(NetworkIdFromKey(4600000)) << "an MNC length of 0";
    EXPECT_FALSE(NetworkIdFromKey(10002000)) << "a four-digit MCC";
}

// --- the generated tables -----------------------------------------------------------------

TEST(ProviderTables, TheBuiltInAndTheFixtureTablesAreWellFormed) {
    EXPECT_TRUE(IsWellFormed(BuiltInProviderDatabase()));
    EXPECT_TRUE(IsWellFormed(EdgeCasesDatabase()));
    EXPECT_GT(BuiltInProviderDatabase().networkCount, 100u) << "the built-in database is nearly empty";
    EXPECT_STREQ(BuiltInProviderDatabase().version, kProviderDatabaseVersion);
    EXPECT_STRNE(kProviderDatabaseVersion, "");
    EXPECT_STREQ(EdgeCasesDatabase().version, "fixture");
}

TEST(ProviderTables, ProvidersWithoutGsmOrNetworkIdAreLeftOut) {
    const ProviderDatabase& database = EdgeCasesDatabase();
    EXPECT_EQ(database.providerCount, 8u);
    for (std::uint32_t p = 0; p < database.providerCount; ++p) {
        const std::string name = database.strings + database.providerNames[p];
        EXPECT_NE(name, "Only CDMA");
        EXPECT_NE(name, "No Network Id");
    }
}

TEST(ProviderTables, ABrokenTableIsNotWellFormed) {
    ProviderDatabase broken = EdgeCasesDatabase();
    const TableIndex outOfRange[] = {0, 500};
    broken.networkProviders = outOfRange;
    EXPECT_FALSE(IsWellFormed(broken)) << "a provider index past the providers";
    broken = EdgeCasesDatabase();
    broken.stringBytes = 1;
    EXPECT_FALSE(IsWellFormed(broken)) << "text offsets past the pool";
}

// --- the lookup ---------------------------------------------------------------------------

TEST(ProviderLookup, AProviderWithSeveralNetworkIdsIsFoundUnderEachOnce) {
    for (const NetworkId& network : {Network("901", "01"), Network("901", "02"), Network("902", "001")})
        EXPECT_EQ(ProviderNames(EdgeCasesDatabase(), network), std::vector<std::string>{"Many Networks"})
            << NetworkIdText(network);
}

TEST(ProviderLookup, ASharedNetworkIdListsEveryProviderPrimaryFirstNotPrimaryLast) {
    EXPECT_EQ(ProviderNames(EdgeCasesDatabase(), Network("903", "30")),
              (std::vector<std::string>{"Host", "Virtual One", "Reseller"}));
    EXPECT_EQ(ProviderNames(EdgeCasesDatabase(), Network("903", "300")), std::vector<std::string>{"Host"});
}

TEST(ProviderLookup, TwoAndThreeDigitMncsAreDifferentNetworks) {
    EXPECT_TRUE(ProvidersOfNetwork(EdgeCasesDatabase(), Network("902", "01")).empty()) << "only 902-001 is listed";
    EXPECT_TRUE(ProvidersOfNetwork(EdgeCasesDatabase(), Network("901", "001")).empty()) << "only 901-01 is listed";
}

TEST(ProviderLookup, AProviderHasItsFirstBalanceCodeOrNone) {
    const ProviderDatabase& database = EdgeCasesDatabase();
    EXPECT_EQ(BalanceCodeOf(database, ProvidersOfNetwork(database, Network("901", "01")).at(0)), "*100#");
    EXPECT_EQ(BalanceCodeOf(database, ProvidersOfNetwork(database, Network("903", "30")).at(0)), "");
    EXPECT_EQ(BalanceCodeOf(database, static_cast<TableIndex>(database.providerCount)), "") << "past the providers";
}

TEST(ProviderLookup, AnUnknownOrInvalidNetworkIdHasNoCandidates) {
    EXPECT_TRUE(FindApnCandidates(EdgeCasesDatabase(), Network("909", "99")).empty());
    EXPECT_TRUE(FindApnCandidates(EdgeCasesDatabase(), Network("90", "101")).empty());
    EXPECT_TRUE(FindApnCandidates(EdgeCasesDatabase(), Network("000", "00")).empty()) << "below the first key";
    EXPECT_TRUE(FindApnCandidates(EdgeCasesDatabase(), Network("999", "999")).empty()) << "past the last key";
}

TEST(ProviderLookup, InternetApnsComeFirstThenSharedThenUnstatedThenWapAndMms) {
    EXPECT_EQ(Apns(FindApnCandidates(EdgeCasesDatabase(), Network("901", "01"))),
              (std::vector<std::string>{"internet.many", "hipri.many", "plain.many", "wap.many", "mms.many"}));
}

TEST(ProviderLookup, WithinAUsageThePrimaryProviderComesFirst) {
    const std::vector<ApnCandidate> candidates = FindApnCandidates(EdgeCasesDatabase(), Network("903", "30"));
    EXPECT_EQ(Apns(candidates),
              (std::vector<std::string>{"host.net", "virtual.net", "reseller.net", "host.mms", "reseller.mms"}));
    ASSERT_EQ(candidates.size(), 5u);
    EXPECT_TRUE(candidates[0].primaryProvider);
    EXPECT_FALSE(candidates[1].primaryProvider);
    EXPECT_TRUE(candidates[3].primaryProvider);
}

TEST(ProviderLookup, ACandidateCarriesTheDatabaseFieldsWithoutSurroundingBlanks) {
    const std::vector<ApnCandidate> candidates = FindApnCandidates(EdgeCasesDatabase(), Network("902", "001"));
    ASSERT_FALSE(candidates.empty());
    const ApnCandidate& first = candidates.front();
    EXPECT_EQ(first.provider, "Many Networks") << "the name without a language";
    EXPECT_EQ(first.plan, "Everyday");
    EXPECT_EQ(first.plans, kPlanPrepaid | kPlanPostpaid);
    EXPECT_EQ(first.apn, "internet.many");
    EXPECT_EQ(first.usage, ApnUsage::Internet);
    EXPECT_STREQ(UsageName(first.usage), "internet");
    EXPECT_EQ(first.userName, "user");
    EXPECT_EQ(first.password, "pass");
    EXPECT_EQ(first.dns1, "10.0.0.1");
    EXPECT_EQ(first.dns2, "10.0.0.2") << "two DNS servers fit the entry; the third is dropped";
    const ApnCandidate& plain = candidates[2];
    EXPECT_EQ(plain.apn, "plain.many");
    EXPECT_EQ(plain.usage, ApnUsage::Unspecified);
    EXPECT_EQ(plain.plans, 0);
    EXPECT_EQ(plain.plan, "");
    EXPECT_EQ(plain.dns1, "");
}

TEST(ProviderLookup, TextsOutsideAsciiKeepTheirUtf8Bytes) {
    const std::vector<ApnCandidate> candidates = FindApnCandidates(EdgeCasesDatabase(), Network("906", "60"));
    ASSERT_EQ(candidates.size(), 1u);
    EXPECT_EQ(candidates[0].provider, "Telef\xC3\xB3nica Ni\xC3\xB1o");
    EXPECT_EQ(candidates[0].plan, "Contrato \xE2\x82\xAC");
}

// The program's own home market, in the built-in database: China Mobile lists its WAP APN
// first in the file; its internet APN is proposed first.
TEST(ProviderLookup, BuiltInChinaMobileProposesCmnetFirst) {
    const std::vector<ApnCandidate> candidates = FindApnCandidates(BuiltInProviderDatabase(), Network("460", "00"));
    ASSERT_FALSE(candidates.empty());
    EXPECT_EQ(candidates[0].provider, "China Mobile");
    EXPECT_EQ(candidates[0].apn, "cmnet");
    EXPECT_EQ(candidates[0].usage, ApnUsage::Internet);
}

} // namespace
} // namespace vantaro::providers
