#include "workflow/PhoneForm.h"

#include "resources/resource.h"
#include "settings/SettingsKeys.h"
#include "workflow/ApnCandidates.h"
#include "workflow/SectionValues.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace vantaro {

namespace {

// Between provider, plan and APN in the candidate list (UTF-8, converted with the rest).
constexpr char kCandidateSeparator[] = " \xE2\x80\x94 ";

// The buttons of each state, the activity's rows in PhoneSelection's order.
constexpr PhoneButtons kButtonsOfState[] = {
    // use port, enter PIN, change PIN, PIN lock, check again, use settings, balance
    // Idle:
    {false, false, false, false, true, false, false},  // nothing selected
    {true, false, false, false, true, false, false},   // a port without a modem, or not checked yet
    {true, true, false, false, true, false, false},    // a SIM that wants its PIN or PUK
    {true, false, true, true, true, false, true},     // a ready SIM
    {true, false, true, true, true, true, true},      // a ready SIM, settings proposed
    {true, false, false, false, true, false, false},   // no SIM, or one that wants a code of the phone's
    // Checking: the ports not done yet still answer; a row that is done can be served.
    {false, false, false, false, false, false, false},
    {true, false, false, false, false, false, false},
    {true, true, false, false, false, false, false},
    {true, false, true, true, false, false, true},
    {true, false, true, true, false, true, true},
    {true, false, false, false, false, false, false},
    // A SIM code on its way: one at a time, and no new check until its answer is in.
    {false, false, false, false, false, false, false},
    {true, false, false, false, false, false, false},
    {true, false, false, false, false, false, false},
    {true, false, false, false, false, false, false},
    {true, false, false, false, false, true, false},
    {true, false, false, false, false, false, false},
};
constexpr std::size_t kSelections = static_cast<std::size_t>(PhoneSelection::OtherSim) + 1;
static_assert(std::size(kButtonsOfState) == (static_cast<std::size_t>(PhoneActivity::SimCodeOnItsWay) + 1) * kSelections,
              "one row for every activity and selection");

} // namespace

PhoneButtons PhoneButtonsFor(PhoneActivity activity, PhoneSelection selection) {
    return kButtonsOfState[static_cast<std::size_t>(activity) * kSelections + static_cast<std::size_t>(selection)];
}

PhoneForm::PhoneForm(DialogControls& controls, PortTable& table, SettingsForm& settings,
                     const providers::ProviderDatabase& database, TextConverter fromUtf8)
    : controls_(controls), table_(table), settings_(settings), database_(database), fromUtf8_(std::move(fromUtf8)),
      codes_([this](const TextKey& key) { return Text(key); }) {
    // One read of the language's section for all the dialog's texts.
    const SectionValues texts(settings_.Settings(), settings_.LanguageName());
    for (const TextKey& key : phonetext::kAll) {
        if (std::optional<std::string> value = texts.Find(key.key)) texts_[key.key] = std::move(*value);
        else texts_[key.key] = fromUtf8_(key.english);
    }
}

std::string PhoneForm::Text(const TextKey& key) const {
    const auto found = texts_.find(key.key);
    return found != texts_.end() ? found->second : fromUtf8_(key.english);
}

void PhoneForm::ApplyTexts() {
    using namespace phonetext;
    controls_.SetText(IDC_USE_PORT, Text(kUsePort));
    controls_.SetText(IDC_CHECK_AGAIN, Text(kCheckAgain));
    controls_.SetText(IDC_ENTER_PIN, Text(kEnterPin));
    controls_.SetText(IDC_CHANGE_PIN, Text(kChangePin));
    controls_.SetText(IDC_PIN_LOCK, Text(kPinLock));
    controls_.SetText(IDC_USE_SETTINGS, Text(kUseSettings));
    controls_.SetText(IDC_BALANCE, Text(kBalance));
    controls_.SetText(IDC_PHONE_CLOSE, Text(kClose));
    table_.SetColumns({Text(kColumnPort), Text(kColumnPhone), Text(kColumnSim), Text(kColumnSignal),
                       Text(kColumnNetwork)});
}

