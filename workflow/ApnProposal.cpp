#include "workflow/ApnProposal.h"

#include "dialup/RasRecords.h"
#include "modem/ModemInstaller.h"

#include <algorithm>
#include <cctype>
#include <string_view>

namespace vantaro {

using namespace providers;

namespace {

// The connection mode whose init string carries the APN.
constexpr int kGprsConnMode = 1;
constexpr int kMaxAddressPart = 255;

bool PrintableAscii(const std::string& text) {
    for (char c : text)
        if (c < 0x20 || c > 0x7E) return false;
    return true;
}

// Four numbers of one to three digits, each 0-255, joined by dots: what the phone book's address
// fields hold exactly. Empty is no server and passes.
bool DnsAddressOrEmpty(std::string_view text) {
    if (text.empty()) return true;
    int parts = 0;
    for (;;) {
        const std::size_t dot = text.find('.');
        const std::string_view part = text.substr(0, dot);
        if (part.empty() || part.size() > 3 || !AllDigits(part)) return false;
        int value = 0;
        for (char digit : part) value = value * 10 + (digit - '0');
        if (value > kMaxAddressPart) return false;
        ++parts;
        if (dot == std::string_view::npos) break;
        text.remove_prefix(dot + 1);
    }
    return parts == 4;
}

// Letters (lower case) and digits; blanks and ASCII punctuation go. Bytes of other scripts stay
// as they are, so that a name in Chinese still compares with itself.
std::string NameForMatching(const std::string& name) {
    std::string kept;
    for (char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x80 || std::isalnum(byte)) kept += static_cast<char>(byte >= 0x80 ? byte : std::tolower(byte));
    }
    return kept;
}

} // namespace

NameMatch MatchProviderName(const std::string& provider, const std::string& serviceProviderName) {
    const std::string name = NameForMatching(provider);
    const std::string wanted = NameForMatching(serviceProviderName);
    if (name.empty() || wanted.empty()) return NameMatch::None;
    if (name == wanted) return NameMatch::Exact;
    if (name.compare(0, wanted.size(), wanted) == 0 || wanted.compare(0, name.size(), name) == 0)
        return NameMatch::Prefix;
    if (name.find(wanted) != std::string::npos || wanted.find(name) != std::string::npos) return NameMatch::Contains;
    return NameMatch::None;
}

std::size_t MaxApnLength() {
    // The longest APN with which the driver key's init string still fits, found by the
    // installer's own rule rather than a copy of it.
    const std::size_t frame = DriverKeyInitString("", kGprsConnMode)->size();
    return kMaxDriverKeyInitString - frame;
}

CandidateRefusal CheckCandidate(const ApnCandidate& candidate) {
    if (candidate.apn.empty()) return CandidateRefusal::ApnEmpty;
    // The installer's own rule, so that nothing proposed is refused when it is saved.
    if (!IsApnText(candidate.apn)) return CandidateRefusal::ApnCharacters;
    if (!DriverKeyInitString(candidate.apn, kGprsConnMode)) return CandidateRefusal::ApnTooLong;
    if (!PrintableAscii(candidate.userName) || !PrintableAscii(candidate.password))
        return CandidateRefusal::CredentialCharacters;
    if (candidate.userName.size() > ras::kMaxUserName) return CandidateRefusal::UserNameTooLong;
    if (candidate.password.size() > ras::kMaxPassword) return CandidateRefusal::PasswordTooLong;
    if (!DnsAddressOrEmpty(candidate.dns1) || !DnsAddressOrEmpty(candidate.dns2)) return CandidateRefusal::DnsNotAddress;
    return CandidateRefusal::None;
}

std::string DescribeRefusal(CandidateRefusal refusal) {
    switch (refusal) {
    case CandidateRefusal::None: return {};
    case CandidateRefusal::ApnEmpty: return "the database gives no APN";
    case CandidateRefusal::ApnTooLong:
        return "the APN is longer than " + std::to_string(MaxApnLength()) +
               " characters, which the modem's init string holds";
    case CandidateRefusal::ApnCharacters:
        return "the APN holds characters an APN cannot have (only letters, digits, '.', '-' and '_')";
    case CandidateRefusal::UserNameTooLong:
        return "the user name is longer than " + std::to_string(ras::kMaxUserName) + " characters";
    case CandidateRefusal::PasswordTooLong:
        return "the password is longer than " + std::to_string(ras::kMaxPassword) + " characters";
    case CandidateRefusal::CredentialCharacters:
        return "the user name or password holds characters other than plain printable ASCII";
    case CandidateRefusal::DnsNotAddress: return "a DNS server is not an IPv4 address";
    }
    return {};
}

ApnProposal ProposeApns(const ProviderDatabase& database, const SimOperator& simOperator,
                        const std::string& serviceProviderName) {
    ApnProposal proposal;
    proposal.simOperator = simOperator;
    proposal.serviceProviderName = serviceProviderName;
    if (simOperator.source == OperatorSource::None) {
        proposal.status = ProposalStatus::NoOperator;
        return proposal;
    }
    if (ProvidersOfNetwork(database, simOperator.network).empty()) {
        proposal.status = ProposalStatus::NetworkNotInDatabase;
        return proposal;
    }
    std::vector<ApnCandidate> found = FindApnCandidates(database, simOperator.network);
    if (found.empty()) {
        proposal.status = ProposalStatus::NoApnListed;
        return proposal;
    }
    for (ApnCandidate& candidate : found) {
        const CandidateRefusal refusal = CheckCandidate(candidate);
        if (refusal == CandidateRefusal::None) proposal.candidates.push_back(std::move(candidate));
        else proposal.refused.push_back({std::move(candidate), refusal});
    }
    proposal.status = proposal.candidates.empty() ? ProposalStatus::NothingUsable : ProposalStatus::Proposed;
    const auto rank = [&](const ApnCandidate& candidate) {
        return MatchProviderName(candidate.provider, serviceProviderName);
    };
    if (std::any_of(proposal.candidates.begin(), proposal.candidates.end(),
                    [&](const ApnCandidate& candidate) { return rank(candidate) != NameMatch::None; })) {
        // Stable: within one rank the database's order stays.
        std::stable_sort(proposal.candidates.begin(), proposal.candidates.end(),
                         [&](const ApnCandidate& a, const ApnCandidate& b) { return rank(a) < rank(b); });
        proposal.order = ProposalOrder::SimProviderName;
    }
    return proposal;
}

std::string CandidateLabel(const ApnCandidate& candidate, const std::string& separator) {
    std::string label = candidate.provider;
    if (!candidate.plan.empty()) label += separator + candidate.plan;
    return label + separator + candidate.apn;
}

} // namespace vantaro
