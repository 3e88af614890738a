#pragma once
// The settings the Phone dialog proposes for a SIM's operator: the database's candidates for its
// network id that the Settings dialog's fields can carry as they are. A candidate they cannot
// carry (an APN too long for the modem's init string, a user name or password longer than the
// phone book holds, a DNS server that is not an IPv4 address) is set aside with the reason, so
// that a proposal is never a changed, and so wrong, version of the database's entry.

#include "providers/ProviderLookup.h"
#include "phone/SimOperator.h"

#include <string>
#include <vector>

namespace vantaro {

enum class CandidateRefusal {
    None,
    ApnEmpty,              // the database gives no APN
    ApnTooLong,            // longer than the modem's init string can carry
    ApnCharacters,         // characters an APN cannot have (blanks, quotes, '/', ':', non-ASCII, ...)
    UserNameTooLong,       // longer than the phone book's user name field
    PasswordTooLong,       // longer than the phone book's password field
    CredentialCharacters,  // user name or password not plain printable ASCII
    DnsNotAddress,         // a DNS server that is not four numbers 0-255 joined by dots
};

// Why a candidate cannot go into the fields as it is; None when it can.
CandidateRefusal CheckCandidate(const providers::ApnCandidate& candidate);

// The longest APN that the modem's init string carries (480 characters).
std::size_t MaxApnLength();

// In words, with the limit where there is one: "the APN is longer than 480 characters, which the
// modem's init string holds".
std::string DescribeRefusal(CandidateRefusal refusal);

struct RefusedCandidate {
    providers::ApnCandidate candidate;
    CandidateRefusal reason = CandidateRefusal::None;
};

enum class ProposalStatus {
    Proposed,              // at least one candidate
    NoOperator,            // the SIM's operator is not known
    NetworkNotInDatabase,  // the database lacks the network id
    NoApnListed,           // the database lists providers for it but no APN
    NothingUsable,         // every candidate of the network id was refused
};

// Why the candidates stand in the order they do.
enum class ProposalOrder {
    Database,            // the database's order (FindApnCandidates')
    SimProviderName,     // the providers named like the SIM's service-provider name come first
};

struct ApnProposal {
    ProposalStatus status = ProposalStatus::NoOperator;
    ProposalOrder order = ProposalOrder::Database;
    std::string serviceProviderName;         // the SIM's, UTF-8, as given; "" when not known
    SimOperator simOperator;                 // whose candidates these are, and how it was found
    std::vector<providers::ApnCandidate> candidates;    // in FindApnCandidates' order
    std::vector<RefusedCandidate> refused;   // in the same order
};

// How well a provider's database name matches the SIM's service-provider name, both compared
// without regard to ASCII case, blanks and punctuation: "ZOR Mobile" is "zor-mobile" exactly,
// a prefix of "ZOR Mobile Prepaid", contained in "The ZOR Mobile".
enum class NameMatch { Exact, Prefix, Contains, None };
NameMatch MatchProviderName(const std::string& provider, const std::string& serviceProviderName);

// The candidates for a SIM's operator. With the SIM's service-provider name (UTF-8, "" when
// unknown), the providers whose name matches it come first, exact matches before the others;
// when none matches, or without a name, the database's order stands.
ApnProposal ProposeApns(const providers::ProviderDatabase& database, const SimOperator& simOperator,
                        const std::string& serviceProviderName = {});

// "provider — plan — APN" for the candidate list; the plan part is left out when the database
// gives the APN no name. `separator` is the " — " of the interface's code page.
std::string CandidateLabel(const providers::ApnCandidate& candidate, const std::string& separator);

} // namespace vantaro
