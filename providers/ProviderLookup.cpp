#include "providers/ProviderLookup.h"

#include <algorithm>

namespace vantaro::providers {

namespace {

// The order of usages among the candidates: what a dial-up connection wants first.
int UsageRank(ApnUsage usage) {
    switch (usage) {
    case ApnUsage::Internet: return 0;
    case ApnUsage::MmsInternetHipri:
    case ApnUsage::MmsInternetHipriFota: return 1;
    case ApnUsage::Unspecified: return 2;
    case ApnUsage::Wap: return 3;
    case ApnUsage::Mms: return 4;
    case ApnUsage::InitialAttach: return 5;
    }
    return 6;
}

const char* Text(const ProviderDatabase& database, StringOffset offset) { return database.strings + offset; }

// The network's place in the sorted keys, or networkCount.
std::uint32_t FindNetwork(const ProviderDatabase& database, const NetworkId& network) {
    const std::optional<std::uint32_t> key = NetworkKey(network);
    if (!key) return database.networkCount;
    const std::uint32_t* end = database.networkKeys + database.networkCount;
    const std::uint32_t* found = std::lower_bound(database.networkKeys, end, *key);
    if (found == end || *found != *key) return database.networkCount;
    return static_cast<std::uint32_t>(found - database.networkKeys);
}

bool OffsetInside(const ProviderDatabase& database, StringOffset offset) { return offset < database.stringBytes; }

} // namespace

const char* UsageName(ApnUsage usage) {
    switch (usage) {
    case ApnUsage::Unspecified: return "";
    case ApnUsage::Internet: return "internet";
    case ApnUsage::Mms: return "mms";
    case ApnUsage::Wap: return "wap";
    case ApnUsage::InitialAttach: return "ia";
    case ApnUsage::MmsInternetHipri: return "mms-internet-hipri";
    case ApnUsage::MmsInternetHipriFota: return "mms-internet-hipri-fota";
    }
    return "";
}

std::vector<TableIndex> ProvidersOfNetwork(const ProviderDatabase& database, const NetworkId& network) {
    const std::uint32_t index = FindNetwork(database, network);
    if (index == database.networkCount) return {};
    return std::vector<TableIndex>(database.networkProviders + database.networkProviderStart[index],
                                   database.networkProviders + database.networkProviderStart[index + 1]);
}

std::string BalanceCodeOf(const ProviderDatabase& database, TableIndex provider) {
    if (provider >= database.providerCount) return {};
    return Text(database, database.providerBalanceCodes[provider]);
}

std::vector<ApnCandidate> FindApnCandidates(const ProviderDatabase& database, const NetworkId& network) {
    const std::vector<TableIndex> providers = ProvidersOfNetwork(database, network);
    // The order is decided on small records; the texts are copied once, in that order.
    struct Place {
        int usageRank;
        std::size_t provider;  // place among the network's providers
        std::uint32_t apn;
    };
    std::vector<Place> places;
    for (std::size_t place = 0; place < providers.size(); ++place) {
        const TableIndex provider = providers[place];
        for (std::uint32_t i = database.providerApnStart[provider]; i < database.providerApnStart[provider + 1]; ++i)
            places.push_back({UsageRank(database.apns[i].usage), place, i});
    }
    // Stable: the providers' order and each provider's own order stay within a usage.
    std::stable_sort(places.begin(), places.end(),
                     [](const Place& a, const Place& b) { return a.usageRank < b.usageRank; });

    std::vector<ApnCandidate> candidates(places.size());
    for (std::size_t c = 0; c < places.size(); ++c) {
        const ApnRecord& record = database.apns[places[c].apn];
        ApnCandidate& candidate = candidates[c];
        candidate.provider = Text(database, database.providerNames[providers[places[c].provider]]);
        candidate.plan = Text(database, record.name);
        candidate.plans = record.plans;
        candidate.apn = Text(database, record.apn);
        candidate.usage = record.usage;
        candidate.userName = Text(database, record.userName);
        candidate.password = Text(database, record.password);
        candidate.dns1 = Text(database, record.dns1);
        candidate.dns2 = Text(database, record.dns2);
        candidate.primaryProvider = places[c].provider == 0;
    }
    return candidates;
}

bool IsWellFormed(const ProviderDatabase& database) {
    if (database.version == nullptr || database.strings == nullptr || database.stringBytes == 0) return false;
    if (database.strings[0] != '\0' || database.strings[database.stringBytes - 1] != '\0') return false;
    for (std::uint32_t i = 0; i < database.networkCount; ++i) {
        if (i > 0 && database.networkKeys[i] <= database.networkKeys[i - 1]) return false;
        if (database.networkProviderStart[i] >= database.networkProviderStart[i + 1]) return false;
    }
    if (database.networkProviderStart[0] != 0) return false;
    for (std::uint32_t i = 0; i < database.networkProviderStart[database.networkCount]; ++i)
        if (database.networkProviders[i] >= database.providerCount) return false;
    if (database.providerApnStart[0] != 0) return false;
    for (std::uint32_t p = 0; p < database.providerCount; ++p) {
        if (!OffsetInside(database, database.providerNames[p]) ||
            !OffsetInside(database, database.providerBalanceCodes[p]))
            return false;
        if (database.providerApnStart[p] > database.providerApnStart[p + 1]) return false;
    }
    if (database.providerApnStart[database.providerCount] != database.apnCount) return false;
    for (std::uint32_t a = 0; a < database.apnCount; ++a) {
        const ApnRecord& record = database.apns[a];
        for (StringOffset offset : {record.apn, record.name, record.userName, record.password, record.dns1, record.dns2})
            if (!OffsetInside(database, offset)) return false;
        if (UsageName(record.usage)[0] == '\0' && record.usage != ApnUsage::Unspecified) return false;
        if ((record.plans & ~(kPlanPrepaid | kPlanPostpaid)) != 0) return false;
    }
    return true;
}

} // namespace vantaro::providers
