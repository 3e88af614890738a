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
#include "platform/DialogControls.h"
#include "providers/ApnProposal.h"
#include "workflow/PhoneText.h"
#include "workflow/PortTable.h"
#include "workflow/SettingsForm.h"

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace vantaro {

// The text with its first "%s" replaced by `value` (nothing else in it is a format: the text
// comes from a file the user edits).
std::string FillIn(const std::string& text, const std::string& value);

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

    // The port to send a PIN to, when the selected row's SIM wants one and no PIN is on its way.
    std::optional<std::string> BeginPin();
    void PinAnswered(PinOutcome outcome);

    // The selected candidate (the first when none is) goes into the Settings dialog's fields.
    bool UseTheseSettings();
    // The candidates shown for the selected row, in the list's order.
    const std::vector<providers::ApnCandidate>& Candidates() const;

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

    DialogControls& controls_;
    PortTable& table_;
    SettingsForm& settings_;
    const providers::ProviderDatabase& database_;
    TextConverter fromUtf8_;
    std::map<std::string, std::string> texts_;

    std::vector<Row> rows_;
    providers::ApnProposal proposal_;
    bool pinOnItsWay_ = false;
};

} // namespace vantaro
