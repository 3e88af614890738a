#include "phone/PhoneCheck.h"

#include "phone/AtConversation.h"

#include "platform/TextRules.h"

#include <algorithm>
#include <cctype>
#include <functional>

namespace vantaro {
namespace {

// CME error numbers that mean the SIM is not there.
constexpr int kCmeSimNotInserted = 10;
constexpr int kCmeSimFailure = 13;

std::string Upper(std::string_view text) { return AsciiUpper(text); }

// Blanks and the quotes around a quoted field.
std::string_view Trimmed(std::string_view text) { return TrimmedOf(text, " \t\""); }

// The text after "<name>:" when the line starts with it (in any letter case), else the line.
std::string_view AfterName(std::string_view line, std::string_view name) {
    if (line.size() > name.size() && Upper(line.substr(0, name.size())) == name && line[name.size()] == ':')
        return Trimmed(line.substr(name.size() + 1));
    return Trimmed(line);
}

// The comma-separated fields of a "<name>:" line; nothing when the line is not one.
std::optional<std::vector<std::string>> FieldsOf(std::string_view line, std::string_view name) {
    if (line.size() <= name.size() || Upper(line.substr(0, name.size())) != name || line[name.size()] != ':')
        return std::nullopt;
    std::vector<std::string> fields;
    line.remove_prefix(name.size() + 1);
    while (true) {
        const std::size_t comma = line.find(',');
        fields.emplace_back(Trimmed(line.substr(0, comma)));
        if (comma == std::string_view::npos) break;
        line.remove_prefix(comma + 1);
    }
    return fields;
}

// The fields of the first "<name>:" line of the response; empty when there is none.
std::vector<std::string> FieldsOf(const AtResponse& response, std::string_view name) {
    for (const std::string& line : response.lines)
        if (std::optional<std::vector<std::string>> fields = FieldsOf(line, name)) return *fields;
    return {};
}

// A small decimal number, nothing when the text is not one.
std::optional<int> Number(std::string_view text) {
    if (text.empty() || text.size() > 3) return std::nullopt;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

std::string FirstLine(const AtResponse& response, std::string_view name) {
    if (!response.Ok() || response.lines.empty()) return {};
    return std::string(AfterName(response.lines.front(), name));
}

bool Answers(const AtResponse& response) {
    return response.end == ResponseEnd::Final || response.end == ResponseEnd::TooLong;
}

// What the SIM operator's readers get of a response: its lines when the phone said OK, its
// final result when it refused (a "+CME ERROR" is an answer: the SIM cannot tell), nothing
// when it did not answer in time.
std::vector<std::string> AnswerLines(AtResponse&& response) {
    if (response.Ok()) return std::move(response.lines);
    if (response.end == ResponseEnd::Final) return {std::move(response.finalLine)};
    return {};
}

using Ask = std::function<AtResponse(std::string_view)>;

// The home operator of a SIM that is ready: its IMSI's head, then the MNC's length from EF_AD;
// when the SIM does not give that length, the network the phone is registered on. A question
// the phone leaves unanswered ends the reading (one deadline, not four). Of the IMSI only its
// head is kept, and only until the operator is chosen.
providers::SimOperator AskSimOperator(const Ask& ask) {
    using namespace providers;
    AtResponse imsiResponse = ask(kImsiCommand);
    if (!Answers(imsiResponse)) return ChooseSimOperator(std::nullopt, std::nullopt, std::nullopt);
    const std::optional<ImsiHead> imsi = ReadImsiHead(AnswerLines(std::move(imsiResponse)));
    if (!imsi) return ChooseSimOperator(std::nullopt, std::nullopt, std::nullopt);

    AtResponse mncLengthResponse = ask(kReadMncLengthCommand);
    if (!Answers(mncLengthResponse)) return ChooseSimOperator(imsi, std::nullopt, std::nullopt);
    const std::optional<int> mncLength = ReadMncLength(AnswerLines(std::move(mncLengthResponse)));
    if (mncLength) return ChooseSimOperator(imsi, mncLength, std::nullopt);

    // The registered network as digits; a phone that refuses the format may still give them.
    if (!Answers(ask(kNumericOperatorFormatCommand))) return ChooseSimOperator(imsi, std::nullopt, std::nullopt);
    return ChooseSimOperator(imsi, std::nullopt, ReadRegisteredNetwork(AnswerLines(ask(kRegisteredOperatorCommand))));
}

} // namespace

std::string MakerFrom(const AtResponse& response) { return FirstLine(response, "+CGMI"); }

std::string ModelFrom(const AtResponse& response) {
    if (response.Ok())
        for (const std::string& line : response.lines)
            if (line.size() > 6 && Upper(line.substr(0, 6)) == "MODEL:") return std::string(Trimmed(line.substr(6)));
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
    const std::vector<std::string> fields = FieldsOf(response, "+CPIN");
    if (fields.empty()) return SimState::Unknown;
    const std::string code = Upper(fields[0]);
    if (code == "READY") return SimState::Ready;
    if (code == "SIM PIN") return SimState::Pin;
    if (code == "SIM PUK") return SimState::Puk;
    if (code == "SIM PIN2") return SimState::Pin2;
    if (code == "PH-SIM PIN") return SimState::PhoneSimPin;
    if (code == "PH-NET PIN") return SimState::PhoneNetworkPin;
    return SimState::Unknown;
}

std::optional<int> SignalFrom(const AtResponse& response) {
    if (!response.Ok()) return std::nullopt;
    const std::vector<std::string> fields = FieldsOf(response, "+CSQ");
    if (fields.empty()) return std::nullopt;
    const std::optional<int> signal = Number(fields[0]);
    if (!signal || *signal > kSignalHighest) return std::nullopt;
    return signal;
}

Registration RegistrationFrom(const AtResponse& response) {
    if (!response.Ok()) return Registration::Unknown;
    // The answer to the question is "<n>,<stat>[,...]"; an unsolicited line of the same name
    // that came in between is "<stat>[,"<lac>",...]", so its second field is never a bare number.
    for (const std::string& line : response.lines) {
        for (const char* name : {"+CREG", "+CGREG", "+CEREG"}) {
            const std::optional<std::vector<std::string>> fields = FieldsOf(line, name);
            if (!fields || fields->size() < 2 || !Number((*fields)[0])) continue;
            const std::optional<int> stat = Number((*fields)[1]);
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
        if (!Answers(response) &&
            (response.end == ResponseEnd::Stopped || !conversation.Send("AT", timings.probeMs).Ok()))
            gone = true;
        return response;
    };
    findings.maker = MakerFrom(ask("AT+CGMI"));
    const AtResponse model = ask("AT+CGMM");
    findings.model = ModelFrom(model);
    if (findings.model.empty()) findings.model = ModelFrom(ask("ATI"));
    findings.sim = SimFrom(ask("AT+CPIN?"));
    findings.signal = SignalFrom(ask("AT+CSQ"));
    findings.network = RegistrationFrom(ask("AT+CREG?"));
    findings.gprs = RegistrationFrom(ask("AT+CGREG?"));
    // A SIM that is locked or absent has no operator to give: it is not asked.
    if (ReadyForData(findings.sim) && !gone) findings.simOperator = AskSimOperator(ask);
    if (gone) {
        PortFindings lost;
        lost.port = name;
        return lost;
    }
    return findings;
}

bool IsValidPin(std::string_view pin) {
    return pin.size() >= 4 && pin.size() <= 8 &&
           std::all_of(pin.begin(), pin.end(), [](char c) { return c >= '0' && c <= '9'; });
}

PinOutcome SendPin(SerialPorts& ports, const std::string& name, std::string_view pin, Clock& clock,
                   const std::atomic<bool>& stop, const CheckTimings& timings) {
    if (!IsValidPin(pin)) return PinOutcome::NotValid;
    PortOpenResult opened = ports.Open(name);
    if (opened.error != PortOpenError::None) return PinOutcome::NotOpened;
    AtConversation conversation(*opened.port, clock, stop);
    std::string command = "AT+CPIN=\"";
    command.append(pin.data(), pin.size());
    command += '"';
    const AtResponse response = conversation.Send(command, timings.pinMs);
    switch (response.end) {
    case ResponseEnd::Final: return response.Ok() ? PinOutcome::Accepted : PinOutcome::Rejected;
    case ResponseEnd::Stopped: return PinOutcome::Stopped;
    default: return PinOutcome::NoAnswer;
    }
}

} // namespace vantaro
