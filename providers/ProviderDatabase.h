#pragma once
// The operator database that the program carries: for each network id (MCC and MNC) the providers
// that list it, and each provider's APNs with their plan, usage, user name, password and DNS
// servers. make-provider-table.py writes it at build time from Debian's serviceproviders.xml
// (mobile-broadband-provider-info, GSM/UMTS entries only) as constant arrays: one pool of
// NUL-terminated texts, and index arrays into it. Texts are UTF-8, as in the database.
//
// Layout:
//   networkKeys[i]                     the network ids, as NetworkKey() makes them, strictly rising
//   networkProviders[networkProviderStart[i] .. networkProviderStart[i + 1])
//                                      the providers listing network i: the database's primary
//                                      provider first, the ones marked not primary last, each
//                                      group in the database's order
//   providerNames[p]                   provider p's name
//   providerBalanceCodes[p]            the USSD code that asks provider p's balance ("*100#"),
//                                      the empty text when the database gives none
//   apns[providerApnStart[p] .. providerApnStart[p + 1])
//                                      provider p's APNs in the database's order
// Every text is an offset into `strings`; offset 0 is the empty text.

#include <cstdint>

namespace vantaro::providers {

using StringOffset = std::uint32_t;
using TableIndex = std::uint16_t;

// An APN's usage, as the database names it ("internet", "mms", ...). The numbers are those that
// the generated tables carry; the generator checks them at compile time.
enum class ApnUsage : std::uint8_t {
    Unspecified = 0,
    Internet = 1,
    Mms = 2,
    Wap = 3,
    InitialAttach = 4,        // "ia"
    MmsInternetHipri = 5,     // "mms-internet-hipri"
    MmsInternetHipriFota = 6, // "mms-internet-hipri-fota"
};

// The payment plans an APN is for; neither bit when the database does not say.
inline constexpr std::uint8_t kPlanPrepaid = 1;
inline constexpr std::uint8_t kPlanPostpaid = 2;

struct ApnRecord {
    StringOffset apn;
    StringOffset name;      // the database's name for the APN's plan, "" when it gives none
    StringOffset userName;
    StringOffset password;
    StringOffset dns1;      // "" when the database gives none
    StringOffset dns2;
    ApnUsage usage;
    std::uint8_t plans;     // kPlanPrepaid | kPlanPostpaid
};

struct ProviderDatabase {
    const char* version;    // the database's version, e.g. the Debian package's "20230416-1"
    const char* strings;
    std::uint32_t stringBytes;
    const std::uint32_t* networkKeys;
    const TableIndex* networkProviderStart;  // networkCount + 1 entries
    const TableIndex* networkProviders;
    std::uint32_t networkCount;
    const StringOffset* providerNames;
    const StringOffset* providerBalanceCodes;
    const TableIndex* providerApnStart;      // providerCount + 1 entries
    std::uint32_t providerCount;
    const ApnRecord* apns;
    std::uint32_t apnCount;
};

// The database converted from the build machine's serviceproviders.xml.
const ProviderDatabase& BuiltInProviderDatabase();

// Its version, as the About text or a log line may name it.
extern const char kProviderDatabaseVersion[];

// Whether every index and offset of the tables stays inside its array and the network ids rise;
// the lookups rely on it. For the tests of the generator.
bool IsWellFormed(const ProviderDatabase& database);

} // namespace vantaro::providers
