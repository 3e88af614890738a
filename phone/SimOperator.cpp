#include "phone/SimOperator.h"

#include "phone/AtResponse.h"

#include <cctype>
#include <string_view>

namespace vantaro {

using namespace providers;

namespace {

constexpr std::size_t kMinImsiDigits = 14;
constexpr std::size_t kMaxImsiDigits = 15;
constexpr std::size_t kMccDigits = 3;
constexpr std::size_t kEfAdBytes = 4;
constexpr unsigned kMncLengthBits = 0x0F;
// Status words of a command that succeeded: 90 00, 91 xx (a pending proactive command), 92 xx
// (done after internal retries).
constexpr int kStatusNormal = 0x90;
constexpr int kStatusNormalProactive = 0x91;
constexpr int kStatusNormalRetried = 0x92;
constexpr int kNumericFormat = 2;

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

// A final result that says the phone did not answer the question.
bool IsErrorResult(std::string_view line) {
    const FinalResult result = FinalResultOf(line);
    return result != FinalResult::None && result != FinalResult::Ok;
}

// A final result of any kind: no answer line, whatever digits it is made of (a numeric OK).
bool IsFinalResult(std::string_view line) { return FinalResultOf(line) != FinalResult::None; }

bool AnyError(const std::vector<std::string>& lines) {
    for (const std::string& line : lines)
        if (IsErrorResult(TrimmedLine(line))) return true;
    return false;
}

// The text after "<name>:" of the one line that carries it; nothing when none or several do.
std::optional<std::string_view> OnlyInformation(const std::vector<std::string>& lines, std::string_view name) {
    std::optional<std::string_view> found;
    for (const std::string& line : lines) {
        const std::optional<std::string_view> information = InformationOf(line, name);
        if (!information) continue;
        if (found) return std::nullopt;
        found = information;
    }
    return found;
}

} // namespace

std::optional<ImsiHead> ReadImsiHead(const std::vector<std::string>& lines) {
    if (AnyError(lines)) return std::nullopt;
    std::optional<std::string_view> imsi;
    for (const std::string& line : lines) {
        const std::string_view text = InformationOf(line, "+CIMI").value_or(TrimmedLine(line));
        if (text.empty() || !AllDigits(text) || IsFinalResult(text)) continue;
        if (imsi && *imsi != text) return std::nullopt;
        imsi = text;
    }
    if (!imsi || imsi->size() < kMinImsiDigits || imsi->size() > kMaxImsiDigits) return std::nullopt;
    return ImsiHead{std::string(imsi->substr(0, kShownSimDigits))};
}

std::optional<Bytes> ReadSimFile(const std::vector<std::string>& lines) {
    if (AnyError(lines)) return std::nullopt;
    const std::optional<std::string_view> answer = OnlyInformation(lines, "+CRSM");
    if (!answer) return std::nullopt;
    const std::vector<std::string_view> fields = FieldsOf(*answer);
    if (fields.size() != 3) return std::nullopt;
    const std::optional<int> sw1 = NumberOf(fields[0]);
    const std::optional<int> sw2 = NumberOf(fields[1]);
    if (!sw1 || !sw2 || *sw2 > 0xFF) return std::nullopt;
    const bool succeeded = (*sw1 == kStatusNormal && *sw2 == 0) || *sw1 == kStatusNormalProactive ||
                           *sw1 == kStatusNormalRetried;
    if (!succeeded) return std::nullopt;
    return BytesFromHex(fields[2]);
}

std::optional<int> ReadMncLength(const std::vector<std::string>& lines) {
    const std::optional<Bytes> data = ReadSimFile(lines);
    if (!data || data->size() != kEfAdBytes) return std::nullopt;
    const unsigned length = (*data)[3] & kMncLengthBits;
    if (length != 2 && length != 3) return std::nullopt;
    return static_cast<int>(length);
}

std::optional<NetworkId> ReadRegisteredNetwork(const std::vector<std::string>& lines) {
    if (AnyError(lines)) return std::nullopt;
    const std::optional<std::string_view> answer = OnlyInformation(lines, "+COPS");
    if (!answer) return std::nullopt;
    const std::vector<std::string_view> fields = FieldsOf(*answer);
    if (fields.size() < 3 || fields.size() > 4) return std::nullopt;
    if (!NumberOf(fields[0]) || NumberOf(fields[1]) != kNumericFormat) return std::nullopt;
    if (!AllDigits(fields[2])) return std::nullopt;
    return NetworkIdFromDigits(fields[2]);
}

std::optional<NetworkId> HomeNetwork(const ImsiHead& imsi, int mncLength) {
    if ((mncLength != 2 && mncLength != 3) || imsi.digits.size() < kMccDigits + static_cast<std::size_t>(mncLength))
        return std::nullopt;
    return MakeNetworkId(std::string_view(imsi.digits).substr(0, kMccDigits),
                         std::string_view(imsi.digits).substr(kMccDigits, static_cast<std::size_t>(mncLength)));
}

SimOperator ChooseSimOperator(const std::optional<ImsiHead>& imsi, std::optional<int> mncLength,
                              const std::optional<NetworkId>& registered) {
    SimOperator result;
    if (!imsi) {
        result.reason = NoOperatorReason::NoImsi;
        return result;
    }
    if (mncLength) {
        if (std::optional<NetworkId> home = HomeNetwork(*imsi, *mncLength)) {
            result.source = OperatorSource::SimHome;
            result.network = std::move(*home);
            return result;
        }
    }
    if (!registered) {
        result.reason = NoOperatorReason::NoNetwork;
        return result;
    }
    // Abroad, the visited operator's APNs are for its own subscribers: proposing them would be
    // wrong. A network of another MCC of the SIM's own country is not abroad.
    if (!SameCountry(registered->mcc, std::string_view(imsi->digits).substr(0, kMccDigits))) {
        result.reason = NoOperatorReason::RegisteredAbroad;
        return result;
    }
    result.source = OperatorSource::RegisteredNetwork;
    result.network = *registered;
    result.registeredMatchesImsi = StartsWith(imsi->digits, registered->mcc + registered->mnc);
    return result;
}

SimOperator ReadSimOperator(const std::vector<std::string>& imsiLines, const std::vector<std::string>& mncLengthLines,
                            const std::vector<std::string>& registeredLines) {
    return ChooseSimOperator(ReadImsiHead(imsiLines), ReadMncLength(mncLengthLines),
                             ReadRegisteredNetwork(registeredLines));
}

std::string DescribeSimOperator(const SimOperator& simOperator) {
    switch (simOperator.source) {
    case OperatorSource::SimHome:
        return "home network " + NetworkIdText(simOperator.network) + " (from the SIM)";
    case OperatorSource::RegisteredNetwork:
        return "registered network " + NetworkIdText(simOperator.network) + ", may be the visited one when roaming";
    case OperatorSource::None:
        break;
    }
    switch (simOperator.reason) {
    case NoOperatorReason::NoImsi: return "no operator: the SIM gives no IMSI (locked, absent or not ready)";
    case NoOperatorReason::NoNetwork:
        return "no operator: the SIM does not give its network code's length and the phone names no network it is "
               "registered on";
    case NoOperatorReason::RegisteredAbroad:
        return "no operator: the SIM does not give its network code's length and the phone is registered abroad";
    case NoOperatorReason::None: break;
    }
    return "no operator";
}

} // namespace vantaro
