#include "phone/PortFindings.h"

#include <tuple>

namespace vantaro {
namespace {

// Upper bounds of the AT+CSQ figure for 0, 1, 2, 3 and 4 bars; above the last is 5 bars.
constexpr int kBarLimits[] = {1, 9, 14, 19, 24};
constexpr int kDbmAtZero = -113;

std::string Field(const std::string& text) {
    std::string field = text;
    for (char& c : field)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = ' ';
    return field;
}

} // namespace

bool PortFindings::operator==(const PortFindings& other) const {
    return std::tie(port, state, platformError, maker, model, sim, triesLeft, signal, network, gprs) ==
               std::tie(other.port, other.state, other.platformError, other.maker, other.model, other.sim,
                        other.triesLeft, other.signal, other.network, other.gprs) &&
           simOperator.source == other.simOperator.source && simOperator.network == other.simOperator.network &&
           simOperator.registeredMatchesImsi == other.simOperator.registeredMatchesImsi &&
           simOperator.reason == other.simOperator.reason && iccid == other.iccid &&
           serviceProviderName == other.serviceProviderName;
}

int SignalBars(int signal) {
    int bars = 0;
    for (int limit : kBarLimits)
        if (signal > limit) ++bars;
    return bars;
}

int SignalDbm(int signal) { return kDbmAtZero + 2 * signal; }

const char* StateText(PortState state) {
    switch (state) {
    case PortState::Modem: return "modem";
    case PortState::NoAnswer: return "no answer";
    case PortState::Busy: return "busy";
    case PortState::NotAModem: return "not a modem";
    case PortState::Refused: return "refused";
    }
    return "";
}

bool ReadyForData(SimState sim) { return sim == SimState::Ready || sim == SimState::Pin2; }

const char* SimText(SimState sim) {
    switch (sim) {
    case SimState::Ready: return "ready";
    case SimState::Pin: return "PIN";
    case SimState::Puk: return "PUK";
    case SimState::NoSim: return "no SIM";
    case SimState::Pin2: return "PIN2";
    case SimState::PhoneSimPin: return "PH-SIM PIN";
    case SimState::PhoneNetworkPin: return "PH-NET PIN";
    case SimState::Unknown: break;
    }
    return "";
}

const char* RegistrationText(Registration network) {
    switch (network) {
    case Registration::Home: return "home";
    case Registration::Roaming: return "roaming";
    case Registration::Searching: return "searching";
    case Registration::Denied: return "denied";
    case Registration::NotRegistered: return "not registered";
    case Registration::Unknown: break;
    }
    return "";
}

std::string SimField(const PortFindings& findings) {
    std::string field = SimText(findings.sim);
    // The count belongs to the code the SIM wants; a ready SIM wants none.
    if (!findings.triesLeft || field.empty() || ReadyForData(findings.sim)) return field;
    field += ", ";
    field += *findings.triesLeft == 1 ? std::string("1 try left") : std::to_string(*findings.triesLeft) + " tries left";
    return field;
}

std::string CheckLine(const PortFindings& findings) {
    std::string line = Field(findings.port);
    for (const std::string& field : {std::string(StateText(findings.state)), Field(findings.maker), Field(findings.model),
                                     SimField(findings),
                                     findings.signal ? std::to_string(*findings.signal) : std::string(),
                                     std::string(RegistrationText(findings.network))}) {
        line += '\t';
        line += field;
    }
    return line;
}

} // namespace vantaro
