#include "workflow/PhoneForm.h"

#include "resources/resource.h"
#include "workflow/SectionValues.h"

#include <algorithm>
#include <utility>

namespace vantaro {

namespace {

// Between provider, plan and APN in the candidate list (UTF-8, converted with the rest).
constexpr char kCandidateSeparator[] = " \xE2\x80\x94 ";

} // namespace

std::string FillIn(const std::string& text, const std::string& value) {
    const std::size_t at = text.find("%s");
    if (at == std::string::npos) return text;
    return text.substr(0, at) + value + text.substr(at + 2);
}

bool AsksToConfirmLastTry(const CodeAsk& ask) { return ask.triesLeft && *ask.triesLeft <= 1; }

CodeEntryProblem CheckCodeEntry(const CodeAsk& ask, const Secret& code, const Secret& newPin, const Secret& newPinAgain,
                                bool lastTryConfirmed) {
    // The characters are looked at for their form only.
    const bool unlock = ask.action == CodeAction::Unlock;
    if (unlock ? !IsValidPuk(code.Reveal()) : !IsValidPin(code.Reveal()))
        return unlock ? CodeEntryProblem::PukNotValid : CodeEntryProblem::PinNotValid;
    if (unlock || ask.action == CodeAction::ChangePin) {
        if (!IsValidPin(newPin.Reveal())) return CodeEntryProblem::NewPinNotValid;
        if (newPin != newPinAgain) return CodeEntryProblem::NewPinsDiffer;
    }
    if (AsksToConfirmLastTry(ask) && !lastTryConfirmed) return CodeEntryProblem::LastTryNotConfirmed;
    return CodeEntryProblem::None;
}

PhoneForm::PhoneForm(DialogControls& controls, PortTable& table, SettingsForm& settings,
                     const providers::ProviderDatabase& database, TextConverter fromUtf8)
    : controls_(controls), table_(table), settings_(settings), database_(database), fromUtf8_(std::move(fromUtf8)) {
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
    rereadPort_.reset();
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
    const int index = static_cast<int>(row - rows_.begin());
    table_.SetRow(index, RowCells(findings));
    if (rereadPort_ == findings.port) {
        // Read again after its SIM took a code: the row the user works with stays chosen, and the
        // status line keeps what the phone said of the code.
        rereadPort_.reset();
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
    if (findings.triesLeft && !ReadyForData(findings.sim) && !sim.empty()) sim += ", " + TriesText(*findings.triesLeft);
    return {findings.port, phone, sim, SignalText(findings.signal), NetworkText(findings)};
}

std::string PhoneForm::TriesText(int tries) const {
    return tries == 1 ? Text(phonetext::kOneTryLeft) : FillIn(Text(phonetext::kTriesLeft), std::to_string(tries));
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
    using providers::ProposalStatus;
    const Row* row = SelectedRow();
    controls_.ResetContent(IDC_PROPOSALS);
    proposal_ = {};
    if (!row || !row->findings || row->findings->state != PortState::Modem) {
        controls_.SetText(IDC_PROPOSAL_NOTE, "");
        return;
    }
    proposal_ = providers::ProposeApns(database_, row->findings->simOperator);
    const std::string network = providers::NetworkIdText(proposal_.simOperator.network);
    switch (proposal_.status) {
    case ProposalStatus::Proposed: {
        const bool visited = proposal_.simOperator.source == providers::OperatorSource::RegisteredNetwork &&
                             !proposal_.simOperator.registeredMatchesImsi;
        controls_.SetText(IDC_PROPOSAL_NOTE, FillIn(Text(visited ? kProposalVisited : kProposalFor), network));
        for (const providers::ApnCandidate& candidate : proposal_.candidates)
            controls_.AddString(IDC_PROPOSALS, fromUtf8_(providers::CandidateLabel(candidate, kCandidateSeparator)));
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
            note += " (" + fromUtf8_(providers::DescribeRefusal(proposal_.refused.front().reason)) + ")";
        controls_.SetText(IDC_PROPOSAL_NOTE, note);
        break;
    }
    }
}

const std::vector<providers::ApnCandidate>& PhoneForm::Candidates() const {
    return proposal_.candidates;
}

void PhoneForm::UpdateButtons() {
    const Row* row = SelectedRow();
    const bool modem = row && row->findings && row->findings->state == PortState::Modem;
    const SimState sim = modem ? row->findings->sim : SimState::Unknown;
    const bool busy = codeOnItsWay_ || lockReadFor_ || rereadPort_;
    // The caption changes only when the SIM's want does (a caption set repaints its button).
    if ((sim == SimState::Puk) != pinButtonSaysPuk_) {
        pinButtonSaysPuk_ = sim == SimState::Puk;
        controls_.SetText(IDC_ENTER_PIN, Text(pinButtonSaysPuk_ ? phonetext::kUnlockPuk : phonetext::kEnterPin));
    }
    controls_.Enable(IDC_USE_PORT, row != nullptr);
    controls_.Enable(IDC_ENTER_PIN, (sim == SimState::Pin || sim == SimState::Puk) && !busy);
    controls_.Enable(IDC_CHANGE_PIN, ReadyForData(sim) && !busy);
    controls_.Enable(IDC_PIN_LOCK, ReadyForData(sim) && !busy);
    controls_.Enable(IDC_CHECK_AGAIN, !Checking() && !busy);
    controls_.Enable(IDC_USE_SETTINGS, !proposal_.candidates.empty());
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
    if (codeOnItsWay_ || lockReadFor_ || rereadPort_ || !row || !row->findings ||
        row->findings->state != PortState::Modem)
        return std::nullopt;
    const SimState sim = row->findings->sim;
    if (sim != SimState::Pin && sim != SimState::Puk) return std::nullopt;
    return CodeAsk{row->port, sim == SimState::Puk ? CodeAction::Unlock : CodeAction::EnterPin, row->findings->triesLeft};
}

std::optional<std::string> PhoneForm::BeginLockRead(CodeAction wanted) {
    const Row* row = SelectedRow();
    if (codeOnItsWay_ || lockReadFor_ || rereadPort_ || !row || !row->findings ||
        row->findings->state != PortState::Modem || !ReadyForData(row->findings->sim))
        return std::nullopt;
    lockReadFor_ = wanted;
    lockReadPort_ = row->port;
    controls_.SetText(IDC_PHONE_STATUS, Text(phonetext::kLockReading));
    UpdateButtons();
    return row->port;
}

std::optional<CodeAsk> PhoneForm::LockRead(const PinLockStatus& status) {
    using namespace phonetext;
    if (!lockReadFor_) return std::nullopt;
    const CodeAction wanted = *std::exchange(lockReadFor_, std::nullopt);
    UpdateButtons();
    switch (status.outcome) {
    case PinOutcome::Accepted: break;
    case PinOutcome::NotOpened: controls_.SetText(IDC_PHONE_STATUS, Text(kPinNotOpened)); return std::nullopt;
    case PinOutcome::Stopped: return std::nullopt;
    default: controls_.SetText(IDC_PHONE_STATUS, Text(kPinNoAnswer)); return std::nullopt;
    }
    CodeAsk ask{lockReadPort_, wanted, status.triesLeft};
    if (wanted != CodeAction::ChangePin) {
        // The lock goes the other way from how it is; a phone that does not say how it is gets
        // nothing sent.
        if (!status.lockOn) {
            controls_.SetText(IDC_PHONE_STATUS, Text(kLockUnknown));
            return std::nullopt;
        }
        ask.action = *status.lockOn ? CodeAction::LockOff : CodeAction::LockOn;
    }
    controls_.SetText(IDC_PHONE_STATUS, "");
    return ask;
}

CodeDialogTexts PhoneForm::DialogTexts(const CodeAsk& ask) const {
    using namespace phonetext;
    CodeDialogTexts texts;
    texts.ok = Text(kPinOk);
    texts.cancel = Text(kPinCancel);
    texts.labels[0] = Text(kPinLabel);
    switch (ask.action) {
    case CodeAction::EnterPin: texts.title = Text(kPinTitle); break;
    case CodeAction::Unlock:
        texts.title = Text(kPukTitle);
        texts.labels[0] = Text(kPukLabel);
        texts.fields = 3;
        break;
    case CodeAction::ChangePin:
        texts.title = Text(kChangePinTitle);
        texts.labels[0] = Text(kOldPinLabel);
        texts.fields = 3;
        break;
    case CodeAction::LockOn:
    case CodeAction::LockOff:
        texts.title = Text(kLockTitle);
        texts.note = Text(ask.action == CodeAction::LockOff ? kLockIsOn : kLockIsOff);
        break;
    }
    if (texts.fields == 3) {
        texts.labels[1] = Text(kNewPinLabel);
        texts.labels[2] = Text(kNewPinAgainLabel);
    }
    if (ask.triesLeft) {
        if (!texts.note.empty()) texts.note += " ";
        texts.note += TriesText(*ask.triesLeft);
    }
    if (AsksToConfirmLastTry(ask)) texts.confirm = Text(ask.action == CodeAction::Unlock ? kLastPukTry : kLastPinTry);
    return texts;
}

std::string PhoneForm::ProblemText(CodeEntryProblem problem) const {
    using namespace phonetext;
    switch (problem) {
    case CodeEntryProblem::PinNotValid:
    case CodeEntryProblem::NewPinNotValid: return Text(kPinNotValid);
    case CodeEntryProblem::PukNotValid: return Text(kPukNotValid);
    case CodeEntryProblem::NewPinsDiffer: return Text(kNewPinsDiffer);
    case CodeEntryProblem::LastTryNotConfirmed: return Text(kConfirmLastTry);
    case CodeEntryProblem::None: break;
    }
    return {};
}

void PhoneForm::BeginCode(const CodeAsk& ask) {
    using namespace phonetext;
    codeOnItsWay_ = ask;
    const bool lock = ask.action == CodeAction::LockOn || ask.action == CodeAction::LockOff;
    controls_.SetText(IDC_PHONE_STATUS, Text(ask.action == CodeAction::Unlock ? kPukSending : lock ? kLockSending : kPinSending));
    UpdateButtons();
}

std::optional<std::string> PhoneForm::CodeAnswered(const PinAnswer& answer) {
    using namespace phonetext;
    if (!codeOnItsWay_) return std::nullopt;
    const CodeAsk ask = *std::exchange(codeOnItsWay_, std::nullopt);
    std::optional<std::string> reread;
    std::string status;
    switch (answer.outcome) {
    case PinOutcome::Accepted:
        switch (ask.action) {
        case CodeAction::EnterPin: status = Text(kPinAccepted); break;
        case CodeAction::Unlock: status = Text(kPukAccepted); break;
        case CodeAction::ChangePin: status = Text(kPinChanged); break;
        case CodeAction::LockOn: status = Text(kLockTurnedOn); break;
        case CodeAction::LockOff: status = Text(kLockTurnedOff); break;
        }
        if (ask.action == CodeAction::EnterPin || ask.action == CodeAction::Unlock) reread = ask.port;
        break;
    case PinOutcome::Rejected:
        status = Text(ask.action == CodeAction::Unlock ? kPukRejected : kPinRejected);
        if (answer.triesLeft) status += " " + TriesText(*answer.triesLeft);
        break;
    case PinOutcome::Blocked: status = Text(kPinBlocked); break;
    case PinOutcome::NotValid: status = Text(ask.action == CodeAction::Unlock ? kPukNotValid : kPinNotValid); break;
    case PinOutcome::NoAnswer: status = Text(kPinNoAnswer); break;
    case PinOutcome::NotOpened: status = Text(kPinNotOpened); break;
    case PinOutcome::Stopped: break;
    }
    if (!status.empty()) controls_.SetText(IDC_PHONE_STATUS, status);
    // A refusal tells what the SIM wants now: the row shows it (a SIM blocked by this send turns
    // the PIN button into "Unlock with PUK...").
    Row* row = RowOf(ask.port);
    if ((answer.outcome == PinOutcome::Rejected || answer.outcome == PinOutcome::Blocked) && row && row->findings &&
        answer.sim != SimState::Unknown) {
        row->findings->sim = answer.sim;
        row->findings->triesLeft = ReadyForData(answer.sim) ? std::nullopt : answer.triesLeft;
        table_.SetRow(static_cast<int>(row - rows_.data()), RowCells(*row->findings));
    }
    UpdateButtons();
    return reread;
}

void PhoneForm::BeginReread(const std::string& port) {
    Row* row = RowOf(port);
    if (!row) return;
    row->findings.reset();
    rereadPort_ = port;
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
    controls_.SetText(IDC_PHONE_STATUS, Text(phonetext::kSettingsApplied));
    return true;
}

} // namespace vantaro
