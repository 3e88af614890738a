#include "providers/NetworkId.h"

namespace vantaro::providers {

namespace {

constexpr std::size_t kMccLength = 3;
constexpr std::size_t kShortMncLength = 2;
constexpr std::size_t kLongMncLength = 3;

std::uint32_t Number(std::string_view digits) {
    std::uint32_t value = 0;
    for (char digit : digits) value = value * 10 + static_cast<std::uint32_t>(digit - '0');
    return value;
}

// The countries that hold more than one MCC, each with all of its codes (ITU-T E.212).
constexpr std::uint16_t kUnitedKingdom[] = {234, 235};
constexpr std::uint16_t kUnitedStates[] = {310, 311, 312, 313, 314, 315, 316};
constexpr std::uint16_t kIndia[] = {404, 405, 406};
constexpr std::uint16_t kUnitedArabEmirates[] = {424, 430, 431};
constexpr std::uint16_t kJapan[] = {440, 441};
constexpr std::uint16_t kChina[] = {460, 461};

struct CountryMccs {
    const std::uint16_t* first;
    const std::uint16_t* last;
};

template <std::size_t N>
constexpr CountryMccs Codes(const std::uint16_t (&codes)[N]) {
    return {codes, codes + N};
}

constexpr CountryMccs kCountriesWithSeveralMccs[] = {
    Codes(kUnitedKingdom), Codes(kUnitedStates), Codes(kIndia), Codes(kUnitedArabEmirates), Codes(kJapan), Codes(kChina),
};

// The first MCC of the country that holds this one; the MCC itself for a country with one.
std::uint32_t CountryOf(std::uint32_t mcc) {
    for (const CountryMccs& country : kCountriesWithSeveralMccs)
        for (const std::uint16_t* code = country.first; code != country.last; ++code)
            if (*code == mcc) return *country.first;
    return mcc;
}

} // namespace

bool SameCountry(std::string_view mcc, std::string_view otherMcc) {
    if (mcc.size() != kMccLength || otherMcc.size() != kMccLength || !AllDigits(mcc) || !AllDigits(otherMcc))
        return false;
    return CountryOf(Number(mcc)) == CountryOf(Number(otherMcc));
}

bool AllDigits(std::string_view text) {
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

std::optional<NetworkId> MakeNetworkId(std::string_view mcc, std::string_view mnc) {
    if (mcc.size() != kMccLength || !AllDigits(mcc)) return std::nullopt;
    if (mnc.size() != kShortMncLength && mnc.size() != kLongMncLength) return std::nullopt;
    if (!AllDigits(mnc)) return std::nullopt;
    return NetworkId{std::string(mcc), std::string(mnc)};
}

std::optional<NetworkId> NetworkIdFromDigits(std::string_view digits) {
    if (digits.size() < kMccLength) return std::nullopt;
    return MakeNetworkId(digits.substr(0, kMccLength), digits.substr(kMccLength));
}

std::string NetworkIdText(const NetworkId& id) { return id.mcc + "-" + id.mnc; }

std::optional<std::uint32_t> NetworkKey(const NetworkId& id) {
    if (!MakeNetworkId(id.mcc, id.mnc)) return std::nullopt;
    return Number(id.mcc) * 10000 + static_cast<std::uint32_t>(id.mnc.size()) * 1000 + Number(id.mnc);
}

std::optional<NetworkId> NetworkIdFromKey(std::uint32_t key) {
    const std::uint32_t mncLength = key / 1000 % 10;
    if (mncLength != kShortMncLength && mncLength != kLongMncLength) return std::nullopt;
    std::string mcc = std::to_string(key / 10000);
    std::string mnc = std::to_string(key % 1000);
    if (mcc.size() > kMccLength || mnc.size() > mncLength) return std::nullopt;
    mcc.insert(0, kMccLength - mcc.size(), '0');
    mnc.insert(0, mncLength - mnc.size(), '0');
    return NetworkId{mcc, mnc};
}

} // namespace vantaro::providers
