#include "phone/PhoneCheck.h"

#include "phone/AtConversation.h"
#include "phone/SimRead.h"

#include "platform/TextRules.h"

#include <algorithm>
#include <cctype>
#include <functional>

namespace vantaro {
namespace {

// CME error numbers that mean the SIM is not there.
constexpr int kCmeSimNotInserted = 10;
constexpr int kCmeSimFailure = 13;

// The first line of an answer that said OK, after its "<name>:" when it has one, unquoted.
std::string FirstLine(const AtResponse& response, std::string_view name) {
    if (!response.Ok() || response.lines.empty()) return {};
    const std::string& line = response.lines.front();
    return std::string(Unquoted(InformationOf(line, name).value_or(TrimmedLine(line))));
}

} // namespace

std::string MakerFrom(const AtResponse& response) { return FirstLine(response, "+CGMI"); }

std::string ModelFrom(const AtResponse& response) {
    if (response.Ok())
        for (const std::string& line : response.lines)
            if (const std::optional<std::string_view> model = InformationOf(line, "Model")) return std::string(Unquoted(*model));
    return FirstLine(response, "+CGMM");
}

SimState SimFrom(const AtResponse& response) {
    if (response.end != ResponseEnd::Final) return SimState::Unknown;
    if (response.result == FinalResult::CmeError) {
        const std::optional<int> code = response.ErrorCode();
        if (code == kCmeSimNotInserted || code == kCmeSimFailure) return SimState::NoSim;
        return SimState::Unknown;
    }
    if (!response.Ok()) return SimState::Unknown;
    const std::optional<std::vector<std::string_view>> fields = FieldsFor(response.lines, "+CPIN");
    if (!fields) return SimState::Unknown;
    for (SimState sim : {SimState::Ready, SimState::Pin, SimState::Puk, SimState::Pin2, SimState::PhoneSimPin,
                         SimState::PhoneNetworkPin})
        if (EqualsIgnoringAsciiCase(fields->front(), CodeName(sim))) return sim;
    return SimState::Unknown;
}

const char* CodeName(SimState sim) {
    switch (sim) {
    case SimState::Ready: return "READY";
    case SimState::Pin: return "SIM PIN";
    case SimState::Puk: return "SIM PUK";
    case SimState::Pin2: return "SIM PIN2";
    case SimState::PhoneSimPin: return "PH-SIM PIN";
    case SimState::PhoneNetworkPin: return "PH-NET PIN";
    case SimState::NoSim:
    case SimState::Unknown: break;
    }
    return "";
}

std::optional<int> TriesLeftFrom(const AtResponse& response, SimState sim) {
    const std::string_view code = CodeName(sim);
    if (!response.Ok() || sim == SimState::Ready || code.empty()) return std::nullopt;
    // Some phones answer for every code, one line each; the line of the code asked about counts.
    for (const std::string& line : response.lines) {
        const std::optional<std::string_view> information = InformationOf(line, "+CPINR");
        if (!information) continue;
        const std::vector<std::string_view> fields = FieldsOf(*information);
        if (fields.size() < 2 || !EqualsIgnoringAsciiCase(fields[0], code)) continue;
        const std::optional<int> left = NumberOf(fields[1], 2);
        const std::optional<int> most = fields.size() > 2 ? NumberOf(fields[2], 2) : std::nullopt;
        if (!left || (fields.size() > 2 && (!most || *left > *most))) return std::nullopt;
        return left;
    }
    return std::nullopt;
}

std::optional<int> SignalFrom(const AtResponse& response) {
    if (!response.Ok()) return std::nullopt;
    const std::optional<std::vector<std::string_view>> fields = FieldsFor(response.lines, "+CSQ");
    if (!fields) return std::nullopt;
    const std::optional<int> signal = NumberOf(fields->front());
    if (!signal || *signal > kSignalHighest) return std::nullopt;
    return signal;
}

Registration RegistrationFrom(const AtResponse& response) {
    if (!response.Ok()) return Registration::Unknown;
    // The answer to the question is "<n>,<stat>[,...]"; an unsolicited line of the same name
    // that came in between is "<stat>[,"<lac>",...]", so its second field is never a bare number.
    for (const std::string& line : response.lines) {
        for (const char* name : {"+CREG", "+CGREG", "+CEREG"}) {
            const std::optional<std::string_view> information = InformationOf(line, name);
            if (!information) continue;
            const std::vector<std::string_view> fields = FieldsOf(*information);
            if (fields.size() < 2 || !NumberOf(fields[0])) continue;
            const std::optional<int> stat = NumberOf(fields[1]);
            if (!stat) continue;
            switch (*stat) {
            case 0: return Registration::NotRegistered;
            case 1: return Registration::Home;
            case 2: return Registration::Searching;
            case 3: return Registration::Denied;
            case 5: return Registration::Roaming;
            default: return Registration::Unknown;
            }
        }
    }
    return Registration::Unknown;
}

PortFindings CheckPort(SerialPorts& ports, const std::string& name, Clock& clock, const std::atomic<bool>& stop,
                       const CheckTimings& timings) {
    PortFindings findings;
    findings.port = name;
    PortOpenResult opened = ports.Open(name);
    findings.platformError = opened.platformError;
    switch (opened.error) {
    case PortOpenError::None: break;
    case PortOpenError::Busy: findings.state = PortState::Busy; return findings;
    case PortOpenError::Refused: findings.state = PortState::Refused; return findings;
    case PortOpenError::Missing: findings.state = PortState::NoAnswer; return findings;
    }
    SerialPort& port = *opened.port;
    AtConversation conversation(port, clock, stop);

    // Is a modem there at all?
    bool modem = false;
    for (int attempt = 0; attempt < timings.probes && !modem; ++attempt) {
        const AtResponse response = conversation.Send("AT", timings.probeMs);
        if (response.end == ResponseEnd::NotAModem || response.end == ResponseEnd::TooLong) {
            findings.state = PortState::NotAModem;
            return findings;
        }
        if (response.end == ResponseEnd::PortLost || response.end == ResponseEnd::Stopped ||
            response.end == ResponseEnd::NotSent)
            return findings;
        modem = response.Ok();
    }
    if (!modem) return findings;
    findings.state = PortState::Modem;
    // No echo, verbose results, +CME ERROR numbers instead of a bare ERROR: whatever another
    // program left the phone in. A phone that refuses this line is still read (its echo and
    // numeric results too).
    if (conversation.Send(kModemSetupCommand, timings.queryMs).end == ResponseEnd::Stopped) return findings;

    // A question that goes unanswered either is one this phone does not know, or the phone
    // went away mid-answer: one more AT tells which, and a phone that is gone is no answer.
    bool gone = false;
    auto ask = [&](std::string_view command) {
        AtResponse response;
        if (gone) return response;
        response = conversation.Send(command, timings.queryMs);
        if (!Answered(response) &&
            (response.end == ResponseEnd::Stopped || !conversation.Send("AT", timings.probeMs).Ok()))
            gone = true;
        return response;
    };
    // The schedule's questions, by their place in kPhoneQuestions.
    enum { kMaker, kModel, kIdentity, kSim, kSignal, kNetwork, kGprs };
    static_assert(std::size(kPhoneQuestions) == kGprs + 1, "every question of the schedule is asked");
    findings.maker = MakerFrom(ask(kPhoneQuestions[kMaker]));
    findings.model = ModelFrom(ask(kPhoneQuestions[kModel]));
    if (findings.model.empty()) findings.model = ModelFrom(ask(kPhoneQuestions[kIdentity]));
    findings.sim = SimFrom(ask(kPhoneQuestions[kSim]));
    // A SIM that wants a code: how many tries it has left. A phone that does not know the
    // question answers ERROR at once; the count is then not shown.
    if (!ReadyForData(findings.sim) && CodeName(findings.sim)[0] != '\0')
        findings.triesLeft = TriesLeftFrom(ask(kTriesLeftCommand), findings.sim);
    findings.signal = SignalFrom(ask(kPhoneQuestions[kSignal]));
    findings.network = RegistrationFrom(ask(kPhoneQuestions[kNetwork]));
    findings.gprs = RegistrationFrom(ask(kPhoneQuestions[kGprs]));
    // A SIM that is locked or absent has no operator to give: it is not asked.
    if (ReadyForData(findings.sim) && !gone) {
        findings.simOperator = AskSimOperator(ask);
        // A SIM whose operator could not be read is not asked more of.
        if (!gone && findings.simOperator.source != OperatorSource::None) AskSimIdentity(ask, findings);
    }
    if (gone) {
        PortFindings lost;
        lost.port = name;
        return lost;
    }
    return findings;
}

} // namespace vantaro
