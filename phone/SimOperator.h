#pragma once
// Which operator a phone's SIM belongs to, read from the phone's answers to three AT commands.
// The conversation itself belongs to the phone check; these functions take the lines it read
// for one command (with or without the echo, the final result line and unsolicited lines in
// between) and decide.
//
//   AT+CIMI                  the IMSI: its first three digits are the home network's MCC, and
//                            the next two or three its MNC
//   AT+CRSM=176,28589,0,0,4  READ BINARY of the SIM's administrative data (EF_AD): the low four
//                            bits of its fourth byte say whether the MNC has two digits or three
//   AT+COPS=3,2, AT+COPS?    the network the phone is registered on, as digits; when roaming,
//                            that is the visited network, not the SIM's own
//
// The IMSI identifies the subscriber, so nothing here keeps it: the values returned hold the
// MCC and at most three digits after it. A "+CME ERROR" answer (SIM locked, absent, busy) means
// the phone could not tell; it is no answer, not a failure of the check.

#include "phone/SimText.h"
#include "providers/NetworkId.h"

#include <optional>
#include <string>
#include <vector>

namespace vantaro {

// The commands, as the phone check sends them (without the line end).
inline constexpr char kImsiCommand[] = "AT+CIMI";
inline constexpr char kReadMncLengthCommand[] = "AT+CRSM=176,28589,0,0,4";
inline constexpr char kNumericOperatorFormatCommand[] = "AT+COPS=3,2";
inline constexpr char kRegisteredOperatorCommand[] = "AT+COPS?";

// How much of a number that names a SIM or its subscriber (the IMSI, the ICCID) is ever kept or
// shown: the first six digits, which name the country and the operator, never the rest.
inline constexpr std::size_t kShownSimDigits = 6;

// The first six digits of an IMSI: the MCC and the longest MNC, never the subscriber's number.
struct ImsiHead {
    std::string digits;
};

// The IMSI's head from AT+CIMI's lines, when they hold exactly one IMSI of 14 or 15 digits
// (optionally after "+CIMI:"). Nothing for an error, no digits, other lengths or two IMSIs.
std::optional<ImsiHead> ReadImsiHead(const std::vector<std::string>& lines);

// The bytes of a READ BINARY of a SIM file (AT+CRSM=176,...): +CRSM: <sw1>,<sw2>,"<hex>" with a
// status word of success (sw1 144 with sw2 0, or 145 or 146). Nothing for an error, a refused
// read (106,130: no such file) or hex that is not hex.
std::optional<Bytes> ReadSimFile(const std::vector<std::string>& lines);

// 2 or 3 from the EF_AD read's lines: +CRSM: <sw1>,<sw2>,"<hex>" with a status word of success
// (sw1 144, 145 or 146) and exactly four bytes. Nothing for an error, a refused read, data of
// another length or a length byte that says neither 2 nor 3.
std::optional<int> ReadMncLength(const std::vector<std::string>& lines);

// The registered network from AT+COPS?'s lines (after AT+COPS=3,2):
// +COPS: <mode>,2,"<mcc><mnc>"[,<act>]. Nothing when the phone names no operator, names it in
// another format, or answers with an error.
std::optional<providers::NetworkId> ReadRegisteredNetwork(const std::vector<std::string>& lines);

// The home network of a SIM: the MCC and the next `mncLength` digits (2 or 3) of the IMSI.
std::optional<providers::NetworkId> HomeNetwork(const ImsiHead& imsi, int mncLength);

enum class OperatorSource {
    None,
    SimHome,            // the SIM's own network: IMSI and EF_AD
    RegisteredNetwork,  // the network the phone is registered on; may be the visited one when roaming
};

enum class NoOperatorReason {
    None,
    NoImsi,             // no IMSI of 14-15 digits: SIM locked, absent or not answering
    NoNetwork,          // the MNC length is unknown and the phone names no registered network
    RegisteredAbroad,   // the MNC length is unknown and the phone is registered in another country
};

struct SimOperator {
    OperatorSource source = OperatorSource::None;
    providers::NetworkId network;                    // empty when source is None
    // For RegisteredNetwork: the IMSI begins with this network's MCC and MNC, so it is most
    // likely the SIM's own; false when it is another network of the same country (roaming there,
    // or a virtual operator's host).
    bool registeredMatchesImsi = false;
    NoOperatorReason reason = NoOperatorReason::None;  // why source is None
};

// The SIM's operator: its home network when the IMSI and the MNC length are known; else the
// registered network when it is in the IMSI's country; else none, with the reason.
SimOperator ChooseSimOperator(const std::optional<ImsiHead>& imsi, std::optional<int> mncLength,
                              const std::optional<providers::NetworkId>& registered);

// The same from the three answers' lines. `registeredLines` may be empty: the phone check asks
// for the registered network only when ReadMncLength gave nothing.
SimOperator ReadSimOperator(const std::vector<std::string>& imsiLines, const std::vector<std::string>& mncLengthLines,
                            const std::vector<std::string>& registeredLines);

// In words, for the dialog's status and the log: "home network 460-00 (from the SIM)",
// "registered network 460-01, may be the visited one when roaming", "no operator: ...".
std::string DescribeSimOperator(const SimOperator& simOperator);

} // namespace vantaro
