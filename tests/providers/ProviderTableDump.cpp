// Prints a compiled provider table through the lookup functions, for check-provider-table.py to
// compare with its own reading of the XML:
//   counts <network ids> <providers> <APNs>
//   network <mcc>-<mnc>          for every network id, in the table's order
//   provider <name>              the providers the lookup lists for it, in that order
//   apn <value>                  each provider's APNs, in the database's order
// Which table: the built-in one, or with --fixture the edge cases of fixtures/edge-cases.xml.

#include "fakes/ProviderFixtures.h"
#include "providers/ProviderLookup.h"

#include <cstdio>
#include <cstring>

using namespace vantaro::providers;

int main(int argc, char** argv) {
    const bool fixture = argc > 1 && std::strcmp(argv[1], "--fixture") == 0;
    const ProviderDatabase& database = fixture ? vantaro::testing::EdgeCasesDatabase() : BuiltInProviderDatabase();
    if (!IsWellFormed(database)) {
        std::fprintf(stderr, "the table is not well formed\n");
        return 1;
    }
    std::printf("counts %u %u %u\n", database.networkCount, database.providerCount, database.apnCount);
    for (std::uint32_t i = 0; i < database.networkCount; ++i) {
        const NetworkId network = NetworkIdFromKey(database.networkKeys[i]).value_or(NetworkId{});
        std::printf("network %s\n", NetworkIdText(network).c_str());
        for (TableIndex provider : ProvidersOfNetwork(database, network)) {
            std::printf("provider %s\n", database.strings + database.providerNames[provider]);
            for (std::uint32_t a = database.providerApnStart[provider]; a < database.providerApnStart[provider + 1]; ++a)
                std::printf("apn %s\n", database.strings + database.apns[a].apn);
        }
    }
    return 0;
}