std::vector<std::string> PhoneForm::PortsToCheck() const {
    DialogControls& settings = settings_.Controls();
    std::vector<std::string> ports;
    const int count = settings.GetCount(IDC_PORT_LIST);
    for (int i = 0; i < count; ++i) ports.push_back(settings.GetItemText(IDC_PORT_LIST, i));
    return ports;
}

void PhoneForm::BeginCheck(const std::vector<std::string>& ports) {
    codes_.CheckBegun();
    rows_.clear();
    table_.Clear();
    proposal_ = {};
    controls_.ResetContent(IDC_PROPOSALS);
    controls_.SetText(IDC_PROPOSAL_NOTE, "");
    const std::string checking = Text(phonetext::kChecking);
    for (const std::string& port : ports) {
        table_.SetRow(static_cast<int>(rows_.size()), {port, checking, "", "", ""});
        rows_.push_back({port, std::nullopt});
    }
    controls_.SetText(IDC_PHONE_STATUS, Text(ports.empty() ? phonetext::kNoPorts : phonetext::kCheckingPorts));
    UpdateButtons();
}

bool PhoneForm::Checking() const {
    return std::any_of(rows_.begin(), rows_.end(), [](const Row& row) { return !row.findings; });
}

void PhoneForm::PortChecked(const PortFindings& findings) {
    const auto row = std::find_if(rows_.begin(), rows_.end(),
                                  [&](const Row& candidate) { return candidate.port == findings.port && !candidate.findings; });
    if (row == rows_.end()) return;  // a port this check did not ask about, or told twice
    row->findings = findings;
    codes_.Checked(findings);
    const int index = static_cast<int>(row - rows_.begin());
    table_.SetRow(index, RowCells(findings));
    if (codes_.Rereading(findings.port)) {
        // Read again after its SIM took a code: the row the user works with stays chosen, and the
        // status line keeps what the phone said of the code.
        codes_.RereadDone();
        table_.SelectRow(index);
        RowSelected();
        return;
    }
    if (index == table_.SelectedRow()) RowSelected();
    if (!Checking()) CheckFinished();
    UpdateButtons();
}

void PhoneForm::CheckFinished() {
    using namespace phonetext;
    std::vector<int> modems;
    for (std::size_t i = 0; i < rows_.size(); ++i)
        if (rows_[i].findings->state == PortState::Modem) modems.push_back(static_cast<int>(i));
    if (modems.size() == 1) {
        table_.SelectRow(modems.front());
        RowSelected();
        controls_.SetText(IDC_PHONE_STATUS, FillIn(Text(kModemOn), rows_[static_cast<std::size_t>(modems.front())].port));
        return;
    }
    if (rows_.empty()) return;
    controls_.SetText(IDC_PHONE_STATUS, Text(modems.empty() ? kNoModem : kSeveralModems));
}

std::vector<std::string> PhoneForm::RowCells(const PortFindings& findings) const {
    using namespace phonetext;
    switch (findings.state) {
    case PortState::NoAnswer: return {findings.port, Text(kNoAnswer), "", "", ""};
    case PortState::Busy: return {findings.port, Text(kBusy), "", "", ""};
    case PortState::NotAModem: return {findings.port, Text(kNotAModem), "", "", ""};
    case PortState::Refused: return {findings.port, Text(kRefused), "", "", ""};
    case PortState::Modem: break;
    }
    std::string phone = findings.maker;
    if (!phone.empty() && !findings.model.empty()) phone += " ";
    phone += findings.model;
    std::string sim;
    switch (findings.sim) {
    case SimState::Ready: sim = Text(kSimReady); break;
    case SimState::Pin: sim = Text(kSimPin); break;
    case SimState::Puk: sim = Text(kSimPuk); break;
    case SimState::NoSim: sim = Text(kNoSim); break;
    case SimState::Pin2: sim = Text(kSimPin2); break;
    case SimState::PhoneSimPin: sim = Text(kPhoneSimPin); break;
    case SimState::PhoneNetworkPin: sim = Text(kPhoneNetworkPin); break;
    case SimState::Unknown: break;
    }
    const std::string tries = codes_.TriesCell(findings);
    if (!tries.empty() && !sim.empty()) sim += ", " + tries;
    return {findings.port, phone, sim, SignalText(findings.signal), NetworkText(findings)};
}

