#pragma once
// The Phone dialog's presenter: one row per port of the Settings dialog's port list, filled in
// as each port's findings come; the port the phone's modem is on; the PIN button; and for the
// selected row the settings that the operator database proposes for its SIM, which one click
// puts into the Settings dialog's fields (nothing is saved until the user saves or installs).
//
// It runs on the dialog's thread only: the check's workers post their findings to the dialog,
// which hands them over here. It knows the dialog through its controls and its port table, so
// every rule here is tested on the host.

#include "phone/PhoneCheck.h"
#include "phone/PortFindings.h"
#include "phone/SimCodes.h"
#include "platform/DialogControls.h"
#include "workflow/ApnProposal.h"
#include "workflow/ApnTrial.h"
#include "workflow/PhoneText.h"
#include "workflow/PortTable.h"
#include "workflow/SettingsForm.h"
#include "workflow/SimCodeFlow.h"

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace vantaro {

// The Phone dialog's buttons that come and go (Close is always there).
struct PhoneButtons {
    bool usePort, enterPin, changePin, pinLock, checkAgain, useSettings, balance;
    bool operator==(const PhoneButtons& other) const {
        return usePort == other.usePort && enterPin == other.enterPin && changePin == other.changePin &&
               pinLock == other.pinLock && checkAgain == other.checkAgain && useSettings == other.useSettings &&
               balance == other.balance;
    }
};
// What the form is doing: nothing, asking the ports, or serving a SIM (a code on its way, the
// PIN lock being read, the SIM read again after a code).
enum class PhoneActivity { Idle, Checking, SimCodeOnItsWay };
// What the selected row offers.
enum class PhoneSelection { None, NoModem, SimWantsCode, SimReady, SimReadyWithSettings, OtherSim };
// The one rule for the buttons: every enable and disable of them goes through it.
PhoneButtons PhoneButtonsFor(PhoneActivity activity, PhoneSelection selection);

// Where the Balance button asks, and the code it proposes.
struct BalanceAsk {
    std::string port;
    std::string code;  // the database's balance code for the SIM's own operator; "" when none
};
// The database's balance code for the SIM's own operator; "" when it has none, when the operator
// is not known, or when it is a visited network's (whose operator is not the SIM's).
std::string BalanceCodeFor(const providers::ProviderDatabase& database, const SimOperator& simOperator);

class PhoneForm {
public:
    // The Phone dialog's own controls and table; the Settings form whose port list is checked and
    // whose fields the proposal fills; the database the proposal comes from.
    PhoneForm(DialogControls& controls, PortTable& table, SettingsForm& settings,
              const providers::ProviderDatabase& database, TextConverter fromUtf8);
    PhoneForm(const PhoneForm&) = delete;
    PhoneForm& operator=(const PhoneForm&) = delete;

    // The interface text of the Settings dialog's language, or its English default.
    std::string Text(const TextKey& key) const;

    // The dialog's title is the caller's; captions of the buttons and the table's columns.
    void ApplyTexts();
    // The ports of the Settings dialog's port list, in its order.
    std::vector<std::string> PortsToCheck() const;

    // A row per port, each "checking…" until its findings come.
    void BeginCheck(const std::vector<std::string>& ports);
    void PortChecked(const PortFindings& findings);
    bool Checking() const;

    // The table's selection changed (by the user or by the form).
    void RowSelected();
    // The selected row's port becomes the Settings dialog's choice; its name when it did (then
    // the dialog closes).
    std::optional<std::string> UseThisPort();

    // The PIN button (its caption says "Unlock with PUK..." when the SIM wants its PUK): what to
    // ask for, when the selected row's SIM wants its PIN or PUK and no code is on its way.
    std::optional<CodeAsk> PinButtonAsk() const;
    // Change PIN and PIN lock, for a ready SIM: both first read the SIM's PIN lock and tries left
    // (on a worker); the port to read, when the selected row's SIM is ready and nothing is on its way.
    std::optional<std::string> BeginLockRead(CodeAction wanted);
    // What to ask for once the PIN lock was read; nothing when the phone did not tell enough (the
    // status line says why).
    std::optional<CodeAsk> LockRead(const PinLockStatus& status);
    CodeDialogTexts DialogTexts(const CodeAsk& ask) const;
    std::string ProblemText(CodeEntryProblem problem) const;

    // The Balance button: the selected row's port, when its SIM is ready and nothing is on its
    // way. A roaming SIM's visited network gets no code of its own: its operator is not the SIM's.
    std::optional<BalanceAsk> BalanceButtonAsk() const;

    // A code is on its way to the ask's port.
    void BeginCode(const CodeAsk& ask);
    // What came of it. When the SIM took its PIN or PUK, the port whose SIM is to be read again.
    std::optional<std::string> CodeAnswered(const PinAnswer& answer);
    // That port's row reads "checking..." again until its findings come; the other rows stay.
    void BeginReread(const std::string& port);

    // The selected candidate (the first when none is) goes into the Settings dialog's fields.
    bool UseTheseSettings();
    // What the last "Use these settings" left for the dial series to try with
    // [Setting] apn_try_all: its APN first, then the proposal's others, the port and the SIM.
    const std::optional<ApnTrial::Series>& KeptSeries() const { return keptSeries_; }
    // The candidates shown for the selected row, in the list's order.
    const std::vector<providers::ApnCandidate>& Candidates() const;

    // Whether the SIM on the port wants a code before it can dial; nothing when the check did not
    // reach that port's SIM.
    std::optional<bool> SimLockedOn(const std::string& port) const;

    // What the check found, port by port, of the ports it is done with.
    std::vector<PortFindings> CheckedPorts() const;

    // The state the buttons follow.
    PhoneActivity Activity() const;
    PhoneSelection Selection() const;

    // The texts of a row as the table shows them.
    std::vector<std::string> RowCells(const PortFindings& findings) const;

private:
    struct Row {
        std::string port;
        std::optional<PortFindings> findings;
    };

    const Row* SelectedRow() const;
    void ShowProposal();
    void UpdateButtons();
    void CheckFinished();
    std::string SignalText(const std::optional<int>& signal) const;
    std::string RegistrationWords(Registration network) const;
    std::string NetworkText(const PortFindings& findings) const;
    Row* RowOf(const std::string& port);

    DialogControls& controls_;
    PortTable& table_;
    SettingsForm& settings_;
    const providers::ProviderDatabase& database_;
    TextConverter fromUtf8_;
    std::map<std::string, std::string> texts_;

    std::vector<Row> rows_;
    ApnProposal proposal_;
    std::optional<ApnTrial::Series> keptSeries_;
    SimCodeFlow codes_;
    bool pinButtonSaysPuk_ = false;
};

} // namespace vantaro
