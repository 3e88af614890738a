#include "dialup/DialupEntry.h"

#include "dialup/RasBinding.h"
#include "platform/TextRules.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace vantaro {

namespace {

constexpr std::uint32_t kEntryOptions =
    ras::kOptionIpHeaderCompression | ras::kOptionRemoteDefaultGateway | ras::kOptionModemLights;
constexpr std::uint32_t kCountryId = 34;
constexpr std::uint32_t kCountryCode = 34;
constexpr char kAreaCode[] = " ";
constexpr std::size_t kModemPrefixLength = sizeof ras::kDeviceTypeModem - 1;

bool IsGiven(const ras::RASIPADDR& address) { return address.a || address.b || address.c || address.d; }

bool IsModemType(const char (&deviceType)[ras::kMaxDeviceType + 1]) {
    return std::strncmp(deviceType, ras::kDeviceTypeModem, kModemPrefixLength) == 0;
}

} // namespace

bool EnumModemDevices(RasLibrary& library, std::vector<ras::RASDEVINFOA>& rasDevices) {
    rasDevices.clear();
    rasDevices.shrink_to_fit();
    RasBinding binding(library);

    std::uint32_t bufferSize = 0;
    std::uint32_t deviceCount = 0;
    binding.EnumDevices(nullptr, &bufferSize, &deviceCount);

    // One record at least, so that the first record's size can always be set.
    bufferSize = std::max(bufferSize, ras::kDevInfoSize);
    std::vector<ras::RASDEVINFOA> buffer;
    try {
        buffer.resize((bufferSize + ras::kDevInfoSize - 1) / ras::kDevInfoSize, ras::RASDEVINFOA{});
    } catch (const std::bad_alloc&) {
        return false;
    }
    buffer[0].dwSize = ras::kDevInfoSize;

    if (binding.EnumDevices(buffer.data(), &bufferSize, &deviceCount) != 0) return false;

    // A count beyond the buffer would walk off its end; only records that lie in it are read.
    const std::size_t records = std::min<std::size_t>(deviceCount, buffer.size());
    for (std::size_t i = 0; i < records; ++i) {
        // The service's fields are taken whole and always end in a NUL here, whatever it wrote.
        ras::RASDEVINFOA device{};
        std::memcpy(device.szDeviceType, buffer[i].szDeviceType, sizeof device.szDeviceType);
        std::memcpy(device.szDeviceName, buffer[i].szDeviceName, sizeof device.szDeviceName);
        device.szDeviceType[sizeof device.szDeviceType - 1] = '\0';
        device.szDeviceName[sizeof device.szDeviceName - 1] = '\0';
        if (IsModemType(device.szDeviceType)) rasDevices.push_back(device);
    }
    return true;
}

std::optional<ras::RASDIALPARAMSA> DialParamsFor(const DialValues& values, std::string& refusal,
                                                 const char* entryNameWhat) {
    refusal = ras::DescribeOverlongValue({
        {entryNameWhat, values.entryName, ras::kMaxEntryName},
        {"the phone number", values.phoneNumber, ras::kMaxPhoneNumber},
        {"the user name", values.userName, ras::kMaxUserName},
        {"the password", values.password.Reveal(), ras::kMaxPassword},
        {"the domain", values.domain, ras::kMaxDomain},
    });
    if (!refusal.empty()) return std::nullopt;
    ras::RASDIALPARAMSA dialParams{};
    dialParams.dwSize = ras::kDialParamsSize;
    ras::CopyToField(dialParams.szEntryName, values.entryName);
    ras::CopyToField(dialParams.szPhoneNumber, values.phoneNumber);
    ras::CopyToField(dialParams.szUserName, values.userName);
    ras::CopyToField(dialParams.szPassword, values.password.Reveal());
    ras::CopyToField(dialParams.szDomain, values.domain);
    return dialParams;
}

