#include "phone/UssdQuery.h"

#include "phone/AtConversation.h"

namespace vantaro {

namespace {

UssdEnd EndOf(ResponseEnd why) {
    switch (why) {
    case ResponseEnd::TimedOut: return UssdEnd::TimedOut;
    case ResponseEnd::Stopped: return UssdEnd::Stopped;
    default: return UssdEnd::PortLost;
    }
}

} // namespace

UssdOutcome AskUssd(SerialPorts& ports, const std::string& port, std::string_view code, Clock& clock,
                    const std::atomic<bool>& stop, std::uint32_t replyWaitMs) {
    UssdOutcome outcome;
    const UssdCommand command = UssdSendCommand(code);
    if (command.fault != UssdCodeFault::None) {
        outcome.end = UssdEnd::CodeRefused;
        outcome.codeFault = command.fault;
        return outcome;
    }
    PortOpenResult opened = ports.Open(port);
    if (opened.error != PortOpenError::None) {
        outcome.end = opened.error == PortOpenError::Busy ? UssdEnd::PortBusy : UssdEnd::PortMissing;
        return outcome;
    }
    AtConversation conversation(*opened.port, clock, stop);
    if (stop) return outcome;
    if (!conversation.Write(command.command)) {
        outcome.end = UssdEnd::PortLost;
        return outcome;
    }
    // The same bytes go to both readers: the command's own answer (OK, or the phone's refusal)
    // and the +CUSD reply, which most phones send after the OK and some before it.
    ResponseReader answer(command.command);
    UssdReplyReader replies;
    const std::uint32_t start = clock.TickCount();
    for (;;) {
        ResponseEnd why = ResponseEnd::Reading;
        const std::optional<std::string> bytes = conversation.ReadSlice(start, replyWaitMs, why);
        if (!bytes) {
            outcome.end = EndOf(why);
            break;
        }
        if (!answer.Done()) answer.Feed(*bytes);
        replies.Feed(*bytes);
        if (std::optional<UssdReply> reply = replies.Take()) {
            outcome.end = UssdEnd::Reply;
            outcome.reply = std::move(*reply);
            return outcome;
        }
        if (answer.Done() && !answer.Response().Ok()) {
            outcome.end = answer.Response().end == ResponseEnd::Final ? UssdEnd::PhoneRefused : UssdEnd::PortLost;
            outcome.finalLine = answer.Response().finalLine;
            return outcome;
        }
    }
    if (outcome.end == UssdEnd::TimedOut) {
        conversation.Send(kUssdCancelCommand, kUssdCancelWaitMs);
    }
    return outcome;
}

} // namespace vantaro
