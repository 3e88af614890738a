#include "app/PhoneDialog.h"

#include "app/BalanceDialog.h"
#include "app/PinDialog.h"
#include "platform/SteadyClock.h"
#include "phone/win32/Win32SerialPort.h"
#include "platform/win32/CodePage.h"
#include "providers/ProviderDatabase.h"
#include "resources/resource.h"

#include <commctrl.h>

#include <deque>
#include <mutex>
#include <utility>
#include <variant>

namespace vantaro {

namespace {

// Posted by a worker when it left something in the inbox.
constexpr UINT kPhoneReportMessage = WM_APP + 20;
// Posted by the dialog to itself: start the worker of the next port. One thread start per
// message keeps the dialog's thread free for its messages in between (starting a thread can
// take milliseconds, and sixteen of them at once held the dialog back for more than 50 ms).
constexpr UINT kStartNextPortMessage = WM_APP + 21;
// Posted by the dialog to itself: ask for the code whose PIN lock was just read (a modal dialog
// opens outside the handling of the report).
constexpr UINT kAskCodeMessage = WM_APP + 22;

using Report = std::variant<PortFindings, PinAnswer, PinLockStatus>;

} // namespace

struct PhoneDialog::Inbox {
    std::mutex mutex;
    HWND window = nullptr;  // null once the dialog has ended: nothing is posted any more
    std::deque<Report> reports;

