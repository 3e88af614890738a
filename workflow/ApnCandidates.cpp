#include "workflow/ApnCandidates.h"

#include "platform/TextRules.h"

#include <algorithm>

namespace vantaro {

namespace {

bool CarriesInternet(providers::ApnUsage usage) {
    using providers::ApnUsage;
    return usage != ApnUsage::Mms && usage != ApnUsage::InitialAttach;
}

void AddOnce(std::vector<std::string>& apns, const std::string& apn) {
    const bool known = std::any_of(apns.begin(), apns.end(),
                                   [&](const std::string& tried) { return EqualsIgnoringAsciiCase(tried, apn); });
    if (!known) apns.push_back(apn);
}

} // namespace

std::vector<std::string> ApnsToTry(const std::string& userApn, const std::string& rememberedApn,
                                   const ApnProposal& proposal) {
    std::vector<std::string> apns;
    if (!userApn.empty()) apns.push_back(userApn);
    if (!rememberedApn.empty()) AddOnce(apns, rememberedApn);
    // The proposal already puts the named providers first; taking them in a pass of their own
    // keeps their internet APNs ahead of everything the database lists after them.
    for (const providers::ApnCandidate& candidate : proposal.candidates)
        if (CarriesInternet(candidate.usage) &&
            MatchProviderName(candidate.provider, proposal.serviceProviderName) != NameMatch::None)
            AddOnce(apns, candidate.apn);
    for (const providers::ApnCandidate& candidate : proposal.candidates)
        if (CarriesInternet(candidate.usage)) AddOnce(apns, candidate.apn);
    AddOnce(apns, "");
    return apns;
}

std::vector<std::string> WithRemembered(const std::vector<std::string>& apns, const std::string& rememberedApn) {
    std::vector<std::string> ordered;
    if (!apns.empty() && !apns.front().empty()) ordered.push_back(apns.front());
    if (!rememberedApn.empty()) AddOnce(ordered, rememberedApn);
    for (const std::string& apn : apns) AddOnce(ordered, apn);
    return ordered;
}

bool IsWrongApnError(std::uint32_t rasError) {
    // A phone dials GPRS by activating a PDP context for the APN that the init string set. A
    // network that knows no such APN, or refuses it to this SIM, rejects the activation: the
    // phone answers the dial with NO CARRIER or +CME ERROR, or opens PPP and then cannot give
    // an address. The service reports that as
    // - 679 (no carrier) and 651 (the modem reported an error) for the dial command's answer;
    // - 619 (the port was closed, no connection could be made), 628 (the connection was closed)
    //   and 629 (closed by the remote computer) when the phone ends the call after CONNECT;
    // - 718 (PPP timed out), 720 (no control protocol agreed), 734 (LCP terminated), 736 (the
    //   remote side ended the control protocol) and 738 (no address assigned) when PPP starts
    //   but the phone has no context to carry it.
    // Not moved on: what a missing, unplugged or busy phone or port gives (633 port not
    // available, 630 and 692 hardware failure, 797 modem not found, 602 port already open,
    // 678 no answer and 680 no dial tone, where the phone never took the dial), 631 (the user
    // hung up) and 691 (the account was refused: the user name or password, which another APN
    // with the same account will not mend).
    // The phone's own words are not to be had: the service holds the port for the whole dial and
    // keeps the answer (docs/phone.md says why the modem log is no way round it).
    for (std::uint32_t wrongApn : {619u, 628u, 629u, 651u, 679u, 718u, 720u, 734u, 736u, 738u})
        if (rasError == wrongApn) return true;
    return false;
}

} // namespace vantaro
