#pragma once
// What the check found out about one port: one plain record, the same for the Phone dialog and
// for the command line, and the command line's way of printing it.

#include "phone/SimOperator.h"

#include <cstdint>
#include <optional>
#include <string>

namespace vantaro {

enum class PortState {
    NoAnswer,   // opened, but nothing said OK to AT (or the port went away)
    Modem,      // said OK to AT
    Busy,       // another program holds the port
    NotAModem,  // sends what no modem sends
    Refused,    // the port cannot be opened as a serial port
};

enum class SimState {
    Unknown,
    Ready,
    Pin,              // the SIM wants its PIN
    Puk,              // the SIM is blocked until its PUK is given
    NoSim,            // absent, or failed
    Pin2,             // ready except for PIN2, which guards only some SIM files: data works
    PhoneSimPin,      // the phone is locked to another SIM and wants its own code
    PhoneNetworkPin,  // the phone is locked to another network and wants its unlock code
};

// Whether a SIM in this state lets the phone dial out for data (and has an operator to ask).
bool ReadyForData(SimState sim);

// A registration as AT+CREG? and AT+CGREG? report it.
enum class Registration { Unknown, NotRegistered, Home, Searching, Denied, Roaming };

// The AT+CSQ signal figure that means "not known or not detectable".
inline constexpr int kSignalUnknown = 99;
inline constexpr int kSignalHighest = 31;
inline constexpr int kSignalBarsMost = 5;

struct PortFindings {
    std::string port;                  // "COM5"
    PortState state = PortState::NoAnswer;
    std::uint32_t platformError = 0;   // the platform's code when the port did not open
    std::string maker;                 // AT+CGMI
    std::string model;                 // AT+CGMM, or ATI when that fails
    SimState sim = SimState::Unknown;  // AT+CPIN?
    std::optional<int> triesLeft;      // AT+CPINR, for the code the SIM wants; nothing when not told
    std::optional<int> signal;         // AT+CSQ: 0 to 31; nothing when unknown
    Registration network = Registration::Unknown;  // AT+CREG?
    Registration gprs = Registration::Unknown;     // AT+CGREG?
    // The SIM's operator (its MCC and MNC only, never the whole IMSI), asked only of a SIM
    // that is ready.
    SimOperator simOperator;
    // The SIM's own identity where it was read: the ICCID's digits and the service-provider
    // name (UTF-8); empty when not known. They choose among a network's providers and find the
    // APN that last worked with this SIM.
    std::string iccid;
    std::string serviceProviderName;

    bool operator==(const PortFindings& other) const;
};

// Signal strength in bars out of kSignalBarsMost: 0 below 2 (-109 dBm), 1 up to 9 (-95 dBm),
// 2 up to 14, 3 up to 19, 4 up to 24, 5 from 25 (-63 dBm) on.
int SignalBars(int signal);
// The figure in dBm: 0 is -113 dBm or less, 31 is -51 dBm or more.
int SignalDbm(int signal);

// The words the command line prints (and tests compare).
const char* StateText(PortState state);            // "modem", "no answer", "busy", "not a modem", "refused"
// "ready", "PIN", "PUK", "no SIM", "PIN2", "PH-SIM PIN", "PH-NET PIN", ""
const char* SimText(SimState sim);
const char* RegistrationText(Registration network); // "home", "roaming", "searching", "denied", "not registered", ""

// The SIM field of /check: the SIM's word, and for a SIM that wants a code the tries that code
// has left when the phone told them ("PIN, 3 tries left", "PUK, 1 try left").
std::string SimField(const PortFindings& findings);
// One line of /check: port, state, maker, model, SIM (with its tries left), signal (0 to 31,
// empty when unknown), network, separated by tabs, without a line end. Tabs and control bytes in what the phone
// said become blanks, so that a line is always one line of seven fields.
std::string CheckLine(const PortFindings& findings);

} // namespace vantaro