EntryWrite CreateDialupEntry(RasLibrary& library, const std::string& entryName, const std::string& phoneNumber,
                             const std::string& userName, const Secret& password, const std::string& dns1,
                             const std::string& dns2, const std::string& deviceType, const std::string& deviceName,
                             ExistingEntry existing, std::string* refusal) {
    std::string overlong;
    std::optional<ras::RASDIALPARAMSA> dialParams =
        DialParamsFor({entryName, phoneNumber, userName, password, {}}, overlong, "the connection name");
    if (dialParams) {
        overlong = ras::DescribeOverlongValue({
            {"the device type", deviceType, ras::kMaxDeviceType},
            {"the device name", deviceName, ras::kMaxDeviceName},
        });
    }
    if (!overlong.empty()) {
        if (refusal) *refusal = overlong;
        return EntryWrite::Failed;
    }
    // The number is the entry's own (its properties'); the stored credentials carry none.
    std::memset(dialParams->szPhoneNumber, 0, sizeof dialParams->szPhoneNumber);

    RasBinding binding(library);
    // Any answer but "exists" (a name the service finds wrong among them) is left for the
    // properties' write to settle.
    const bool exists = binding.ValidateEntryName(nullptr, entryName.c_str()) == kErrorAlreadyExists;
    if (exists && existing == ExistingEntry::Keep) return EntryWrite::Kept;

    ras::RASENTRYA entry{};
    entry.dwSize = ras::kEntrySize;
    entry.dwfOptions = kEntryOptions;
    entry.dwCountryID = kCountryId;
    entry.dwCountryCode = kCountryCode;
    ras::CopyToField(entry.szAreaCode, kAreaCode);
    ras::CopyToField(entry.szLocalPhoneNumber, phoneNumber);
    entry.dwAlternateOffset = 0;
    entry.ipaddr = entry.ipaddrDns = entry.ipaddrDnsAlt = entry.ipaddrWins = entry.ipaddrWinsAlt = ras::RASIPADDR{};
    ParseDottedAddress(dns1, entry.ipaddrDns);
    ParseDottedAddress(dns2, entry.ipaddrDnsAlt);
    // Without this flag the service ignores the addresses and asks the network for its own.
    if (IsGiven(entry.ipaddrDns) || IsGiven(entry.ipaddrDnsAlt)) entry.dwfOptions |= ras::kOptionNameServersGiven;
    entry.dwFrameSize = 0;
    entry.dwfNetProtocols = ras::kNetProtocolIp;
    entry.dwFramingProtocol = ras::kFramingPpp;
    ras::CopyToField(entry.szDeviceType, deviceType);
    ras::CopyToField(entry.szDeviceName, deviceName);

    if (binding.SetEntryProperties(nullptr, entryName.c_str(), &entry, ras::kEntrySize, nullptr, 0) != 0)
        return EntryWrite::Failed;

    // The password is stored with the entry; a refusal here does not undo the entry.
    binding.SetEntryDialParams(nullptr, &*dialParams, false);
    return exists ? EntryWrite::Replaced : EntryWrite::Created;
}

std::optional<EntryDevice> ReadEntryDevice(RasLibrary& library, const std::string& entryName) {
    if (entryName.empty() || entryName.size() > ras::kMaxEntryName) return std::nullopt;
    RasBinding binding(library);
    ras::RASENTRYA entry{};
    entry.dwSize = ras::kEntrySize;
    std::uint32_t size = ras::kEntrySize;
    if (binding.GetEntryProperties(nullptr, entryName.c_str(), &entry, &size) != 0) return std::nullopt;
    return EntryDevice{ras::FieldText(entry.szDeviceType), ras::FieldText(entry.szDeviceName)};
}

void ParseDottedAddress(std::string text, ras::RASIPADDR& address) {
    std::uint8_t* const bytes[] = {&address.a, &address.b, &address.c, &address.d};
    for (std::size_t piece = 0;; ++piece) {
        const std::size_t dot = text.find('.');
        const bool last = dot == std::string::npos;
        const std::int32_t number = LeadingInteger(last ? text : text.substr(0, dot));
        if (piece < 4) *bytes[piece] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(number) & 0xFF);
        if (last) break;
        text.erase(0, dot + 1);
    }
}

Removal RemoveDialupEntry(RasLibrary& library, const std::string& entryName) {
    if (entryName.empty() || entryName.size() > ras::kMaxEntryName) return {};
    RasBinding binding(library);
    // Valid and free means there is no such entry; any other answer than "exists" is left for the
    // deletion to settle, so that a refusal for rights is reported as such.
    const std::uint32_t validation = binding.ValidateEntryName(nullptr, entryName.c_str());
    if (validation == 0) return {};
    const std::uint32_t result = binding.DeleteEntry(nullptr, entryName.c_str());
    if (result == 0) return {RemovalState::Removed, 0, 1};
    if (result == kErrorEntryNotFound) return {};
    return {RemovalState::Failed, result, 0};
}

} // namespace vantaro
