#pragma once
// A mobile network's id: its country code (MCC, three digits) and network code (MNC, two or three
// digits). "01" and "001" are different networks, so the MNC keeps its length.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vantaro::providers {

struct NetworkId {
    std::string mcc;
    std::string mnc;

    bool operator==(const NetworkId& other) const { return mcc == other.mcc && mnc == other.mnc; }
    bool operator!=(const NetworkId& other) const { return !(*this == other); }
};

// The id from its two parts; nothing unless the MCC is three digits and the MNC two or three.
std::optional<NetworkId> MakeNetworkId(std::string_view mcc, std::string_view mnc);

// The id from the digits of a numeric operator ("46000", "310260"): the first three are the MCC,
// the rest (two or three) the MNC.
std::optional<NetworkId> NetworkIdFromDigits(std::string_view digits);

// "460-00", as the dialog shows it.
std::string NetworkIdText(const NetworkId& id);

// The number the database's tables sort by: MCC, then the MNC's length, then the MNC
// (460/00 gives 4602000, 310/260 gives 3103260). Nothing for an id that MakeNetworkId refuses.
std::optional<std::uint32_t> NetworkKey(const NetworkId& id);

// The id back from its key; nothing for a number that no id gives.
std::optional<NetworkId> NetworkIdFromKey(std::uint32_t key);

// Whether two MCCs belong to one country: the same code, or two codes of a country that has
// several (the United States 310-316, India 404-406, Japan 440-441, ...). A phone on another
// network of its own country is roaming at home, not abroad.
bool SameCountry(std::string_view mcc, std::string_view otherMcc);

// Whether every character is a decimal digit (true for the empty text).
bool AllDigits(std::string_view text);

} // namespace vantaro::providers
