#include "workflow/BalanceForm.h"

#include "resources/resource.h"

#include <utility>

namespace vantaro {

namespace {

const TextKey& FaultText(UssdCodeFault fault) {
    switch (fault) {
    case UssdCodeFault::Empty: return phonetext::kUssdEmpty;
    case UssdCodeFault::TooLong: return phonetext::kUssdTooLong;
    default: return phonetext::kUssdNotDialable;
    }
}

// What the note says of a reply; the text itself goes to the answer field.
const TextKey& ReplyNote(const UssdReply& reply) {
    using namespace phonetext;
    switch (reply.status) {
    case UssdStatus::AwaitsAnswer: return kUssdMenu;
    case UssdStatus::EndedByNetwork: return kUssdEnded;
    case UssdStatus::OtherClient: return kUssdOtherClient;
    case UssdStatus::NotSupported: return kUssdNotSupported;
    case UssdStatus::NetworkTimedOut: return kUssdNetworkTimedOut;
    default: return kUssdAnswered;
    }
}

} // namespace

BalanceForm::BalanceForm(DialogControls& controls, Texts texts, TextConverter fromUtf8, std::string code)
    : controls_(controls), texts_(std::move(texts)), fromUtf8_(std::move(fromUtf8)), code_(std::move(code)) {}

void BalanceForm::ApplyTexts() {
    using namespace phonetext;
    controls_.SetText(IDC_USSD_SEND, texts_(kUssdSend));
    controls_.SetText(IDC_PHONE_CLOSE, texts_(kClose));
    controls_.SetText(IDC_USSD_CODE, code_);
    controls_.SetText(IDC_USSD_NOTE, code_.empty() ? texts_(kUssdNoCode) : std::string());
    ShowActivity();
}

std::optional<std::string> BalanceForm::Send() {
    if (activity_ == BalanceActivity::Asking) return std::nullopt;
    const std::string code = controls_.GetText(IDC_USSD_CODE);
    const UssdCommand command = UssdSendCommand(code);
    if (command.fault != UssdCodeFault::None) {
        controls_.SetText(IDC_USSD_NOTE, texts_(FaultText(command.fault)));
        return std::nullopt;
    }
    // A menu's answer is not the code that was asked: the note names the code.
    if (activity_ == BalanceActivity::Idle) sent_ = code;
    activity_ = BalanceActivity::Asking;
    controls_.SetText(IDC_USSD_NOTE, texts_(phonetext::kUssdWaiting));
    ShowActivity();
    return code;
}

void BalanceForm::Answered(const UssdOutcome& outcome) {
    using namespace phonetext;
    if (activity_ != BalanceActivity::Asking) return;
    activity_ = BalanceActivity::Idle;
    std::string note;
    switch (outcome.end) {
    case UssdEnd::Reply: {
        const UssdReply& reply = outcome.reply;
        if (reply.text.decoding != UssdDecoding::NoText) {
            std::string shown;
            // An edit control breaks lines only at CR LF.
            for (char c : reply.text.utf8) {
                if (c == '\n') shown += '\r';
                shown += c;
            }
            controls_.SetText(IDC_USSD_ANSWER, fromUtf8_(shown));
        }
        note = FillIn(texts_(ReplyNote(reply)), sent_);
        if (reply.text.decoding == UssdDecoding::UnknownCoding || reply.text.decoding == UssdDecoding::NotDecodable)
            note += " " + texts_(kUssdUnknownCoding);
        if (reply.status == UssdStatus::AwaitsAnswer) {
            activity_ = BalanceActivity::InMenu;
            controls_.SetText(IDC_USSD_CODE, "");
        }
        break;
    }
    case UssdEnd::CodeRefused: note = texts_(FaultText(outcome.codeFault)); break;
    case UssdEnd::PortBusy: note = texts_(kUssdPortBusy); break;
    case UssdEnd::PortMissing: note = texts_(kUssdPortMissing); break;
    case UssdEnd::PhoneRefused: note = FillIn(texts_(kUssdRefused), outcome.finalLine); break;
    case UssdEnd::TimedOut: note = texts_(kUssdTimedOut); break;
    case UssdEnd::PortLost: note = texts_(kUssdPortLost); break;
    case UssdEnd::Stopped: break;
    }
    controls_.SetText(IDC_USSD_NOTE, note);
    ShowActivity();
}

void BalanceForm::ShowActivity() {
    using namespace phonetext;
    const bool asking = activity_ == BalanceActivity::Asking;
    controls_.SetText(IDC_USSD_LABEL, texts_(activity_ == BalanceActivity::InMenu ? kUssdAnswerLabel : kUssdCodeLabel));
    controls_.Enable(IDC_USSD_CODE, !asking);
    controls_.Enable(IDC_USSD_SEND, !asking);
}

} // namespace vantaro