std::string PhoneForm::SignalText(const std::optional<int>& signal) const {
    if (!signal || *signal < 0 || *signal > kSignalHighest) return Text(phonetext::kSignalUnknown);
    return std::to_string(SignalBars(*signal)) + "/" + std::to_string(kSignalBarsMost) + ", " +
           std::to_string(SignalDbm(*signal)) + " dBm";
}

std::string PhoneForm::RegistrationWords(Registration network) const {
    using namespace phonetext;
    switch (network) {
    case Registration::Home: return Text(kHome);
    case Registration::Roaming: return Text(kRoaming);
    case Registration::Searching: return Text(kSearching);
    case Registration::Denied: return Text(kDenied);
    case Registration::NotRegistered: return Text(kNotRegistered);
    case Registration::Unknown: break;
    }
    return {};
}

std::string PhoneForm::NetworkText(const PortFindings& findings) const {
    std::string text = RegistrationWords(findings.network);
    // GPRS is what the dial needs; said apart only when it differs.
    if (findings.gprs != Registration::Unknown && findings.gprs != findings.network) {
        if (!text.empty()) text += ", ";
        text += "GPRS: " + RegistrationWords(findings.gprs);
    }
    return text;
}

const PhoneForm::Row* PhoneForm::SelectedRow() const {
    const int selected = table_.SelectedRow();
    if (selected < 0 || selected >= static_cast<int>(rows_.size())) return nullptr;
    return &rows_[static_cast<std::size_t>(selected)];
}

void PhoneForm::RowSelected() {
    ShowProposal();
    UpdateButtons();
}

void PhoneForm::ShowProposal() {
    using namespace phonetext;
    const Row* row = SelectedRow();
    controls_.ResetContent(IDC_PROPOSALS);
    proposal_ = {};
    if (!row || !row->findings || row->findings->state != PortState::Modem) {
        controls_.SetText(IDC_PROPOSAL_NOTE, "");
        return;
    }
    proposal_ = ProposeApns(database_, row->findings->simOperator, row->findings->serviceProviderName);
    const std::string network = providers::NetworkIdText(proposal_.simOperator.network);
    switch (proposal_.status) {
    case ProposalStatus::Proposed: {
        const bool visited = proposal_.simOperator.source == OperatorSource::RegisteredNetwork &&
                             !proposal_.simOperator.registeredMatchesImsi;
        std::string note = FillIn(Text(visited ? kProposalVisited : kProposalFor), network);
        if (proposal_.order == ProposalOrder::SimProviderName)
            note += " " + FillIn(Text(kProposalBySimName), fromUtf8_(proposal_.serviceProviderName));
        controls_.SetText(IDC_PROPOSAL_NOTE, note);
        for (const providers::ApnCandidate& candidate : proposal_.candidates)
            controls_.AddString(IDC_PROPOSALS, fromUtf8_(CandidateLabel(candidate, kCandidateSeparator)));
        controls_.SetCurSel(IDC_PROPOSALS, 0);
        break;
    }
    case ProposalStatus::NoOperator: controls_.SetText(IDC_PROPOSAL_NOTE, Text(kNoOperator)); break;
    case ProposalStatus::NetworkNotInDatabase:
        controls_.SetText(IDC_PROPOSAL_NOTE, FillIn(Text(kNotInDatabase), network));
        break;
    case ProposalStatus::NoApnListed: controls_.SetText(IDC_PROPOSAL_NOTE, FillIn(Text(kNoApnListed), network)); break;
    case ProposalStatus::NothingUsable: {
        std::string note = FillIn(Text(kNothingUsable), network);
        if (!proposal_.refused.empty())
            note += " (" + fromUtf8_(DescribeRefusal(proposal_.refused.front().reason)) + ")";
        controls_.SetText(IDC_PROPOSAL_NOTE, note);
        break;
    }
    }
}

const std::vector<providers::ApnCandidate>& PhoneForm::Candidates() const {
    return proposal_.candidates;
}

PhoneActivity PhoneForm::Activity() const {
    if (codes_.Busy()) return PhoneActivity::SimCodeOnItsWay;
    return Checking() ? PhoneActivity::Checking : PhoneActivity::Idle;
}

