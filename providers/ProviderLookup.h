#pragma once
// Looking a network id up in the operator database: the providers that list it and their APNs,
// in the order the Phone dialog offers them.

#include "providers/NetworkId.h"
#include "providers/ProviderDatabase.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vantaro::providers {

// One APN of one provider, as the database gives it. Texts are UTF-8.
struct ApnCandidate {
    std::string provider;
    std::string plan;        // the database's name for the APN's plan ("Mobiland Click!"), may be ""
    std::uint8_t plans = 0;  // kPlanPrepaid | kPlanPostpaid; 0 when the database does not say
    std::string apn;
    ApnUsage usage = ApnUsage::Unspecified;
    std::string userName;
    std::string password;
    std::string dns1;        // "" when the database gives none
    std::string dns2;
    // The provider is the first listed for the network id. The order of FindApnCandidates already
    // puts its APNs first within each usage; the dialog acts on that order, not on this flag,
    // which says for a reader of one candidate (a test, a dump) where it came from.
    bool primaryProvider = false;
};

// "internet", "mms", ... as the database names the usage; "" when it does not say.
const char* UsageName(ApnUsage usage);

// The providers that list the network id, primary first (indexes into providerNames).
std::vector<TableIndex> ProvidersOfNetwork(const ProviderDatabase& database, const NetworkId& network);

// The USSD code that asks the provider's balance, "" when the database gives none or the index
// is past the providers.
std::string BalanceCodeOf(const ProviderDatabase& database, TableIndex provider);

// The APNs of every provider listing the network id, internet APNs first (then the ones that
// carry internet with other traffic, then those of no stated usage, then WAP, MMS and initial
// attach); within each, the primary provider's first, and each provider's in the database's
// order. Empty when the database lacks the network id.
std::vector<ApnCandidate> FindApnCandidates(const ProviderDatabase& database, const NetworkId& network);

} // namespace vantaro::providers
