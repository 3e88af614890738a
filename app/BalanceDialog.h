#pragma once
// The Balance dialog (template 143), modal over the Phone dialog: sends a USSD code to the
// phone on one port and shows the network's answer. The code goes out on a worker, which posts
// the outcome; once the dialog has ended nothing of it reaches the dialog, and closing never
// waits for the phone or the network.

#include "app/Dialog.h"
#include "phone/PhoneCheckRun.h"
#include "platform/win32/Win32DialogControls.h"
#include "workflow/BalanceForm.h"

#include <memory>
#include <string>

namespace vantaro {

class BalanceDialog final : public Dialog {
public:
    BalanceDialog(std::string port, std::string code, BalanceForm::Texts texts);
    ~BalanceDialog() override;

    // Ends the dialog as Close does (the Phone dialog ends under it).
    void Close() { End(IDCANCEL); }

    // Shared with the worker: the outcome, until the dialog takes it.
    struct Inbox;

private:
    BOOL OnInit() override;
    bool OnCommand(int id, int notification) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) override;
    void OnEnding() override;
    void SendClicked();

    std::string port_;
    std::string code_;
    BalanceForm::Texts texts_;
    std::shared_ptr<Inbox> inbox_;
    std::unique_ptr<PhoneCheckRun> run_;
    std::unique_ptr<Win32DialogControls> controls_;
    std::unique_ptr<BalanceForm> form_;
};

} // namespace vantaro