PhoneSelection PhoneForm::Selection() const {
    const Row* row = SelectedRow();
    if (!row) return PhoneSelection::None;
    if (!row->findings || row->findings->state != PortState::Modem) return PhoneSelection::NoModem;
    const SimState sim = row->findings->sim;
    if (sim == SimState::Pin || sim == SimState::Puk) return PhoneSelection::SimWantsCode;
    if (ReadyForData(sim)) return proposal_.candidates.empty() ? PhoneSelection::SimReady : PhoneSelection::SimReadyWithSettings;
    return PhoneSelection::OtherSim;
}

void PhoneForm::UpdateButtons() {
    const Row* row = SelectedRow();
    const bool puk = row && row->findings && row->findings->state == PortState::Modem && row->findings->sim == SimState::Puk;
    // The caption changes only when the SIM's want does (a caption set repaints its button).
    if (puk != pinButtonSaysPuk_) {
        pinButtonSaysPuk_ = puk;
        controls_.SetText(IDC_ENTER_PIN, Text(pinButtonSaysPuk_ ? phonetext::kUnlockPuk : phonetext::kEnterPin));
    }
    const PhoneButtons buttons = PhoneButtonsFor(Activity(), Selection());
    controls_.Enable(IDC_USE_PORT, buttons.usePort);
    controls_.Enable(IDC_ENTER_PIN, buttons.enterPin);
    controls_.Enable(IDC_CHANGE_PIN, buttons.changePin);
    controls_.Enable(IDC_PIN_LOCK, buttons.pinLock);
    controls_.Enable(IDC_CHECK_AGAIN, buttons.checkAgain);
    controls_.Enable(IDC_USE_SETTINGS, buttons.useSettings);
    controls_.Enable(IDC_BALANCE, buttons.balance);
}

std::optional<BalanceAsk> PhoneForm::BalanceButtonAsk() const {
    const Row* row = SelectedRow();
    if (!row || !PhoneButtonsFor(Activity(), Selection()).balance) return std::nullopt;
    return BalanceAsk{row->port, BalanceCodeFor(database_, row->findings->simOperator)};
}

std::string BalanceCodeFor(const providers::ProviderDatabase& database, const SimOperator& simOperator) {
    const bool visited = simOperator.source == OperatorSource::RegisteredNetwork && !simOperator.registeredMatchesImsi;
    if (simOperator.source == OperatorSource::None || visited) return {};
    for (const providers::TableIndex provider : providers::ProvidersOfNetwork(database, simOperator.network))
        if (std::string code = providers::BalanceCodeOf(database, provider); !code.empty()) return code;
    return {};
}

std::vector<PortFindings> PhoneForm::CheckedPorts() const {
    std::vector<PortFindings> checked;
    for (const Row& row : rows_)
        if (row.findings) checked.push_back(*row.findings);
    return checked;
}

std::optional<std::string> PhoneForm::UseThisPort() {
    const Row* row = SelectedRow();
    if (!row) return std::nullopt;
    DialogControls& settings = settings_.Controls();
    const int count = settings.GetCount(IDC_PORT_LIST);
    for (int i = 0; i < count; ++i) {
        if (settings.GetItemText(IDC_PORT_LIST, i) != row->port) continue;
        settings.SetCurSel(IDC_PORT_LIST, i);
        return row->port;
    }
    return std::nullopt;
}

std::optional<bool> PhoneForm::SimLockedOn(const std::string& port) const {
    for (const Row& row : rows_) {
        if (row.port != port || !row.findings) continue;
        switch (row.findings->sim) {
        case SimState::Pin:
        case SimState::Puk:
        case SimState::PhoneSimPin:
        case SimState::PhoneNetworkPin: return true;
        case SimState::Ready:
        case SimState::Pin2: return false;
        case SimState::Unknown:
        case SimState::NoSim: return std::nullopt;
        }
    }
    return std::nullopt;
}

PhoneForm::Row* PhoneForm::RowOf(const std::string& port) {
    const auto row = std::find_if(rows_.begin(), rows_.end(), [&](const Row& candidate) { return candidate.port == port; });
    return row == rows_.end() ? nullptr : &*row;
}

