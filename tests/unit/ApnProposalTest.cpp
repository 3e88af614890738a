// What the Phone dialog proposes: candidates the fields can carry as the database gives them,
// and the refusals, with their reasons, of those they cannot.

#include "fakes/ProviderFixtures.h"
#include "workflow/ApnProposal.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vantaro {
namespace {

using namespace providers;

using testing::EdgeCasesDatabase;

ApnCandidate Usable() {
    ApnCandidate candidate;
    candidate.provider = "Provider";
    candidate.apn = "internet.example";
    candidate.userName = "user";
    candidate.password = "secret";
    candidate.dns1 = "10.0.0.1";
    candidate.dns2 = "192.168.255.254";
    return candidate;
}

SimOperator Home(const char* mcc, const char* mnc) {
    SimOperator simOperator;
    simOperator.source = OperatorSource::SimHome;
    simOperator.network = {mcc, mnc};
    return simOperator;
}

TEST(ApnRules, WhatTheFieldsCannotCarryIsRefusedWithItsReason) {
    const std::string longestApn = std::string(MaxApnLength(), 'a');
    const struct {
        const char* what;
        const char* field;
        std::string value;
        CandidateRefusal refusal;
    } cases[] = {
        {"as the database gives it", "apn", "internet.example", CandidateRefusal::None},
        {"underscore and capitals", "apn", "Web_GPRS-1.net", CandidateRefusal::None},
        {"no APN", "apn", "", CandidateRefusal::ApnEmpty},
        {"longest APN", "apn", longestApn, CandidateRefusal::None},
        {"one character more", "apn", longestApn + "a", CandidateRefusal::ApnTooLong},
        {"a URL", "apn", "http://172.18.83.129", CandidateRefusal::ApnCharacters},
        {"a blank", "apn", "internet ", CandidateRefusal::ApnCharacters},
        {"a quote ends the init string's APN", "apn", "a\"b", CandidateRefusal::ApnCharacters},
        {"a semicolon starts another command", "apn", "a;+cfun=0", CandidateRefusal::ApnCharacters},
        {"non-ASCII", "apn", "int\xC3\xA9rnet", CandidateRefusal::ApnCharacters},
        {"longest user name", "user", std::string(256, 'u'), CandidateRefusal::None},
        {"user name too long", "user", std::string(257, 'u'), CandidateRefusal::UserNameTooLong},
        {"password too long", "password", std::string(257, 'p'), CandidateRefusal::PasswordTooLong},
        {"printable punctuation", "password", "p@ss w0rd!\"#", CandidateRefusal::None},
        {"a line break", "user", "us\ner", CandidateRefusal::CredentialCharacters},
        {"non-ASCII password", "password", "\xE5\xAF\x86\xE7\xA0\x81", CandidateRefusal::CredentialCharacters},
        {"no DNS", "dns1", "", CandidateRefusal::None},
        {"lowest and highest parts", "dns2", "0.0.0.255", CandidateRefusal::None},
        {"a part over 255", "dns1", "256.1.1.1", CandidateRefusal::DnsNotAddress},
        {"three parts", "dns1", "10.0.0", CandidateRefusal::DnsNotAddress},
        {"five parts", "dns2", "1.2.3.4.5", CandidateRefusal::DnsNotAddress},
        {"an empty part", "dns1", "1..2.3", CandidateRefusal::DnsNotAddress},
        {"IPv6", "dns2", "2001:db8::1", CandidateRefusal::DnsNotAddress},
        {"a blank", "dns1", " 1.2.3.4", CandidateRefusal::DnsNotAddress},
    };
    for (const auto& c : cases) {
        ApnCandidate candidate = Usable();
        const std::string field = c.field;
        (field == "apn" ? candidate.apn
         : field == "user" ? candidate.userName
         : field == "password" ? candidate.password
         : field == "dns1" ? candidate.dns1
                           : candidate.dns2) = c.value;
        EXPECT_EQ(CheckCandidate(candidate), c.refusal) << c.what << ": " << c.field << " " << c.value.substr(0, 40);
    }
}

TEST(ApnRules, TheLongestApnIsWhatTheInstallersInitStringHolds) {
    EXPECT_EQ(MaxApnLength(), 480u);
    EXPECT_EQ(DescribeRefusal(CandidateRefusal::ApnTooLong),
              "the APN is longer than 480 characters, which the modem's init string holds");
    EXPECT_EQ(DescribeRefusal(CandidateRefusal::UserNameTooLong), "the user name is longer than 256 characters");
    EXPECT_EQ(DescribeRefusal(CandidateRefusal::PasswordTooLong), "the password is longer than 256 characters");
    EXPECT_EQ(DescribeRefusal(CandidateRefusal::None), "");
}

TEST(ApnProposals, AListedOperatorGetsItsCandidatesInOrder) {
    const ApnProposal proposal = ProposeApns(EdgeCasesDatabase(), Home("903", "30"));
    EXPECT_EQ(proposal.status, ProposalStatus::Proposed);
    ASSERT_EQ(proposal.candidates.size(), 5u);
    EXPECT_EQ(proposal.candidates[0].provider, "Host");
    EXPECT_EQ(proposal.candidates[0].apn, "host.net");
    EXPECT_TRUE(proposal.refused.empty());
    EXPECT_EQ(proposal.simOperator.network, (NetworkId{"903", "30"}));
}

TEST(ApnProposals, ARefusedCandidateIsSetAsideAndTheOthersStay) {
    const ApnProposal proposal = ProposeApns(EdgeCasesDatabase(), Home("904", "40"));
    EXPECT_EQ(proposal.status, ProposalStatus::Proposed);
    ASSERT_EQ(proposal.candidates.size(), 1u);
    EXPECT_EQ(proposal.candidates[0].apn, "usable.net");
    EXPECT_EQ(proposal.candidates[0].dns1, "192.0.2.1");
    ASSERT_EQ(proposal.refused.size(), 1u);
    EXPECT_EQ(proposal.refused[0].candidate.apn, "http://portal.example");
    EXPECT_EQ(proposal.refused[0].reason, CandidateRefusal::ApnCharacters);
}

TEST(ApnProposals, NoProposalWithoutOperatorUnknownNetworkNoApnOrNothingUsable) {
    const ApnProposal none = ProposeApns(EdgeCasesDatabase(), SimOperator{});
    EXPECT_EQ(none.status, ProposalStatus::NoOperator);
    EXPECT_TRUE(none.candidates.empty());

    const ApnProposal unknown = ProposeApns(EdgeCasesDatabase(), Home("909", "99"));
    EXPECT_EQ(unknown.status, ProposalStatus::NetworkNotInDatabase);
    EXPECT_TRUE(unknown.candidates.empty());

    const ApnProposal noApn = ProposeApns(EdgeCasesDatabase(), Home("907", "70"));
    EXPECT_EQ(noApn.status, ProposalStatus::NoApnListed);
    EXPECT_TRUE(noApn.candidates.empty());

    const ApnProposal unusable = ProposeApns(EdgeCasesDatabase(), Home("905", "50"));
    EXPECT_EQ(unusable.status, ProposalStatus::NothingUsable);
    EXPECT_TRUE(unusable.candidates.empty());
    ASSERT_EQ(unusable.refused.size(), 2u);
    EXPECT_EQ(unusable.refused[0].reason, CandidateRefusal::ApnCharacters);
    EXPECT_EQ(unusable.refused[1].reason, CandidateRefusal::DnsNotAddress);
}

TEST(ApnProposals, EveryBuiltInNetworkIdIsFoundAndNoneOfItsApnsIsLost) {
    const ProviderDatabase& database = BuiltInProviderDatabase();
    for (std::uint32_t i = 0; i < database.networkCount; ++i) {
        const std::optional<NetworkId> network = NetworkIdFromKey(database.networkKeys[i]);
        ASSERT_TRUE(network) << database.networkKeys[i];
        SimOperator simOperator;
        simOperator.source = OperatorSource::SimHome;
        simOperator.network = *network;
        const ApnProposal proposal = ProposeApns(database, simOperator);
        std::size_t listed = 0;
        for (TableIndex provider : ProvidersOfNetwork(database, *network))
            listed += database.providerApnStart[provider + 1] - database.providerApnStart[provider];
        EXPECT_NE(proposal.status, ProposalStatus::NetworkNotInDatabase) << NetworkIdText(*network);
        EXPECT_EQ(proposal.candidates.size() + proposal.refused.size(), listed) << NetworkIdText(*network);
    }
}

TEST(ApnProposals, ProviderNamesMatchTheSimsNameWithoutCaseBlanksOrPunctuation) {
    const struct {
        const char* provider;
        const char* serviceProviderName;
        NameMatch match;
    } cases[] = {
        {"ZOR Mobile", "ZOR Mobile", NameMatch::Exact},
        {"ZOR Mobile", "zor-mobile", NameMatch::Exact},
        {"Z.O.R. Mobile", "ZORMOBILE", NameMatch::Exact},
        {"ZOR Mobile Prepaid", "ZOR Mobile", NameMatch::Prefix},
        {"ZOR", "ZOR Mobile", NameMatch::Prefix},
        {"The ZOR Mobile", "ZOR Mobile", NameMatch::Contains},
        {"Telefónica Niño", "telefónica niño", NameMatch::Exact},
        {"Host", "Virtual One", NameMatch::None},
        {"Host", "", NameMatch::None},
        {"Host", " - ", NameMatch::None},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MatchProviderName(c.provider, c.serviceProviderName), c.match)
            << c.provider << " against " << c.serviceProviderName;
}

TEST(ApnProposals, ProvidersNamedLikeTheSimComeFirstAndTheProposalSaysSo) {
    const struct {
        const char* serviceProviderName;
        const char* firstProvider;
        ProposalOrder order;
    } cases[] = {
        {"", "Host", ProposalOrder::Database},
        {"Nobody Telecom", "Host", ProposalOrder::Database},
        {"VIRTUAL ONE", "Virtual One", ProposalOrder::SimProviderName},
        {"Reseller GmbH", "Reseller", ProposalOrder::SimProviderName},
    };
    for (const auto& c : cases) {
        const ApnProposal proposal = ProposeApns(EdgeCasesDatabase(), Home("903", "30"), c.serviceProviderName);
        ASSERT_EQ(proposal.candidates.size(), 5u) << c.serviceProviderName;
        EXPECT_EQ(proposal.candidates[0].provider, c.firstProvider) << c.serviceProviderName;
        EXPECT_EQ(proposal.order, c.order) << c.serviceProviderName;
        EXPECT_EQ(proposal.serviceProviderName, c.serviceProviderName);
    }
}

TEST(ApnProposals, TheLabelNamesProviderPlanAndApn) {
    ApnCandidate candidate = Usable();
    candidate.plan = "Everyday";
    EXPECT_EQ(CandidateLabel(candidate, " - "), "Provider - Everyday - internet.example");
    candidate.plan.clear();
    EXPECT_EQ(CandidateLabel(candidate, " - "), "Provider - internet.example");
}

} // namespace
} // namespace vantaro
