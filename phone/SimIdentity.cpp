#include "phone/SimIdentity.h"

#include "phone/AtResponse.h"
#include "phone/SimOperator.h"
#include "providers/NetworkId.h"

#include <algorithm>
#include <string_view>

namespace vantaro {
namespace {

constexpr std::size_t kSpnBytes = 17;
constexpr std::uint8_t kUnused = 0xFF;
constexpr std::uint8_t kBcdFiller = 0x0F;
// The forms of a SIM's UCS2 names: all UCS2; a count, half a base and one byte a character;
// a count, the whole base and one byte a character.
constexpr std::uint8_t kUcs2Plain = 0x80;
constexpr std::uint8_t kUcs2HalfBase = 0x81;
constexpr std::uint8_t kUcs2WholeBase = 0x82;
constexpr std::uint8_t kOffsetFlag = 0x80;
constexpr std::uint8_t kOffsetMask = 0x7F;

bool IsIccidLength(std::size_t digits) { return digits >= kFewestIccidDigits && digits <= kMostIccidDigits; }

// Digits with 'F' filler at the end at most.
std::optional<std::string> IccidDigitsOf(std::string_view text) {
    const std::size_t filler = text.find_first_of("Ff");
    if (filler != std::string_view::npos && text.find_first_not_of("Ff", filler) != std::string_view::npos)
        return std::nullopt;
    const std::string_view digits = text.substr(0, filler);
    if (!IsIccidLength(digits.size()) || !providers::AllDigits(digits)) return std::nullopt;
    return std::string(digits);
}

// EF_ICCID's BCD: the low half of each byte is the earlier digit.
std::optional<std::string> IccidDigitsOf(const Bytes& bcd) {
    std::string digits;
    for (std::uint8_t byte : bcd)
        for (unsigned half : {byte & 0x0Fu, static_cast<unsigned>(byte >> 4)}) {
            if (half == kBcdFiller) return IsIccidLength(digits.size()) ? std::optional<std::string>(digits) : std::nullopt;
            if (half > 9 || digits.size() == kMostIccidDigits) return std::nullopt;
            digits += static_cast<char>('0' + half);
        }
    return IccidDigitsOf(std::string_view(digits));
}

std::optional<std::string> IccidLineDigits(const std::string& line) {
    for (const char* name : {"+CCID", "+ICCID", "^ICCID"})
        if (const std::optional<std::string_view> information = InformationOf(line, name))
            return IccidDigitsOf(Unquoted(*information));
    const std::string_view text = TrimmedLine(line);
    if (FinalResultOf(text) != FinalResult::None) return std::nullopt;
    return IccidDigitsOf(text);
}

// A name in one byte a character and a base: bytes below 0x80 are the default alphabet's,
// the others the base plus their low seven bits.
std::optional<std::string> Utf8FromBasedUcs2(const Bytes& name, std::size_t count, std::uint16_t base,
                                             std::size_t first) {
    if (first + count > name.size()) return std::nullopt;
    std::string utf8;
    for (std::size_t i = first; i < first + count; ++i) {
        const std::uint8_t byte = name[i];
        if (byte & kOffsetFlag) AppendUcs2Unit(utf8, static_cast<std::uint16_t>(base + (byte & kOffsetMask)));
        else AppendGsmCharacter(utf8, byte);
    }
    return utf8;
}

std::optional<std::string> NameOf(const Bytes& name) {
    if (name.empty()) return std::nullopt;
    switch (name[0]) {
    case kUcs2Plain: {
        Bytes units(name.begin() + 1, name.end());
        // FFFF ends the name; an odd byte left at the end of the field is filler.
        for (std::size_t i = 0; i + 1 < units.size(); i += 2)
            if (units[i] == kUnused && units[i + 1] == kUnused) units.resize(i);
        if (units.size() % 2 != 0) units.pop_back();
        return Utf8FromUcs2(units);
    }
    case kUcs2HalfBase:
        if (name.size() < 3) return std::nullopt;
        return Utf8FromBasedUcs2(name, name[1], static_cast<std::uint16_t>(name[2] << 7), 3);
    case kUcs2WholeBase:
        if (name.size() < 4) return std::nullopt;
        return Utf8FromBasedUcs2(name, name[1], static_cast<std::uint16_t>(name[2] << 8 | name[3]), 4);
    default: break;
    }
    Bytes septets;
    for (std::uint8_t byte : name) {
        if (byte == kUnused) break;
        if (byte & kOffsetFlag) return std::nullopt;
        septets.push_back(byte);
    }
    return Utf8FromGsmSeptets(septets);
}

} // namespace

std::optional<Iccid> ReadIccid(const std::vector<std::string>& lines) {
    std::optional<std::string> found;
    if (std::optional<Bytes> bcd = ReadSimFile(lines)) {
        found = IccidDigitsOf(*bcd);
    } else {
        for (const std::string& line : lines) {
            const FinalResult result = FinalResultOf(TrimmedLine(line));
            if (result != FinalResult::None && result != FinalResult::Ok) return std::nullopt;
            if (InformationOf(line, "+CRSM")) return std::nullopt;
            std::optional<std::string> digits = IccidLineDigits(line);
            if (!digits) continue;
            if (found && *found != *digits) return std::nullopt;
            found = std::move(digits);
        }
    }
    if (!found) return std::nullopt;
    return Iccid{std::move(*found)};
}

std::string ShownIccid(const Iccid& iccid) {
    const std::size_t shown = std::min(iccid.digits.size(), kShownSimDigits);
    return iccid.digits.substr(0, shown) + std::string(iccid.digits.size() - shown, '*');
}

std::optional<ServiceProviderName> ReadServiceProviderName(const std::vector<std::string>& lines) {
    const std::optional<Bytes> file = ReadSimFile(lines);
    if (!file || file->size() != kSpnBytes) return std::nullopt;
    std::optional<std::string> name = NameOf(Bytes(file->begin() + 1, file->end()));
    if (!name || name->empty()) return std::nullopt;
    return ServiceProviderName{std::move(*name), (*file)[0]};
}

} // namespace vantaro