std::optional<CodeAsk> PhoneForm::PinButtonAsk() const {
    const Row* row = SelectedRow();
    if (!row || !row->findings) return std::nullopt;
    return codes_.PinButtonAsk(*row->findings);
}

std::optional<std::string> PhoneForm::BeginLockRead(CodeAction wanted) {
    const Row* row = SelectedRow();
    if (!row || !row->findings || row->findings->state != PortState::Modem || !ReadyForData(row->findings->sim) ||
        !codes_.BeginLockRead(row->port, wanted))
        return std::nullopt;
    controls_.SetText(IDC_PHONE_STATUS, Text(phonetext::kLockReading));
    UpdateButtons();
    return row->port;
}

std::optional<CodeAsk> PhoneForm::LockRead(const PinLockStatus& status) {
    const bool reading = codes_.Busy();
    std::string said;
    std::optional<CodeAsk> ask = codes_.LockRead(status, said);
    if (!reading) return ask;
    UpdateButtons();
    if (ask) controls_.SetText(IDC_PHONE_STATUS, "");
    else if (!said.empty()) controls_.SetText(IDC_PHONE_STATUS, said);
    return ask;
}

CodeDialogTexts PhoneForm::DialogTexts(const CodeAsk& ask) const { return codes_.DialogTexts(ask); }

std::string PhoneForm::ProblemText(CodeEntryProblem problem) const { return codes_.ProblemText(problem); }

void PhoneForm::BeginCode(const CodeAsk& ask) {
    controls_.SetText(IDC_PHONE_STATUS, codes_.BeginCode(ask));
    UpdateButtons();
}

std::optional<std::string> PhoneForm::CodeAnswered(const PinAnswer& answer) {
    Row* row = codes_.CodeOnItsWay() ? RowOf(codes_.CodeOnItsWay()->port) : nullptr;
    PortFindings* findings = row && row->findings ? &*row->findings : nullptr;
    const std::optional<CodeOutcome> outcome = codes_.CodeAnswered(answer, findings);
    if (!outcome) return std::nullopt;
    if (!outcome->status.empty()) controls_.SetText(IDC_PHONE_STATUS, outcome->status);
    if (outcome->rowChanged && findings) table_.SetRow(static_cast<int>(row - rows_.data()), RowCells(*findings));
    UpdateButtons();
    return outcome->reread;
}

void PhoneForm::BeginReread(const std::string& port) {
    Row* row = RowOf(port);
    if (!row) return;
    row->findings.reset();
    codes_.BeginReread(port);
    table_.SetRow(static_cast<int>(row - rows_.data()), {port, Text(phonetext::kChecking), "", "", ""});
    ShowProposal();
    UpdateButtons();
}

bool PhoneForm::UseTheseSettings() {
    if (proposal_.candidates.empty()) return false;
    int index = controls_.GetCurSel(IDC_PROPOSALS);
    if (index < 0 || index >= static_cast<int>(proposal_.candidates.size())) index = 0;
    const providers::ApnCandidate& candidate = proposal_.candidates[static_cast<std::size_t>(index)];
    DialogControls& settings = settings_.Controls();
    // The APN's edit tells the Settings dialog of the change, which rebuilds the init string.
    settings.SetText(IDC_APN, fromUtf8_(candidate.apn));
    settings.SetText(IDC_USER_NAME, fromUtf8_(candidate.userName));
    settings.SetText(IDC_PASSWORD, fromUtf8_(candidate.password));
    settings.SetText(IDC_DNS1, fromUtf8_(candidate.dns1));
    settings.SetText(IDC_DNS2, fromUtf8_(candidate.dns2));
    // The chosen APN is the user's own from now on; should the network refuse it, the dial
    // series goes on to the proposal's others. The setting is not a field of the dialog, so it
    // is kept at once, as the redial settings are kept by hand.
    settings_.Settings().WriteString(settings::kSetting, settings::kApnTryAll, "1");
    const Row* row = SelectedRow();
    keptSeries_ = ApnTrial::Series{ApnsToTry(candidate.apn, "", proposal_), row ? row->port : std::string(),
                                   row && row->findings ? row->findings->iccid : std::string()};
    controls_.SetText(IDC_PHONE_STATUS, Text(phonetext::kSettingsApplied));
    return true;
}

} // namespace vantaro
