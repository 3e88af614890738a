#include "app/SettingsDialog.h"

#include "app/AboutDialog.h"
#include "app/BalanceDialog.h"
#include "app/DialogInitData.h"
#include "app/PhoneDialog.h"
#include "app/RoamingCheck.h"
#include "app/Shortcut.h"
#include "app/StoredSecrets.h"
#include "app/TrayMenu.h"
#include "app/Win32InstallPlatform.h"
#include "modem/InstallRecord.h"
#include "modem/win32/RunningWindows.h"
#include "platform/win32/CodePage.h"
#include "platform/win32/Win32SerialPortPlatform.h"
#include "platform/win32/WorkerThread.h"
#include "providers/ProviderDatabase.h"
#include "resources/resource.h"
#include "settings/ProfileSnapshot.h"
#include "settings/SerialPortScanner.h"
#include "settings/SettingsKeys.h"
#include "workflow/ApnCandidates.h"
#include "workflow/FormInstallReport.h"
#include "workflow/LinkText.h"

#include <utility>

namespace vantaro {

namespace {

// The keeper's once-a-second tick.
constexpr UINT_PTR kLinkTimer = 1;
// Fires once, soon after the dialog is shown: a timer's message comes only after every other
// one waiting, the paints of the dialog and its controls included.
constexpr UINT_PTR kFinishStartingTimer = 2;

// The serial ports as this computer lists them; the scanner reaches the platform through this.
class SystemSerialPorts final : public SerialPortSource {
public:
    void EnumerateSerialPorts(std::vector<std::uint32_t>& ports) const override {
        scanner_.EnumerateSerialPorts(ports);
    }

private:
    Win32SerialPortPlatform platform_;
    SerialPortScanner scanner_{platform_};
};

} // namespace

SettingsSession::SettingsSession(HWND dialog, const std::string& profilePath,
                                 std::unique_ptr<SerialPortSource> portSource)
    : profile(profilePath),
      log(profilePath),
      controls(dialog),
      dialogMessages(dialog),
      workerMessages(nullptr),
      ports(std::move(portSource)),
      form(profile, controls, dialogMessages, *ports),
      dial(form, dialPlatform.ras, dialPlatform.events, dialPlatform.clock),
      apnFile(Win32UsageFile::OfUser::Apn),
      apnMemory(apnFile),
      apnSimStart(form, dialPorts, steadyClock, providers::BuiltInProviderDatabase(), &AnsiFromUtf8) {
    // From the program's own read of the file, as the dialog's first texts are: under Wine the
    // profile functions' first read of it parses it all, and nothing else before the dialog is
    // on screen needs them.
    ConcealStoredSecrets(ProfileSnapshot(profile), log.Get());
    form.SetLog(&log.Get());
}

SettingsDialog::SettingsDialog(std::string profilePath)
    : Dialog(IDD_DIAL_SETTING), profilePath_(std::move(profilePath)) {}

BOOL SettingsDialog::OnInit() {
    session_ = std::make_shared<SettingsSession>(Handle(), profilePath_, std::make_unique<SystemSerialPorts>());
    FillFromInitData();
    session_->form.TransferMembersToEdits();
    // The minimise box joins the frame as the dialog moves to the centre: one move, not two.
    AllowMinimizing(Handle());
    CenterOnScreen();
    session_->dial.ClearDialState();
    // The roaming check, then for a dial it clears the SIM read of a series that waits for it.
    SettingsSession* session = session_.get();  // the hook is the session's own
    session_->dial.SetBeforeDial([session, roaming = MakeRoamingCheck(session_->form)](bool redial) {
        const DialSession::DialClearance clearance = roaming(redial);
        if (clearance.dial) session->apnSimStart.BeforeDial(redial);
        return clearance;
    });
    const int loaded = session_->form.LoadSettings();
    // The link's keeper and the icon come once the dialog is on screen (see OnMessage).
    return loaded != 0;
}

void SettingsDialog::FinishStarting() {
    ::KillTimer(Handle(), kFinishStartingTimer);
    // Not once the dialog is ending: nothing would take the icon away again.
    if (session_->controls.Ended()) return;
    StartKeepingTheLink();
    AddTrayIcon();
    if (whenOnScreen_) std::exchange(whenOnScreen_, nullptr)();
}

void SettingsDialog::StartKeepingTheLink() {
    if (keeper_) return;
    Log* log = &session_->log.Get();
    const Profile& profile = session_->profile;
    usageFile_ = std::make_unique<Win32UsageFile>(Win32UsageFile::OfUser::Usage);
    usage_ = std::make_unique<UsageCounter>(*usageFile_, calendar_, session_->dialPlatform.clock,
                                            ReadUsageSettings(profile, log), log);
    std::shared_ptr<SettingsSession> session = session_;
    LinkKeeper::Parts parts{
        session_->form,
        session_->dial,
        linkProbes_,
        *usage_,
        session_->dialPlatform.clock,
        session_->dialogMessages,
        &AnsiFromUtf8,
        [this, session](std::function<void()> dialThread) {
            // The thread holds the session, so the dial state and the form outlive the dialog.
            workerThread_ = StartWorkerThread([session, dialThread = std::move(dialThread)] { dialThread(); });
            return static_cast<bool>(workerThread_);
        },
        [session] { session->dial.DisconnectClicked(); },
    };
    keeper_ = std::make_unique<LinkKeeper>(std::move(parts), ReadRedialSettings(profile, log));
    ::SetTimer(Handle(), kLinkTimer, LinkKeeper::kTickMs, nullptr);
}

void SettingsDialog::AddTrayIcon() {
    if (tray_) return;
    // Texts of the loaded language.
    tray_ = std::make_unique<Win32TrayIcon>(
        Handle(), session_->form.LookUpText(linktext::kNotConnected.key, linktext::kNotConnected.english));
    keeper_->SetTray(tray_.get());
}

void SettingsDialog::FillFromInitData() {
    HMODULE module = ::GetModuleHandleA(nullptr);
    HRSRC found = ::FindResourceA(module, MAKEINTRESOURCEA(IDD_DIAL_SETTING), MAKEINTRESOURCEA(kResourceTypeDialogInit));
    if (!found) return;
    HGLOBAL loaded = ::LoadResource(module, found);
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    if (!data) return;
    for (const DialogInitEntry& entry :
         ParseDialogInitData(static_cast<const std::uint8_t*>(data), ::SizeofResource(module, found))) {
        const UINT message = entry.message == kInitDataComboAddString ? CB_ADDSTRING
                             : entry.message == kInitDataListAddString ? LB_ADDSTRING
                                                                       : 0;
        if (message != 0)
            ::SendDlgItemMessageA(Handle(), entry.controlId, message, 0, reinterpret_cast<LPARAM>(entry.text.c_str()));
    }
}

void SettingsDialog::CenterOnScreen() {
    RECT dialog{};
    ::GetWindowRect(Handle(), &dialog);
    RECT work{};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const int width = dialog.right - dialog.left;
    const int height = dialog.bottom - dialog.top;
    ::SetWindowPos(Handle(), nullptr, work.left + (work.right - work.left - width) / 2,
                   work.top + (work.bottom - work.top - height) / 2, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

bool SettingsDialog::OnCommand(int id, int notification) {
    if (!session_) return false;
    SettingsForm& form = session_->form;
    switch (id) {
    case IDC_PORT_LIST:
        if (notification == CBN_DROPDOWN) form.RefillPortList();
        return true;
    case IDC_ABOUT:
        if (notification == BN_CLICKED && form.Allows(IDC_ABOUT)) AboutClicked();
        return true;
    case IDC_SAVE:
        if (notification == BN_CLICKED) form.SaveSettings();
        return true;
    case IDC_LANGUAGE:
        if (notification == CBN_SELCHANGE) form.ChangeLanguage();
        return true;
    case IDC_APN:
        if (notification == EN_CHANGE) form.RebuildInitString();
        return true;
    case IDC_DIAL:
        if (notification == BN_CLICKED) ConnectClicked();
        return true;
    case IDC_CHECK_PHONE:
        // Not while an install or a dial has the phone's port.
        if (notification == BN_CLICKED) CheckPhoneClicked();
        return true;
    case IDC_DISCONNECT:
        if (notification == BN_CLICKED) DisconnectClicked();
        return true;
    case IDM_TRAY_BALANCE:
        BalanceFromTray();
        return true;
    default:
        return false;
    }
}

void SettingsDialog::OnOK() {
    // The Enter key reaches here as the install button does, whatever the button shows.
    if (!session_ || !session_->form.Allows(IDC_INSTALL)) return;
    StartInstall();
}

void SettingsDialog::StartInstall() {
    std::optional<InstallRequest> request = session_->form.BeginInstall(RunningProcessKind());
    if (!request) return;
    request->windows = ReadRunningWindows();
    std::shared_ptr<SettingsSession> session = session_;
    workerThread_ = StartWorkerThread([session, request = std::move(*request)] {
        Win32InstallPlatform platform;
        FormInstallReport report(session->form, session->workerMessages);
        session->form.EndInstall(RunInstallSequence(request, platform.services, report));
    });
    // No thread, no install: the buttons come back.
    if (!workerThread_) session_->form.Apply(SettingsForm::ActivityEvent::InstallEnded);
}

void SettingsDialog::AboutClicked() {
    // The list's current choice decides, not the stored language.
    ShowAboutDialog(session_->controls.GetCurSel(IDC_LANGUAGE), Handle());
    // Written anew on every use; whether it was saved is nobody's concern here. A saved one joins
    // the install record, so that /uninstall takes it away; only a record that an install
    // began, as a record with nothing but the shortcut would hide an older install's modems.
    std::string linkPath;
    if (CreateShortcut(kAboutShortcutTarget, true, &linkPath)) {
        Win32Registry record(RegistryView::SixtyFourBit);
        AddToInstallRecord(record, RecordedKind::Shortcut, linkPath, false);
    }
}

void SettingsDialog::PrepareApnTrial() {
    if (!keeper_ || !session_->form.Allows(IDC_DIAL)) return;
    keeper_->SetApnTrial(nullptr);
    session_->apnSimStart.Await(nullptr);
    apnTrial_.reset();
    if (session_->profile.ReadInt(settings::kSetting, settings::kApnTryAll, 0) != 1) return;
    // An APN is ASCII, so the field's code page changes nothing in it.
    const std::string userApn = session_->controls.GetText(IDC_APN);
    if (keptSeries_) {
        ApnTrial::Series series = *keptSeries_;
        std::vector<std::string> apns{userApn};
        apns.insert(apns.end(), series.apns.begin(), series.apns.end());
        series.apns = WithRemembered(apns, session_->apnMemory.Remembered(series.iccid));
        apnTrial_ = std::make_shared<ApnTrial>(session_->modemRegistry, &session_->apnMemory, std::move(series));
    } else {
        // No Phone dialog in this run: the SIM on the dial's port completes the series on the
        // dial's worker; a port that does not answer leaves the user's APN alone.
        apnTrial_ = std::make_shared<ApnTrial>(session_->modemRegistry, &session_->apnMemory,
                                               ApnTrial::Series{{userApn}, session_->form.DialPort(), ""}, true);
        session_->apnSimStart.Await(apnTrial_);
    }
    keeper_->SetApnTrial(apnTrial_.get());
}

void SettingsDialog::ConnectClicked() {
    // A click that comes before the keeper's own start brings it.
    StartKeepingTheLink();
    PrepareApnTrial();
    keeper_->ConnectClicked();
}

void SettingsDialog::DisconnectClicked() {
    // The user's own end: no redial follows, and a waiting one is cancelled.
    if (session_->form.Allows(IDC_DISCONNECT) && keeper_) keeper_->UserEnded();
    session_->dial.DisconnectClicked();
}

void SettingsDialog::CheckPhoneClicked() {
    // Nothing talks to a port until the user asks: the check starts with the Phone dialog.
    // While it is open the check may hold the phone's port: no dial (the tray's Connect, a
    // redial) and no install start beside it.
    if (phoneDialog_ || !session_->form.Apply(SettingsForm::ActivityEvent::PhoneCheckOpened)) return;
    PhoneDialog phone(session_->form);
    phoneDialog_ = &phone;
    phone.DoModal(Handle());
    phoneDialog_ = nullptr;
    session_->form.Apply(SettingsForm::ActivityEvent::PhoneCheckClosed);
    // A SIM that wants its code is not redialled into; one found ready again lifts that.
    if (std::optional<ApnTrial::Series> series = phone.KeptSeries()) keptSeries_ = std::move(series);
    checkedPorts_ = phone.CheckedPorts();
    if (const std::optional<bool> locked = phone.SimLockedOn(session_->form.DialPort()); locked && keeper_)
        keeper_->SetSimLocked(*locked);
}

void SettingsDialog::BalanceFromTray() {
    SettingsForm& form = session_->form;
    // Decided again as things stand now: the menu may have been open for a while.
    const TrayBalance balance =
        TrayBalanceFor(form, {checkedPorts_, providers::BuiltInProviderDatabase(), balanceDialog_ != nullptr});
    if (!balance.ask || phoneDialog_) return;
    // On the dial's port, the balance holds it as the phone check does: no dial beside it.
    if (balance.onDialPort && !form.Apply(SettingsForm::ActivityEvent::BalanceOpened)) return;
    BalanceDialog dialog(balance.ask->port, balance.ask->code,
                         [&form](const TextKey& key) { return form.LookUpText(key.key, AnsiFromUtf8(key.english)); });
    balanceDialog_ = &dialog;
    dialog.DoModal(Handle());
    balanceDialog_ = nullptr;
    if (balance.onDialPort) form.Apply(SettingsForm::ActivityEvent::BalanceClosed);
}

void SettingsDialog::OnCancel() {
    if (!session_) {
        End(IDCANCEL);
        return;
    }
    if (keeper_) keeper_->UserEnded();
    session_->dial.CancelClicked([this] { End(IDCANCEL); });
}

bool SettingsDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) {
    if (tray_ && HandleTrayMessage(Handle(), *tray_, session_->form,
                                   {checkedPorts_, providers::BuiltInProviderDatabase(), balanceDialog_ != nullptr},
                                   message, wParam, lParam)) {
        *result = 0;
        return true;
    }
    if (message == kEndWithOkMessage) {
        // The plain OK behaviour, asked for by a worker: edits into members, then end with OK.
        session_->form.TransferEditsToMembers();
        End(IDOK);
        *result = 0;
        return true;
    }
    // What the dialog does not show waits until it is on screen: the link's keeper (the month's
    // usage file, the redial settings) and the icon, which the taskbar takes from another
    // process while the dialog waits (15 ms under Wine, far more on a busy machine). A modal
    // dialog is shown when its queue first runs empty after WM_INITDIALOG, so work left for
    // later by a message of its own would still come before it: a timer set when it is shown
    // fires after its first paint.
    if (message == WM_SHOWWINDOW && wParam && !tray_)
        ::SetTimer(Handle(), kFinishStartingTimer, USER_TIMER_MINIMUM, nullptr);
    if (message == WM_TIMER && wParam == kFinishStartingTimer) {
        FinishStarting();
        *result = 0;
        return true;
    }
    if (message == WM_TIMER && wParam == kLinkTimer && keeper_) {
        keeper_->Tick();
        *result = 0;
        return true;
    }
    if (message == WM_DESTROY && session_) session_->controls.MarkEnded();
    return false;
}

void SettingsDialog::OnEnding() {
    // From here on no worker reaches the dialog, and a dial that still waits gives up. The Phone
    // dialog ends with it (its check stops without waiting for a phone).
    if (phoneDialog_) phoneDialog_->Close();
    if (balanceDialog_) balanceDialog_->Close();
    ::KillTimer(Handle(), kLinkTimer);
    ::KillTimer(Handle(), kFinishStartingTimer);
    // The month's bytes are written before the hang-up below.
    if (keeper_) keeper_->DialogEnded();
    if (tray_) tray_->Remove();
    if (session_) {
        session_->controls.MarkEnded();
        session_->dial.DialogEnded();
    }
}

} // namespace vantaro
