#pragma once
// The Phone dialog (template 140), modal over the Settings dialog: checks every port of the
// Settings dialog's port list and shows what each answered. The check's workers post what they
// find; the dialog's thread takes it in, so the dialog never waits for a phone, and once the
// dialog has ended nothing of the check reaches it.

#include "app/Dialog.h"
#include "app/Win32PortTable.h"
#include "phone/PhoneCheckRun.h"
#include "platform/win32/Win32DialogControls.h"
#include "workflow/PhoneForm.h"

#include <deque>
#include <memory>
#include <optional>
#include <string>

namespace vantaro {

class PhoneDialog final : public Dialog {
public:
    explicit PhoneDialog(SettingsForm& settings);
    ~PhoneDialog() override;

    // Ends the dialog (the Settings dialog ends under it).
    void Close() { End(IDCANCEL); }
    // What the check found of the SIM on the port, once the dialog has run.
    // The APNs "Use these settings" left for a dial series to try (apn_try_all).
    std::optional<ApnTrial::Series> KeptSeries() const {
        return form_ ? form_->KeptSeries() : std::nullopt;
    }
    // What the check found of each port it finished.
    std::vector<PortFindings> CheckedPorts() const { return form_ ? form_->CheckedPorts() : std::vector<PortFindings>(); }
    std::optional<bool> SimLockedOn(const std::string& port) const {
        return form_ ? form_->SimLockedOn(port) : std::nullopt;
    }

    // Shared with the check's workers: what they found, until the dialog takes it.
    struct Inbox;

private:
    BOOL OnInit() override;
    bool OnCommand(int id, int notification) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) override;
    void OnEnding() override;

    void StartCheck();
    void StartNextPort();
    void StopCheck();
    void TakeReports();
    void EnterPinClicked();
    void ReadLockClicked(CodeAction wanted);
    // Asks for the code in its dialog and, when the user sends it, sends it on a worker.
    void AskAndSend(const CodeAsk& ask);
    void UsePortClicked();
    void BalanceClicked();

    SettingsForm& settings_;
    std::shared_ptr<Inbox> inbox_;
    std::unique_ptr<PhoneCheckRun> run_;
    std::deque<std::string> portsToStart_;  // ports of this check whose worker is not started yet
    std::unique_ptr<Win32DialogControls> controls_;
    std::unique_ptr<Win32PortTable> table_;
    std::unique_ptr<PhoneForm> form_;
    class PinDialog* pinDialog_ = nullptr;  // while a code is asked for
    class BalanceDialog* balanceDialog_ = nullptr;  // while the balance is asked for
    std::optional<CodeAsk> askAfterLockRead_;  // asked once the report that brought it is handled
};

} // namespace vantaro
