#include "phone/SimRead.h"

#include "phone/AtConversation.h"
#include "phone/PhoneCheck.h"

#include <algorithm>

namespace vantaro {

namespace {

// What the SIM operator's readers get of a response: its lines when the phone said OK, its
// final result when it refused (a "+CME ERROR" is an answer: the SIM cannot tell), nothing
// when it did not answer in time.
std::vector<std::string> AnswerLines(AtResponse&& response) {
    if (response.Ok()) return std::move(response.lines);
    if (response.end == ResponseEnd::Final) return {std::move(response.finalLine)};
    return {};
}

} // namespace

SimOperator AskSimOperator(const AtAsk& ask) {
    using namespace providers;
    AtResponse imsiResponse = ask(kImsiCommand);
    if (!Answered(imsiResponse)) return ChooseSimOperator(std::nullopt, std::nullopt, std::nullopt);
    const std::optional<ImsiHead> imsi = ReadImsiHead(AnswerLines(std::move(imsiResponse)));
    if (!imsi) return ChooseSimOperator(std::nullopt, std::nullopt, std::nullopt);

    AtResponse mncLengthResponse = ask(kReadMncLengthCommand);
    if (!Answered(mncLengthResponse)) return ChooseSimOperator(imsi, std::nullopt, std::nullopt);
    const std::optional<int> mncLength = ReadMncLength(AnswerLines(std::move(mncLengthResponse)));
    if (mncLength) return ChooseSimOperator(imsi, mncLength, std::nullopt);

    // The registered network as digits; a phone that refuses the format may still give them.
    if (!Answered(ask(kNumericOperatorFormatCommand))) return ChooseSimOperator(imsi, std::nullopt, std::nullopt);
    return ChooseSimOperator(imsi, std::nullopt, ReadRegisteredNetwork(AnswerLines(ask(kRegisteredOperatorCommand))));
}

void AskSimIdentity(const AtAsk& ask, PortFindings& findings) {
    // Some phones answer AT+CCID with "+ICCID:", which is not the command's own name.
    const auto linesOf = [](AtResponse&& response) {
        std::vector<std::string> lines = std::move(response.unsolicited);
        for (std::string& line : AnswerLines(std::move(response))) lines.push_back(std::move(line));
        return lines;
    };
    AtResponse iccidResponse = ask(kIccidCommand);
    if (!Answered(iccidResponse)) return;
    std::optional<Iccid> iccid = ReadIccid(linesOf(std::move(iccidResponse)));
    if (!iccid) {
        AtResponse fileResponse = ask(kReadIccidCommand);
        if (!Answered(fileResponse)) return;
        iccid = ReadIccid(linesOf(std::move(fileResponse)));
    }
    if (iccid) findings.iccid = iccid->digits;
    AtResponse spnResponse = ask(kReadSpnCommand);
    if (!Answered(spnResponse)) return;
    if (const std::optional<ServiceProviderName> name = ReadServiceProviderName(linesOf(std::move(spnResponse))))
        findings.serviceProviderName = name->utf8;
}

bool Answered(const AtResponse& response) {
    return response.end == ResponseEnd::Final || response.end == ResponseEnd::TooLong;
}

PortFindings ReadSimBeforeDial(SerialPorts& ports, const std::string& portName, Clock& clock,
                               const SimReadTimings& timings) {
    PortFindings findings;
    findings.port = portName;
    if (portName.empty()) return findings;
    PortOpenResult opened = ports.Open(portName);
    if (opened.error != PortOpenError::None || !opened.port) return findings;
    const std::atomic<bool> stop{false};
    AtConversation conversation(*opened.port, clock, stop);
    const std::uint32_t start = clock.TickCount();
    if (!conversation.Send("AT", std::min(timings.probeMs, timings.budgetMs)).Ok()) return findings;
    findings.state = PortState::Modem;
    // Each question gets what is left of the budget, at most its own bound; a question left
    // unanswered ends the read, since the dial waits for it.
    bool ended = false;
    const AtAsk ask = [&](std::string_view command) {
        AtResponse response;
        const std::uint32_t spent = clock.TickCount() - start;
        if (ended || spent >= timings.budgetMs) return response;
        response = conversation.Send(command, std::min(timings.questionMs, timings.budgetMs - spent));
        ended = !Answered(response);
        return response;
    };
    ask(kModemSetupCommand);
    findings.simOperator = AskSimOperator(ask);
    AskSimIdentity(ask, findings);
    return findings;
}

} // namespace vantaro
