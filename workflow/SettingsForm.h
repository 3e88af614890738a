#pragma once
// The Settings dialog's presenter: its fields and the rules that tie them to Setting.ini
// (loading, saving, the language, the init string), the status line and the action buttons,
// and the dialog's side of the install. It knows the dialog only through its controls, so
// every rule here is tested on the host.
//
// The install and dial workers share this object with the dialog's thread. What they share is
// guarded here: the language name (replaced by the dialog's thread while workers look up
// messages) and the results that the outcome dialog reads afterwards.

#include "log/Log.h"
#include "platform/DialogControls.h"
#include "platform/MessageSink.h"
#include "platform/Profile.h"
#include "settings/SerialPortSource.h"
#include "workflow/InstallSequence.h"

#include <atomic>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace vantaro {

// The index N of a key named "operatorN" (any letter case), as "%d" writes it; nothing for
// any other name.
std::optional<int> OperatorKeyIndex(const std::string& keyName);

// The modem init string built from the APN: at+eslp=0;+cgdcont=1,"IP","<apn>"
std::string BuildInitString(const std::string& apn);

// The operator names that reads of "operator1" to "operator<count>" would give, in that order,
// from the lines of section Operators; empty names left out.
std::vector<std::string> OperatorNames(const std::vector<ProfileSectionEntry>& operators, int count);

// Said when a save could not write Setting.ini; nothing claims the settings were saved.
inline constexpr char kSaveFailedMessage[] =
    "Fail to save the settings: the ini file cannot be written. Your changes are still in the dialog.";

// Said when a field holds a line break: written out, it would split its line of the file.
inline constexpr char kSaveLineBreakMessage[] =
    "Fail to save the settings: a value holds a line break, which the ini file cannot keep. "
    "Your changes are still in the dialog.";

// Said when the APN field holds what no APN holds, in the interface language (Setting.ini's key).
inline constexpr char kApnNotValidKey[] = "apnnotvalid";
inline constexpr char kApnNotValidText[] =
    "The APN may hold only letters, digits, '.', '-' and '_'. Nothing was saved: your changes are still in the dialog.";

inline constexpr char kDefaultPhoneNumber[] = "*99#";

// The action buttons of the Settings dialog, on or off.
struct ActionButtons {
    bool connect = false;
    bool disconnect = false;
    bool install = false;
    bool about = false;
    bool checkPhone = false;
};

class SettingsForm {
public:
    SettingsForm(Profile& profile, DialogControls& controls, MessageSink& messages, const SerialPortSource& ports);
    SettingsForm(const SettingsForm&) = delete;
    SettingsForm& operator=(const SettingsForm&) = delete;

    // Run once when the dialog initialises, after the edits got their initial texts.
    int LoadSettings();
    // Writes the fields to the file. False (said in a message box) when a write failed.
    bool SaveSettings();
    void ChangeLanguage();
    void RebuildInitString();
    void FillPortList();
    void RefillPortList();
    std::string LookUpMessage(const std::string& key) const;
    // A text of the current language, with a default where the language lacks it.
    std::string LookUpText(const std::string& key, const std::string& defaultText) const;
    void SetStatusText(std::string text);

    // The install button's part on the dialog's thread: save, say "insetupdriver", buttons off,
    // and take the install's inputs as the dialog shows them now. Nothing when the save failed
    // (the install must not start with values the user did not see) or when the activity does
    // not let the install button act.
    std::optional<InstallRequest> BeginInstall(ProcessKind process);
    // The install's end, on its worker: what the dialog does after each way a run can end.
    void EndInstall(InstallResult result);