    void Put(Report report) {
        std::lock_guard<std::mutex> lock(mutex);
        if (!window) return;
        reports.push_back(std::move(report));
        // Posted, never sent: the dialog's thread may be the one stopping the run.
        ::PostMessageA(window, kPhoneReportMessage, 0, 0);
    }
    std::deque<Report> TakeAll() {
        std::lock_guard<std::mutex> lock(mutex);
        return std::exchange(reports, {});
    }
    void Close() {
        std::lock_guard<std::mutex> lock(mutex);
        window = nullptr;
        reports.clear();
    }
};

PhoneDialog::PhoneDialog(SettingsForm& settings) : Dialog(IDD_PHONE), settings_(settings) {}

PhoneDialog::~PhoneDialog() { StopCheck(); }

BOOL PhoneDialog::OnInit() {
    inbox_ = std::make_shared<Inbox>();
    inbox_->window = Handle();
    controls_ = std::make_unique<Win32DialogControls>(Handle());
    table_ = std::make_unique<Win32PortTable>(::GetDlgItem(Handle(), IDC_PHONE_PORTS));
    form_ = std::make_unique<PhoneForm>(*controls_, *table_, settings_, providers::BuiltInProviderDatabase(), &AnsiFromUtf8);
    ::SetWindowTextA(Handle(), form_->Text(phonetext::kTitle).c_str());
    form_->ApplyTexts();
    StartCheck();
    // On screen and painted before the first worker starts: the first paint of the list view is
    // the slowest message the dialog handles, and it belongs to opening the dialog, not to the
    // check (whose workers start one per message after this).
    ::ShowWindow(Handle(), SW_SHOW);
    ::RedrawWindow(Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    return TRUE;
}

void PhoneDialog::StartCheck() {
    StopCheck();
    // A new run for every check: a stopped one starts nothing.
    inbox_->TakeAll();
    const std::vector<std::string> ports = form_->PortsToCheck();
    form_->BeginCheck(ports);
    run_ = std::make_unique<PhoneCheckRun>(
        PhoneServices{std::make_shared<Win32SerialPorts>(), std::make_shared<SteadyClock>()});
    portsToStart_.assign(ports.begin(), ports.end());
    ::PostMessageA(Handle(), kStartNextPortMessage, 0, 0);
}

void PhoneDialog::StartNextPort() {
    if (!run_ || portsToStart_.empty()) return;
    const std::string port = portsToStart_.front();
    portsToStart_.pop_front();
    std::shared_ptr<Inbox> inbox = inbox_;
    run_->Check({port}, [inbox](const PortFindings& findings) { inbox->Put(findings); });
    if (!portsToStart_.empty()) ::PostMessageA(Handle(), kStartNextPortMessage, 0, 0);
}

void PhoneDialog::StopCheck() {
    // Returns at once; the workers end at their next bound and report nothing after this.
    portsToStart_.clear();
    if (run_) run_->Stop();
}

void PhoneDialog::TakeReports() {
    for (auto& report : inbox_->TakeAll()) {
        if (const PortFindings* findings = std::get_if<PortFindings>(&report)) {
            form_->PortChecked(*findings);
        } else if (const PinAnswer* answer = std::get_if<PinAnswer>(&report)) {
            // A SIM that took its PIN or PUK is read again: that port only.
            if (const std::optional<std::string> port = form_->CodeAnswered(*answer); port && run_) {
                form_->BeginReread(*port);
                std::shared_ptr<Inbox> inbox = inbox_;
                run_->Check({*port}, [inbox](const PortFindings& reread) { inbox->Put(reread); });
            }
        } else if (std::optional<CodeAsk> ask = form_->LockRead(std::get<PinLockStatus>(report))) {
            askAfterLockRead_ = std::move(ask);
            ::PostMessageA(Handle(), kAskCodeMessage, 0, 0);
        }
    }
}

bool PhoneDialog::OnCommand(int id, int notification) {
    if (!form_) return false;
    switch (id) {
    case IDC_USE_PORT:
        if (notification == BN_CLICKED) UsePortClicked();
        return true;
    case IDC_CHECK_AGAIN:
        if (notification == BN_CLICKED) StartCheck();
        return true;
    case IDC_ENTER_PIN:
        if (notification == BN_CLICKED) EnterPinClicked();
        return true;
    case IDC_CHANGE_PIN:
        if (notification == BN_CLICKED) ReadLockClicked(CodeAction::ChangePin);
        return true;
    case IDC_PIN_LOCK:
        if (notification == BN_CLICKED) ReadLockClicked(CodeAction::LockOn);
        return true;
    case IDC_USE_SETTINGS:
        if (notification == BN_CLICKED) form_->UseTheseSettings();
        return true;
    case IDC_BALANCE:
        if (notification == BN_CLICKED) BalanceClicked();
        return true;
    default:
        return false;
    }
}

void PhoneDialog::UsePortClicked() {
    if (form_->UseThisPort()) End(IDOK);
}

void PhoneDialog::BalanceClicked() {
    const std::optional<BalanceAsk> ask = form_->BalanceButtonAsk();
    if (!ask) return;
    // The check's workers are done with this port: its row is ready and nothing is on its way.
    PhoneForm& form = *form_;
    BalanceDialog dialog(ask->port, ask->code, [&form](const TextKey& key) { return form.Text(key); });
    balanceDialog_ = &dialog;
    dialog.DoModal(Handle());
    balanceDialog_ = nullptr;
}

void PhoneDialog::EnterPinClicked() {
    if (const std::optional<CodeAsk> ask = form_->PinButtonAsk()) AskAndSend(*ask);
}

void PhoneDialog::ReadLockClicked(CodeAction wanted) {
    if (!run_) return;
    const std::optional<std::string> port = form_->BeginLockRead(wanted);
    if (!port) return;
    std::shared_ptr<Inbox> inbox = inbox_;
    run_->ReadPinLock(*port, [inbox](const PinLockStatus& status) { inbox->Put(status); });
}

void PhoneDialog::AskAndSend(const CodeAsk& ask) {
    if (!run_) return;
    PhoneForm& form = *form_;
    PinDialog dialog(form.DialogTexts(ask), [&form, ask](const Secret& code, const Secret& newPin,
                                                         const Secret& newPinAgain, bool confirmed) {
        return form.ProblemText(CheckCodeEntry(ask, code, newPin, newPinAgain, confirmed));
    });
    pinDialog_ = &dialog;
    const INT_PTR answer = dialog.DoModal(Handle());
    pinDialog_ = nullptr;
    if (answer != IDOK) return;
    // The dialog may have ended while the code was asked for (the Settings dialog closed).
    if (!inbox_ || !inbox_->window) return;
    form_->BeginCode(ask);
    std::shared_ptr<Inbox> inbox = inbox_;
    run_->SendCode(ask.port, {ask.action, dialog.Code(), dialog.NewPin()},
                   [inbox](const PinAnswer& sent) { inbox->Put(sent); });
}

bool PhoneDialog::OnMessage(UINT message, WPARAM, LPARAM lParam, INT_PTR* result) {
    if (message == kPhoneReportMessage && form_) {
        TakeReports();
        *result = 0;
        return true;
    }
    if (message == kAskCodeMessage && form_) {
        if (std::optional<CodeAsk> ask = std::exchange(askAfterLockRead_, std::nullopt)) AskAndSend(*ask);
        *result = 0;
        return true;
    }
    if (message == kStartNextPortMessage) {
        StartNextPort();
        *result = 0;
        return true;
    }
    if (message == WM_NOTIFY && form_) {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->idFrom == IDC_PHONE_PORTS && header->code == LVN_ITEMCHANGED) {
            const auto* change = reinterpret_cast<const NMLISTVIEW*>(lParam);
            if ((change->uChanged & LVIF_STATE) && ((change->uNewState ^ change->uOldState) & LVIS_SELECTED))
                form_->RowSelected();
        }
        return false;
    }
    if (message == WM_DESTROY) OnEnding();
    return false;
}

void PhoneDialog::OnEnding() {
    // From here on nothing of the check reaches the dialog, and nobody waits for a phone. A PIN
    // still asked for is not sent.
    if (pinDialog_) pinDialog_->Close();
    if (balanceDialog_) balanceDialog_->Close();
    if (inbox_) inbox_->Close();
    if (controls_) controls_->MarkEnded();
    StopCheck();
}

} // namespace vantaro
