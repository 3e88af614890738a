#pragma once
// The APNs one dial series tries in turn when [Setting] apn_try_all is 1, and which of the
// remote-access service's errors say that the APN, not the phone or the port, was wrong.

#include "workflow/ApnProposal.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vantaro {

// In the order they are dialled, each APN once (compared without regard to ASCII case):
// - the user's own APN, what the Settings field holds, when it is not empty: it always comes first;
// - the one remembered for this SIM (ApnMemory);
// - the internet APNs of the providers named like the SIM's service-provider name;
// - the other internet APNs of the proposal, in the database's order;
// - no APN at all, which lets the network choose its default.
// An APN for MMS or initial attach alone is never tried: it may connect and carry nothing.
std::vector<std::string> ApnsToTry(const std::string& userApn, const std::string& rememberedApn,
                                   const ApnProposal& proposal);

// The same order with the APN remembered for the SIM put in after the user's own: for a series
// kept before the remembered APN was known.
std::vector<std::string> WithRemembered(const std::vector<std::string>& apns, const std::string& rememberedApn);

// Whether a dial that failed with this error goes on to the next APN.
bool IsWrongApnError(std::uint32_t rasError);

} // namespace vantaro
