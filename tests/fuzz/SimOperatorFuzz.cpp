// The phone's answers to AT+CIMI, the EF_AD read and AT+COPS?, as any phone (or anything on a
// serial port) may send them: three runs of lines of any bytes. Whatever they hold, the operator
// found is a well-formed network id, a home network is the start of the IMSI the phone gave,
// nothing of the IMSI past its sixth digit is kept, and every candidate proposed for it from the
// built-in database passes the rules of the fields.

#include "fuzz/FuzzCheck.h"
#include "workflow/ApnProposal.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <string>
#include <vector>

namespace {

using namespace vantaro;
using namespace vantaro::providers;

constexpr std::size_t kMaxLines = 8;
constexpr std::size_t kMaxLineBytes = 64;

std::vector<std::string> Lines(FuzzedDataProvider& data) {
    std::vector<std::string> lines(data.ConsumeIntegralInRange<std::size_t>(0, kMaxLines));
    for (std::string& line : lines) {
        // Prefixes the readers look for, so that the fuzzer reaches past them.
        static const char* const kStarts[] = {"", "+CIMI: ", "+CRSM: ", "+COPS: ", "+CME ERROR: ", "AT"};
        line = kStarts[data.ConsumeIntegralInRange<std::size_t>(0, 5)] + data.ConsumeRandomLengthString(kMaxLineBytes);
    }
    return lines;
}

bool WellFormed(const NetworkId& network) { return MakeNetworkId(network.mcc, network.mnc).has_value(); }

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    using vantaro::fuzz::Require;
    FuzzedDataProvider data(bytes, size);
    const std::vector<std::string> imsi = Lines(data);
    const std::vector<std::string> efAd = Lines(data);
    const std::vector<std::string> cops = Lines(data);

    const std::optional<ImsiHead> head = ReadImsiHead(imsi);
    Require(!head || (head->digits.size() == 6 && AllDigits(head->digits)), "the IMSI's head is six digits");
    const std::optional<int> length = ReadMncLength(efAd);
    Require(!length || *length == 2 || *length == 3, "an MNC length is 2 or 3");
    const std::optional<NetworkId> registered = ReadRegisteredNetwork(cops);
    Require(!registered || WellFormed(*registered), "the registered network is a network id");

    const SimOperator simOperator = ReadSimOperator(imsi, efAd, cops);
    switch (simOperator.source) {
    case OperatorSource::None:
        Require(simOperator.network.mcc.empty() && simOperator.network.mnc.empty(), "no operator, no network id");
        Require(simOperator.reason != NoOperatorReason::None, "no operator says why");
        break;
    case OperatorSource::SimHome:
        Require(head && length, "a home network needs the IMSI and the MNC length");
        Require(WellFormed(simOperator.network), "the home network is a network id");
        Require(static_cast<int>(simOperator.network.mnc.size()) == *length, "EF_AD decides the MNC's length");
        Require(head->digits.compare(0, 3 + *length, simOperator.network.mcc + simOperator.network.mnc) == 0,
                "the home network is the start of the IMSI");
        break;
    case OperatorSource::RegisteredNetwork:
        Require(head && !length && registered && *registered == simOperator.network,
                "the registered network only when the SIM does not tell its own");
        Require(SameCountry(head->digits.substr(0, 3), simOperator.network.mcc),
                "the registered network is in the SIM's country");
        break;
    }

    const ApnProposal proposal = ProposeApns(BuiltInProviderDatabase(), simOperator);
    for (const ApnCandidate& candidate : proposal.candidates)
        Require(CheckCandidate(candidate) == CandidateRefusal::None, "a proposed candidate passes the rules");
    Require((proposal.status == ProposalStatus::Proposed) == !proposal.candidates.empty(),
            "a proposal has candidates exactly when it says so");
    return 0;
}
