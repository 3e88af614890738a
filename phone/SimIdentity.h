#pragma once
// Which SIM is in the phone and what its operator calls itself, read from the phone's answers:
//
//   AT+CCID                   the ICCID, the number printed on the SIM card: +CCID: <digits>
//                             (+ICCID: on some phones, the bare digits on others)
//   AT+CRSM=176,12258,0,0,10  READ BINARY of EF_ICCID (2FE2), for phones without AT+CCID: ten
//                             bytes of BCD, each byte's digits swapped, 'F' filling the end
//   AT+CRSM=176,28486,0,0,17  READ BINARY of EF_SPN (6F46): the name the operator wants shown
//
// The ICCID names one card, so most of it stays hidden, by the rule that keeps the IMSI
// (kShownSimDigits). A SIM without a name, or a phone that cannot read the file, gives no name:
// that is a SIM like many, not a failure.

#include "phone/SimText.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vantaro {

inline constexpr char kIccidCommand[] = "AT+CCID";
inline constexpr char kReadIccidCommand[] = "AT+CRSM=176,12258,0,0,10";
inline constexpr char kReadSpnCommand[] = "AT+CRSM=176,28486,0,0,17";

inline constexpr std::size_t kFewestIccidDigits = 18;
inline constexpr std::size_t kMostIccidDigits = 20;

struct Iccid {
    std::string digits;  // 18 to 20; the last may be a Luhn check digit, which is not checked
};

// The ICCID from the lines of AT+CCID or of the EF_ICCID read; nothing for an error, a refused
// read, two different numbers, or anything but 18 to 20 digits (before any 'F' filler). A phone
// that answers AT+CCID with +ICCID: has that line set aside by the ResponseReader as belonging
// to another command: give this the response's unsolicited lines with its own.
std::optional<Iccid> ReadIccid(const std::vector<std::string>& lines);
// The ICCID as shown: its first kShownSimDigits digits, then '*' for each other one.
std::string ShownIccid(const Iccid& iccid);

struct ServiceProviderName {
    std::string utf8;
    // The first byte of EF_SPN: bit 0 asks for the registered network's name as well, when
    // the phone is on the SIM's own network; bit 1, that the name be left out when roaming.
    std::uint8_t displayCondition = 0;
};

// The name from the lines of the EF_SPN read: the GSM 7-bit default alphabet one septet a
// byte padded with FF, or UCS2 in one of the three forms a SIM's names take (80, 81, 82).
// Nothing when the read failed or was refused, or the name is empty or not of those forms.
std::optional<ServiceProviderName> ReadServiceProviderName(const std::vector<std::string>& lines);

} // namespace vantaro
