#include "app/BalanceDialog.h"

#include "phone/win32/Win32SerialPort.h"
#include "platform/SteadyClock.h"
#include "platform/win32/CodePage.h"
#include "resources/resource.h"

#include <mutex>
#include <optional>
#include <utility>

namespace vantaro {

namespace {

// Posted by the worker when the outcome is in the inbox.
constexpr UINT kUssdOutcomeMessage = WM_APP + 30;

} // namespace

struct BalanceDialog::Inbox {
    std::mutex mutex;
    HWND window = nullptr;  // null once the dialog has ended: nothing is posted any more
    std::optional<UssdOutcome> outcome;

    void Put(const UssdOutcome& answer) {
        std::lock_guard<std::mutex> lock(mutex);
        if (!window) return;
        outcome = answer;
        ::PostMessageA(window, kUssdOutcomeMessage, 0, 0);
    }
    std::optional<UssdOutcome> Take() {
        std::lock_guard<std::mutex> lock(mutex);
        return std::exchange(outcome, std::nullopt);
    }
    void Close() {
        std::lock_guard<std::mutex> lock(mutex);
        window = nullptr;
        outcome.reset();
    }
};

BalanceDialog::BalanceDialog(std::string port, std::string code, BalanceForm::Texts texts)
    : Dialog(IDD_BALANCE), port_(std::move(port)), code_(std::move(code)), texts_(std::move(texts)) {}

BalanceDialog::~BalanceDialog() {
    if (run_) run_->Stop();
}

BOOL BalanceDialog::OnInit() {
    inbox_ = std::make_shared<Inbox>();
    inbox_->window = Handle();
    run_ = std::make_unique<PhoneCheckRun>(
        PhoneServices{std::make_shared<Win32SerialPorts>(), std::make_shared<SteadyClock>()});
    controls_ = std::make_unique<Win32DialogControls>(Handle());
    form_ = std::make_unique<BalanceForm>(*controls_, texts_, &AnsiFromUtf8, code_);
    ::SetWindowTextA(Handle(), texts_(phonetext::kBalanceTitle).c_str());
    form_->ApplyTexts();
    return TRUE;
}

bool BalanceDialog::OnCommand(int id, int notification) {
    if (id == IDC_USSD_SEND && form_) {
        if (notification == BN_CLICKED) SendClicked();
        return true;
    }
    return false;
}

void BalanceDialog::SendClicked() {
    const std::optional<std::string> code = form_->Send();
    if (!code || !run_) return;
    std::shared_ptr<Inbox> inbox = inbox_;
    run_->AskUssd(port_, *code, [inbox](const UssdOutcome& outcome) { inbox->Put(outcome); });
}

bool BalanceDialog::OnMessage(UINT message, WPARAM, LPARAM, INT_PTR* result) {
    if (message == kUssdOutcomeMessage && form_) {
        if (std::optional<UssdOutcome> outcome = inbox_->Take()) form_->Answered(*outcome);
        *result = 0;
        return true;
    }
    if (message == WM_DESTROY) OnEnding();
    return false;
}

void BalanceDialog::OnEnding() {
    // From here on nothing of the worker reaches the dialog; the worker ends at its next bound.
    if (inbox_) inbox_->Close();
    if (controls_) controls_->MarkEnded();
    if (run_) run_->Stop();
}

} // namespace vantaro
