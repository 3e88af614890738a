#pragma once
// The remote-access records in their first published forms. The service chooses the form by the
// record's dwSize, and the program always speaks the first one; the mingw headers only carry the
// latest forms, so the records are defined here, byte for byte, with every size and every offset
// that the service reads checked at compile time.
//
// The field names are the platform's own. No pointer or handle lives in the first published forms
// (the handle-carrying fields, RASDIALPARAMS' dwCallbackId and RASCONN's hrasconn, came later or
// belong to records the program does not use), so the layout is the same on 32-bit Windows, on
// 64-bit Windows and on the host, and the logic that fills them is tested there.

#include "platform/PlatformCodes.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <string_view>

namespace vantaro::ras {

// Longest texts the fields hold, without their terminating NUL.
inline constexpr std::size_t kMaxEntryName = 256;
inline constexpr std::size_t kMaxDeviceType = 16;
inline constexpr std::size_t kMaxDeviceName = 128;
inline constexpr std::size_t kMaxPhoneNumber = 128;
inline constexpr std::size_t kMaxCallbackNumber = 128;
inline constexpr std::size_t kMaxUserName = 256;
inline constexpr std::size_t kMaxPassword = 256;
inline constexpr std::size_t kMaxDomain = 15;
inline constexpr std::size_t kMaxAreaCode = 10;
inline constexpr std::size_t kMaxPadType = 32;
inline constexpr std::size_t kMaxX25Address = 200;
inline constexpr std::size_t kMaxFacilities = 200;
inline constexpr std::size_t kMaxUserData = 200;
inline constexpr std::size_t kMaxPath = 260;
inline constexpr std::size_t kErrorStringBufferSize = 256;

struct RASIPADDR {
    std::uint8_t a;
    std::uint8_t b;
    std::uint8_t c;
    std::uint8_t d;
};

struct RASDEVINFOA {
    std::uint32_t dwSize;
    char szDeviceType[kMaxDeviceType + 1];
    char szDeviceName[kMaxDeviceName + 1];
};

struct RASDIALPARAMSA {
    std::uint32_t dwSize;
    char szEntryName[kMaxEntryName + 1];
    char szPhoneNumber[kMaxPhoneNumber + 1];
    char szCallbackNumber[kMaxCallbackNumber + 1];
    char szUserName[kMaxUserName + 1];
    char szPassword[kMaxPassword + 1];
    char szDomain[kMaxDomain + 1];
};

struct RASCONNSTATUSA {
    std::uint32_t dwSize;
    std::uint32_t rasconnstate;
    std::uint32_t dwError;
    char szDeviceType[kMaxDeviceType + 1];
    char szDeviceName[kMaxDeviceName + 1];
};

struct RASENTRYA {
    std::uint32_t dwSize;
    std::uint32_t dwfOptions;
    std::uint32_t dwCountryID;
    std::uint32_t dwCountryCode;
    char szAreaCode[kMaxAreaCode + 1];
    char szLocalPhoneNumber[kMaxPhoneNumber + 1];
    std::uint32_t dwAlternateOffset;
    RASIPADDR ipaddr;
    RASIPADDR ipaddrDns;
    RASIPADDR ipaddrDnsAlt;
    RASIPADDR ipaddrWins;
    RASIPADDR ipaddrWinsAlt;
    std::uint32_t dwFrameSize;
    std::uint32_t dwfNetProtocols;
    std::uint32_t dwFramingProtocol;
    char szScript[kMaxPath];
    char szAutodialDll[kMaxPath];
    char szAutodialFunc[kMaxPath];
    char szDeviceType[kMaxDeviceType + 1];
    char szDeviceName[kMaxDeviceName + 1];
    char szX25PadType[kMaxPadType + 1];
    char szX25Address[kMaxX25Address + 1];
    char szX25Facilities[kMaxFacilities + 1];
    char szX25UserData[kMaxUserData + 1];
    std::uint32_t dwChannels;
    std::uint32_t dwReserved1;
    std::uint32_t dwReserved2;
};

// What a connection has carried so far; the counters are the service's DWORDs and wrap at 4 GiB.
struct RAS_STATS {
    std::uint32_t dwSize;
    std::uint32_t dwBytesXmited;
    std::uint32_t dwBytesRcved;
    std::uint32_t dwFramesXmited;
    std::uint32_t dwFramesRcved;
    std::uint32_t dwCrcErr;
    std::uint32_t dwTimeoutErr;
    std::uint32_t dwAlignmentErr;
    std::uint32_t dwHardwareOverrunErr;
    std::uint32_t dwFramingErr;
    std::uint32_t dwBufferOverrunErr;
    std::uint32_t dwCompressionRatioIn;
    std::uint32_t dwCompressionRatioOut;
    std::uint32_t dwBps;
    std::uint32_t dwConnectDuration;  // milliseconds
};

// The sizes that select the first published forms.
inline constexpr std::uint32_t kDevInfoSize = 152;
inline constexpr std::uint32_t kDialParamsSize = 1052;
inline constexpr std::uint32_t kConnStatusSize = 160;
inline constexpr std::uint32_t kEntrySize = 1768;
inline constexpr std::uint32_t kStatsSize = 60;

// The service tells the forms apart by dwSize alone: a size off by one byte is refused (or, worse,
// read as another form), so every figure below is the published one. They hold for the 32-bit
// and the 64-bit build alike; an alignment of 4 says that no pointer-sized member has crept in,
// which would move every figure on 64-bit Windows only.
static_assert(alignof(RASDEVINFOA) == 4 && alignof(RASDIALPARAMSA) == 4 && alignof(RASCONNSTATUSA) == 4 &&
              alignof(RASENTRYA) == 4 && alignof(RAS_STATS) == 4);
static_assert(sizeof(RASIPADDR) == 4);
static_assert(sizeof(RASDEVINFOA) == kDevInfoSize);
static_assert(offsetof(RASDEVINFOA, szDeviceType) == 4);
static_assert(offsetof(RASDEVINFOA, szDeviceName) == 21);

static_assert(sizeof(RASDIALPARAMSA) == kDialParamsSize);
static_assert(offsetof(RASDIALPARAMSA, szEntryName) == 4);
static_assert(offsetof(RASDIALPARAMSA, szPhoneNumber) == 261);
static_assert(offsetof(RASDIALPARAMSA, szCallbackNumber) == 390);
static_assert(offsetof(RASDIALPARAMSA, szUserName) == 519);
static_assert(offsetof(RASDIALPARAMSA, szPassword) == 776);
static_assert(offsetof(RASDIALPARAMSA, szDomain) == 1033);

static_assert(sizeof(RASCONNSTATUSA) == kConnStatusSize);
static_assert(offsetof(RASCONNSTATUSA, rasconnstate) == 4);
static_assert(offsetof(RASCONNSTATUSA, dwError) == 8);
static_assert(offsetof(RASCONNSTATUSA, szDeviceType) == 12);
static_assert(offsetof(RASCONNSTATUSA, szDeviceName) == 29);

static_assert(sizeof(RASENTRYA) == kEntrySize);
static_assert(offsetof(RASENTRYA, dwfOptions) == 4);
static_assert(offsetof(RASENTRYA, dwCountryID) == 8);
static_assert(offsetof(RASENTRYA, dwCountryCode) == 12);
static_assert(offsetof(RASENTRYA, szAreaCode) == 16);
static_assert(offsetof(RASENTRYA, szLocalPhoneNumber) == 27);
static_assert(offsetof(RASENTRYA, dwAlternateOffset) == 156);
static_assert(offsetof(RASENTRYA, ipaddr) == 160);
static_assert(offsetof(RASENTRYA, ipaddrDns) == 164);
static_assert(offsetof(RASENTRYA, ipaddrDnsAlt) == 168);
static_assert(offsetof(RASENTRYA, ipaddrWins) == 172);
static_assert(offsetof(RASENTRYA, ipaddrWinsAlt) == 176);
static_assert(offsetof(RASENTRYA, dwFrameSize) == 180);
static_assert(offsetof(RASENTRYA, dwfNetProtocols) == 184);
static_assert(offsetof(RASENTRYA, dwFramingProtocol) == 188);
static_assert(offsetof(RASENTRYA, szScript) == 192);
static_assert(offsetof(RASENTRYA, szAutodialDll) == 452);
static_assert(offsetof(RASENTRYA, szAutodialFunc) == 712);
static_assert(offsetof(RASENTRYA, szDeviceType) == 972);
static_assert(offsetof(RASENTRYA, szDeviceName) == 989);
static_assert(offsetof(RASENTRYA, szX25PadType) == 1118);
static_assert(offsetof(RASENTRYA, szX25Address) == 1151);
static_assert(offsetof(RASENTRYA, szX25Facilities) == 1352);
static_assert(offsetof(RASENTRYA, szX25UserData) == 1553);
static_assert(offsetof(RASENTRYA, dwChannels) == 1756);
static_assert(offsetof(RASENTRYA, dwReserved1) == 1760);
static_assert(offsetof(RASENTRYA, dwReserved2) == 1764);

static_assert(sizeof(RAS_STATS) == kStatsSize);
static_assert(offsetof(RAS_STATS, dwBytesXmited) == 4);
static_assert(offsetof(RAS_STATS, dwBytesRcved) == 8);
static_assert(offsetof(RAS_STATS, dwBps) == 52);
static_assert(offsetof(RAS_STATS, dwConnectDuration) == 56);

// Entry options, protocols and framing of the platform.
inline constexpr std::uint32_t kOptionUseCountryAndAreaCodes = 0x1;
inline constexpr std::uint32_t kOptionIpAddressGiven = 0x2;
inline constexpr std::uint32_t kOptionNameServersGiven = 0x4;
inline constexpr std::uint32_t kOptionIpHeaderCompression = 0x8;
inline constexpr std::uint32_t kOptionRemoteDefaultGateway = 0x10;
inline constexpr std::uint32_t kOptionModemLights = 0x100;
inline constexpr std::uint32_t kNetProtocolIp = 4;
inline constexpr std::uint32_t kFramingPpp = 1;

// Connection states that end a dial, as the notifier reports them.
inline constexpr std::uint32_t kStateConnected = 0x2000;
inline constexpr std::uint32_t kStateDisconnected = 0x2001;

// What RasConnectionNotificationA is asked to signal: the end of the connection.
inline constexpr std::uint32_t kNotifyDisconnection = 0x2;

// The service's answer for a connection that is gone.
inline constexpr std::uint32_t kErrorInvalidHandle = platform_code::kErrorInvalidHandle;

// The device type text of a modem.
inline constexpr char kDeviceTypeModem[] = "modem";

// A connection as the service names it; 0 is none.
using ConnectionHandle = std::uintptr_t;
// An HRASCONN is a pointer-sized handle: 4 bytes in the 32-bit build, 8 in the 64-bit one.
static_assert(sizeof(ConnectionHandle) == sizeof(void*));

// Copies a text into a fixed field with its NUL. False, with the field left as it was, when the
// text does not fit: a field is never written past its end.
template <std::size_t N>
bool CopyToField(char (&field)[N], std::string_view text) {
    if (text.size() > N - 1) return false;
    std::memcpy(field, text.data(), text.size());
    field[text.size()] = '\0';
    return true;
}

// The text of a field that the service filled, up to its NUL or the field's end.
template <std::size_t N>
std::string FieldText(const char (&field)[N]) {
    const void* end = std::memchr(field, '\0', N);
    return std::string(field, end ? static_cast<const char*>(end) - field : N);
}

// A value meant for a field, with the words that name it to the user.
struct FieldValue {
    const char* what;
    std::string_view value;
    std::size_t limit;
};

// The first value that its field cannot hold, in words ("the phone number is longer than 128
// characters"); empty when every value fits.
inline std::string DescribeOverlongValue(std::initializer_list<FieldValue> values) {
    for (const FieldValue& field : values)
        if (field.value.size() > field.limit)
            return std::string(field.what) + " is longer than " + std::to_string(field.limit) + " characters";
    return {};
}

} // namespace vantaro::ras