    // What the dialog is doing. It decides every action button and tray menu item (ButtonsFor),
    // and only ActivityEvents change it, through the one table in SettingsForm.cpp (drawn in
    // docs/activity.md). A dial takes the buttons until its own end gives them back; so do an
    // install and the phone check. Only one of them runs at a time.
    enum class Activity {
        Idle,
        Installing,
        // An install that ended without giving the buttons back: they stay off until a save
        // shows its status line.
        AfterInstall,
        Dialling,   // from the click on: waiting for a leftover connection to go, then dialling
        Connected,
        // A dial that timed out with no text to say so (where no keeper redials): the service
        // may still connect it, so Disconnect stays on until a status line or the next click.
        AfterDial,
        // A dial failed or the link dropped, and the keeper decides whether to dial again, or
        // waits to: a redial is a dial, so only Disconnect is on.
        Redialling,
        CheckingPhone,  // the Phone dialog is open and may hold the phone's port
        AskingBalance,  // the tray's Balance dialog asks on the dial's port
    };
    enum class ActivityEvent {
        ConnectClicked,
        InstallStarted,
        InstallEnded,      // the install gave the buttons back
        InstallHeld,       // the install ended keeping them off
        StatusShown,       // a save's or a time-out's status line: held buttons come back
        PhoneCheckOpened,
        PhoneCheckClosed,
        BalanceOpened,     // the tray's Balance dialog, on the dial's port
        BalanceClosed,
        DialConnected,
        DialFailed,        // the service (or RasDial itself) ended the dial with an error
        DialTimedOut,
        DialRefused,       // refused before anything was dialled: no redial follows
        Dropped,           // the connection ended by itself
        RedialWaiting,     // the keeper dials again after a wait
        RedialStarted,
        GaveUp,            // the keeper does not dial again
        UserEnded,         // Disconnect, or the hang-up at the monthly limit
    };
    // Moves the activity as the table says; false (and nothing changes) when the table has no
    // row for the event in the current activity. Any thread.
    bool Apply(ActivityEvent event);
    Activity CurrentActivity() const { return activity_; }
    // Whether the activity lets that button act (a click that reaches a disabled button too,
    // the tray's items, the Enter key).
    bool Allows(int buttonId) const;
    // A keeper that redials is there: a failed dial or a drop waits for its decision in
    // Redialling instead of going back to Idle.
    void SetRedialsDecide(bool decide) { redialsDecide_ = decide; }
    // A keeper that tries APNs in turn is there: a failed dial waits for its decision (the next
    // APN, or the redial policy's word) whether or not it redials. A time-out and a drop still
    // end as SetRedialsDecide says, since neither moves on to another APN.
    void SetApnTriesDecide(bool decide) { apnTriesDecide_ = decide; }

    // The phone number, user name and password as the fields show them now.
    struct DialValues {
        std::string phoneNumber;
        std::string userName;
        Secret password;
    };
    DialValues FieldDialValues() const;
    // The plain OK data exchange: the edits' texts into phoneNumber, userName and password.
    void TransferEditsToMembers();
    // The initial data exchange towards the controls.
    void TransferMembersToEdits();

    std::string LanguageName() const;
    std::string PortName() const;
    void SetPortName(std::string name);
    // The port a dial goes through: the installed modem's, else the port list's choice.
    std::string DialPort() const;
    std::string ConnectionName() const;
    void SetConnectionName(std::string name);

    std::string PhoneNumber() const;
    std::string UserName() const;
    std::string Password() const;

    // Where the status line's texts and the install's steps are recorded; none by default.
    void SetLog(Log* log) { log_ = log; }
    Log* StepLog() const { return log_; }

    DialogControls& Controls() { return controls_; }
    Profile& Settings() { return profile_; }

    // Set by the install sequence; nothing resets them.
    std::atomic<int> modemInstalled{0};
    std::atomic<int> connectionCreated{0};

private:
    void SetLanguageName(std::string name);
    void ShowButtonsOfActivity();
    // Each from this file: the profile itself, or at the start one read of it.
    void FillOperatorList(const Profile& file);
    void ApplyInterfaceText(const Profile& file, const std::string& language);
    std::string MessageIn(const Profile& file, const std::string& key) const;

    Profile& profile_;
    DialogControls& controls_;
    MessageSink& messages_;
    const SerialPortSource& ports_;
    std::atomic<Activity> activity_{Activity::Idle};
    std::atomic<bool> redialsDecide_{false};
    std::atomic<bool> apnTriesDecide_{false};
    std::mutex activityMutex_;  // one transition at a time
    Log* log_ = nullptr;

    mutable std::mutex mutex_;
    std::string portName_;
    std::string connectionName_;
    std::string languageName_;
    std::string phoneNumber_ = kDefaultPhoneNumber;
    std::string userName_;
    std::string password_;
};

ActionButtons ButtonsFor(SettingsForm::Activity activity);

} // namespace vantaro
