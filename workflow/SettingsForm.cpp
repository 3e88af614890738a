#include "workflow/SettingsForm.h"

#include "modem/ModemInstaller.h"
#include "resources/resource.h"
#include "settings/ProfileSnapshot.h"
#include "settings/SettingsKeys.h"
#include "workflow/InterfaceText.h"
#include "workflow/PhoneText.h"
#include "workflow/SectionValues.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <iterator>
#include <limits>
#include <map>
#include <vector>

namespace vantaro {

namespace {

constexpr char kInitStringPrefix[] = "at+eslp=0;+cgdcont=1,\"IP\",\"";

// Index of the connection-type and language lists.
constexpr int kGprsItem = 0;
constexpr int kCsdItem = 1;
constexpr int kChineseItem = 0;

} // namespace

std::optional<int> OperatorKeyIndex(const std::string& keyName) {
    constexpr const char* kPrefix = settings::kOperatorKeyPrefix;
    constexpr std::size_t kPrefixLength = sizeof settings::kOperatorKeyPrefix - 1;
    if (keyName.size() <= kPrefixLength || keyName.size() > kPrefixLength + 10) return std::nullopt;
    for (std::size_t i = 0; i < kPrefixLength; ++i)
        if (std::tolower(static_cast<unsigned char>(keyName[i])) != kPrefix[i]) return std::nullopt;
    // Exactly as "%d" writes a positive number: digits without a leading zero.
    if (keyName[kPrefixLength] == '0') return std::nullopt;
    long long index = 0;
    for (std::size_t i = kPrefixLength; i < keyName.size(); ++i) {
        if (keyName[i] < '0' || keyName[i] > '9') return std::nullopt;
        index = index * 10 + (keyName[i] - '0');
    }
    if (index > std::numeric_limits<int>::max()) return std::nullopt;
    return static_cast<int>(index);
}

std::string BuildInitString(const std::string& apn) {
    return kInitStringPrefix + apn + "\"";
}

std::vector<std::string> OperatorNames(const std::vector<ProfileSectionEntry>& operators, int count) {
    // As reads of "operator1" to "operator<count>" would find them: the first line of a key
    // decides (a line without '=' hides the later ones), and an empty name is no operator.
    std::map<int, std::optional<std::string>> byIndex;
    for (const ProfileSectionEntry& entry : operators) {
        const std::optional<int> index = OperatorKeyIndex(entry.key);
        if (index && *index <= count) byIndex.emplace(*index, entry.value);
    }
    std::vector<std::string> names;
    for (const auto& [index, name] : byIndex)
        if (name && !name->empty()) names.push_back(*name);
    return names;
}

SettingsForm::SettingsForm(Profile& profile, DialogControls& controls, MessageSink& messages,
                           const SerialPortSource& ports)
    : profile_(profile), controls_(controls), messages_(messages), ports_(ports) {}

int SettingsForm::LoadSettings() {
    using namespace settings;
    // Everything the dialog shows first comes from one read of the file: the platform would
    // open the file and check it again for each section, key and text.
    const ProfileSnapshot file(profile_);
    const SectionValues setting(file, kSetting);
    const auto stored = [&setting](const char* key, const char* defaultValue) { return setting.Get(key, defaultValue); };
    SetLanguageName(kEnglish);
    controls_.ShowText(IDC_CONNECTION_NAME, stored(kDefaultConnectionName, ""));

    FillPortList();
    if (int count = controls_.GetCount(IDC_PORT_LIST); count > 0) controls_.SetCurSel(IDC_PORT_LIST, count - 1);

    FillOperatorList(file);
    if (int count = controls_.GetCount(IDC_OPERATOR_LIST); count > 0) controls_.SetCurSel(IDC_OPERATOR_LIST, count - 1);

    ShowButtonsOfActivity();

    // The phone field shows the stored number, so that a save never replaces it with "*99#".
    std::string number = stored(kNumber, "");
    if (!number.empty()) controls_.ShowText(IDC_PHONE, number);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        phoneNumber_ = number.empty() ? std::string(kDefaultPhoneNumber) : number;
    }

    controls_.ShowText(IDC_USER_NAME, stored(kUserName, ""));
    controls_.ShowText(IDC_PASSWORD, stored(kPassword, ""));
    controls_.ShowText(IDC_INIT_STRING, stored(kInit, ""));
    const std::string connMode = stored(kConnMode, "");
    // Setting the APN edit rebuilds the init string through the edit's change notification, so
    // the stored "init" never stays visible.
    controls_.SetText(IDC_APN, stored(kApn, kDefaultApnOnLoad));
    controls_.ShowText(IDC_DNS1, stored(kDns1, ""));
    controls_.ShowText(IDC_DNS2, stored(kDns2, ""));

    controls_.SetCurSel(IDC_CONNECTION_TYPE, connMode == kConnModeCsd ? kCsdItem : kGprsItem);

    const std::string language = file.ReadString(kBaseSetting, kLanguage, kDefaultLanguage);
    controls_.SetCurSel(IDC_LANGUAGE, LeadingDecimal(language));
    SetLanguageName(language == kLanguageChinese ? kChinese : kEnglish);

    ApplyInterfaceText(file, LanguageName());
    SetStatusText(MessageIn(file, message::kPleaseSet));
    return 1;
}

void SettingsForm::FillOperatorList(const Profile& file) {
    using namespace settings;
    const int count = file.ReadInt(kSetting, kMaxOperatorNum, kDefaultMaxOperatorNum);
    // Each operator's number sits in a section of its own: read from the platform, hundreds of
    // reads, each checking the file anew, would hold the dialog back (a snapshot of the file
    // answers them at once). The names go into the list in one call.
    std::vector<DialogControls::ListItem> listed;
    const auto add = [&file, &listed](const std::string& name) {
        if (name.empty()) return;
        if (file.ReadString(name, kNumber, "").empty()) return;
        listed.push_back({name});
    };
    // A hand-edited count can run into the millions, and each read goes to the file: examining
    // every index would keep the dialog from ever opening, and even the default 500 costs a
    // read per key, nearly all of keys that are not there. One read of the section gives every
    // operator key with its name; those are the ones examined, in the same order.
    if (const std::optional<std::vector<ProfileSectionEntry>> operators = file.ReadSection(kOperators)) {
        for (const std::string& name : OperatorNames(*operators, count)) add(name);
    } else {
        for (int i = 1; i <= count; ++i) {
            char key[32];
            std::snprintf(key, sizeof key, kOperatorKeyFormat, i);
            add(file.ReadString(kOperators, key, ""));
        }
    }
    controls_.AddItems(IDC_OPERATOR_LIST, listed);
}

bool SettingsForm::SaveSettings() {
    using namespace settings;
    const std::string connMode = controls_.GetCurSel(IDC_CONNECTION_TYPE) == kGprsItem ? kConnModeGprs : kConnModeCsd;
    const std::vector<ProfileEntry> values = {
        {kNumber, controls_.GetText(IDC_PHONE)},     {kUserName, controls_.GetText(IDC_USER_NAME)},
        {kPassword, controls_.GetText(IDC_PASSWORD)}, {kInit, controls_.GetText(IDC_INIT_STRING)},
        {kConnMode, connMode},                       {kDns1, controls_.GetText(IDC_DNS1)},
        {kDns2, controls_.GetText(IDC_DNS2)},        {kApn, controls_.GetText(IDC_APN)},
    };
    for (const ProfileEntry& entry : values) {
        if (entry.value.find_first_of("\r\n") != std::string::npos) {
            messages_.Show(kSaveLineBreakMessage);
            return false;
        }
    }
    // What is no APN would carry AT commands of its own into the modem's init string.
    if (!IsApnText(controls_.GetText(IDC_APN))) {
        messages_.Show(LookUpText(kApnNotValidKey, kApnNotValidText));
        return false;
    }
    // All eight values or none: a half-saved file would hold values the user never saw together.
    if (!profile_.WriteStrings(kSetting, values)) {
        messages_.Show(kSaveFailedMessage);
        return false;
    }
    const std::string saved = LookUpMessage(message::kSaveSet);
    SetStatusText(saved);
    // Its status line gives back the buttons that an install or a timed-out dial held.
    if (!saved.empty()) Apply(ActivityEvent::StatusShown);
    return true;
}

void SettingsForm::ChangeLanguage() {
    using namespace settings;
    const bool chinese = controls_.GetCurSel(IDC_LANGUAGE) == kChineseItem;
    SetLanguageName(chinese ? kChinese : kEnglish);
    profile_.WriteString(kBaseSetting, kLanguage, chinese ? kLanguageChinese : kLanguageEnglish);
    ApplyInterfaceText(profile_, LanguageName());
}

void SettingsForm::RebuildInitString() {
    controls_.ShowText(IDC_INIT_STRING, BuildInitString(controls_.GetText(IDC_APN)));
}

void SettingsForm::FillPortList() {
    std::vector<std::uint32_t> ports;
    ports_.EnumerateSerialPorts(ports);
    // Each entry carries its port number; all of them go in at once, drawn once.
    std::vector<DialogControls::ListItem> items;
    items.reserve(ports.size());
    for (const std::uint32_t port : ports) {
        char name[16];
        std::snprintf(name, sizeof name, "COM%lu", static_cast<unsigned long>(port));
        items.push_back({name, port});
    }
    controls_.AddItems(IDC_PORT_LIST, items);
}

void SettingsForm::RefillPortList() {
    controls_.ResetContent(IDC_PORT_LIST);
    FillPortList();
    if (int count = controls_.GetCount(IDC_PORT_LIST); count > 0) controls_.SetCurSel(IDC_PORT_LIST, count - 1);
}

void SettingsForm::ApplyInterfaceText(const Profile& file, const std::string& language) {
    const SectionValues texts(file, language);
    for (const CaptionKey& caption : kCaptionKeys) controls_.ShowText(caption.controlId, texts.Get(caption.key, ""));
    // Captions added since the first release show their English text when the file lacks them.
    controls_.ShowText(IDC_CHECK_PHONE, texts.Get(phonetext::kCheckPhone.key, phonetext::kCheckPhone.english));
}

std::string SettingsForm::LookUpMessage(const std::string& key) const { return MessageIn(profile_, key); }

std::string SettingsForm::MessageIn(const Profile& file, const std::string& key) const {
    const std::string defaultText = key == message::kPleaseSet ? std::string() : key;
    return file.ReadString(LanguageName(), key, defaultText);
}

std::string SettingsForm::LookUpText(const std::string& key, const std::string& defaultText) const {
    return profile_.ReadString(LanguageName(), key, defaultText);
}

void SettingsForm::SetStatusText(std::string text) {
    // Failures shown in the status line are in the log too, for whoever looks at the PC later.
    if (log_ && !text.empty() && !controls_.Ended()) log_->Step("status", LogResult::Message, 0, text);
    controls_.ShowText(IDC_STATUS, text);
}

namespace {

using Activity = SettingsForm::Activity;
using Event = SettingsForm::ActivityEvent;

// Every action button for each activity, in the order of SettingsForm::Activity. A dial holds
// the phone's port from the click on, and the install sets up the modem on it: the phone check
// would take the port from under them, as they would from under the check.
constexpr ActionButtons kButtonsOfActivity[] = {
    //  connect disconnect install about  check phone
    {true, false, true, true, true},     // Idle
    {false, false, false, false, false}, // Installing
    {false, false, false, false, false}, // AfterInstall
    {false, true, false, false, false},  // Dialling
    {false, true, false, false, false},  // Connected
    {false, true, false, false, false},  // AfterDial
    {false, true, false, false, false},  // Redialling
    {false, false, false, false, false}, // CheckingPhone
    {false, false, false, false, false}, // AskingBalance
};
static_assert(std::size(kButtonsOfActivity) == static_cast<std::size_t>(Activity::AskingBalance) + 1,
              "one row for every activity");

struct Transition {
    Activity from;
    Event event;
    Activity to;
};

// What the dialog does next. An event with no row in the current activity changes nothing: a
// late or repeated report (an end after Disconnect, a second end) meets no row.
constexpr Transition kTransitions[] = {
    {Activity::Idle, Event::ConnectClicked, Activity::Dialling},
    {Activity::AfterDial, Event::ConnectClicked, Activity::Dialling},  // the held connection goes first
    {Activity::Idle, Event::InstallStarted, Activity::Installing},
    {Activity::Idle, Event::PhoneCheckOpened, Activity::CheckingPhone},
    {Activity::CheckingPhone, Event::PhoneCheckClosed, Activity::Idle},
    // The balance asked on the dial's port holds it as the phone check does.
    {Activity::Idle, Event::BalanceOpened, Activity::AskingBalance},
    {Activity::AskingBalance, Event::BalanceClosed, Activity::Idle},

    {Activity::Installing, Event::InstallEnded, Activity::Idle},
    {Activity::Installing, Event::InstallHeld, Activity::AfterInstall},
    {Activity::AfterInstall, Event::StatusShown, Activity::Idle},

    {Activity::Dialling, Event::DialConnected, Activity::Connected},
    {Activity::Dialling, Event::DialFailed, Activity::Redialling},
    {Activity::Dialling, Event::DialTimedOut, Activity::Redialling},  // its connection stays held
    {Activity::Dialling, Event::DialRefused, Activity::Idle},
    {Activity::Connected, Event::Dropped, Activity::Redialling},
    {Activity::AfterDial, Event::StatusShown, Activity::Idle},

    {Activity::Redialling, Event::RedialWaiting, Activity::Redialling},
    {Activity::AfterDial, Event::RedialWaiting, Activity::Redialling},  // a time-out counts as a failure
    {Activity::Redialling, Event::RedialStarted, Activity::Dialling},
    {Activity::Redialling, Event::GaveUp, Activity::Idle},

    {Activity::Dialling, Event::UserEnded, Activity::Idle},
    {Activity::Connected, Event::UserEnded, Activity::Idle},
    {Activity::AfterDial, Event::UserEnded, Activity::Idle},
    {Activity::Redialling, Event::UserEnded, Activity::Idle},
};

// Where no keeper redials, a dial's end does not wait for its decision.
constexpr Transition kWithoutRedials[] = {
    {Activity::Dialling, Event::DialFailed, Activity::Idle},
    {Activity::Dialling, Event::DialTimedOut, Activity::AfterDial},
    {Activity::Connected, Event::Dropped, Activity::Idle},
};

template <std::size_t N>
const Transition* Find(const Transition (&table)[N], Activity from, Event event) {
    for (const Transition& transition : table)
        if (transition.from == from && transition.event == event) return &transition;
    return nullptr;
}

const Transition* FindTransition(Activity from, Event event, bool keeperDecides) {
    const Transition* found = keeperDecides ? nullptr : Find(kWithoutRedials, from, event);
    return found ? found : Find(kTransitions, from, event);
}

} // namespace

ActionButtons ButtonsFor(SettingsForm::Activity activity) {
    return kButtonsOfActivity[static_cast<std::size_t>(activity)];
}

bool SettingsForm::Allows(int buttonId) const {
    const ActionButtons buttons = ButtonsFor(activity_);
    switch (buttonId) {
    case IDC_DIAL: return buttons.connect;
    case IDC_DISCONNECT: return buttons.disconnect;
    case IDC_INSTALL: return buttons.install;
    case IDC_ABOUT: return buttons.about;
    case IDC_CHECK_PHONE: return buttons.checkPhone;
    default: return true;
    }
}

bool SettingsForm::Apply(ActivityEvent event) {
    {
        std::lock_guard<std::mutex> lock(activityMutex_);
        const bool keeperDecides = redialsDecide_ || (apnTriesDecide_ && event == ActivityEvent::DialFailed);
        const Transition* found = FindTransition(activity_, event, keeperDecides);
        if (!found) return false;
        activity_ = found->to;
    }
    // Outside the lock: showing the buttons waits for the dialog's thread.
    ShowButtonsOfActivity();
    return true;
}

void SettingsForm::ShowButtonsOfActivity() {
    // The dialog's thread and a worker may change the activity at once: whoever showed the
    // buttons of an activity that has changed meanwhile shows them again, so the last to finish
    // leaves the buttons of the activity as it stands.
    for (;;) {
        const Activity shown = activity_;
        const ActionButtons buttons = ButtonsFor(shown);
        controls_.Enable(IDC_DIAL, buttons.connect);
        controls_.Enable(IDC_DISCONNECT, buttons.disconnect);
        controls_.Enable(IDC_INSTALL, buttons.install);
        controls_.Enable(IDC_ABOUT, buttons.about);
        controls_.Enable(IDC_CHECK_PHONE, buttons.checkPhone);
        if (activity_ == shown) return;
    }
}

std::optional<InstallRequest> SettingsForm::BeginInstall(ProcessKind process) {
    if (!Allows(IDC_INSTALL)) return std::nullopt;
    if (!SaveSettings()) return std::nullopt;
    if (!Apply(ActivityEvent::InstallStarted)) return std::nullopt;
    SetStatusText(LookUpMessage(message::kInSetupDriver));
    const std::string portName =
        controls_.GetCurSel(IDC_PORT_LIST) < 0 ? std::string() : controls_.GetText(IDC_PORT_LIST);
    if (!portName.empty()) SetPortName(portName);
    return ReadInstallRequest(profile_, process, portName, controls_.GetText(IDC_INIT_STRING));
}

void SettingsForm::EndInstall(InstallResult result) {
    switch (result) {
    case InstallResult::DriverFailed:
    case InstallResult::NoRasModem:
        // Nothing more can be done here: the dialog ends with OK and the outcome says why.
        Apply(ActivityEvent::InstallHeld);
        controls_.EndWithOk();
        return;
    case InstallResult::NoInf:
    case InstallResult::NoHardwareId:
    case InstallResult::NoRasModemLater:
    case InstallResult::Stopped:
        // No button until the next status line.
        Apply(ActivityEvent::InstallHeld);
        return;
    case InstallResult::Done:
    case InstallResult::NoPort:
    case InstallResult::ValueTooLong:
    case InstallResult::ApnRefused:
    case InstallResult::EntryFailed:
    case InstallResult::RegistryFailed:
        Apply(ActivityEvent::InstallEnded);
        return;
    }
}

SettingsForm::DialValues SettingsForm::FieldDialValues() const {
    std::string password = controls_.GetText(IDC_PASSWORD);
    DialValues values{controls_.GetText(IDC_PHONE), controls_.GetText(IDC_USER_NAME), Secret(password)};
    WipeText(password);
    return values;
}

void SettingsForm::TransferEditsToMembers() {
    std::string phone = controls_.GetText(IDC_PHONE);
    std::string user = controls_.GetText(IDC_USER_NAME);
    std::string password = controls_.GetText(IDC_PASSWORD);
    std::lock_guard<std::mutex> lock(mutex_);
    phoneNumber_ = std::move(phone);
    userName_ = std::move(user);
    password_ = std::move(password);
}

void SettingsForm::TransferMembersToEdits() {
    controls_.ShowText(IDC_PHONE, PhoneNumber());
    controls_.ShowText(IDC_USER_NAME, UserName());
    controls_.ShowText(IDC_PASSWORD, Password());
}

std::string SettingsForm::LanguageName() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return languageName_;
}

void SettingsForm::SetLanguageName(std::string name) {
    std::lock_guard<std::mutex> lock(mutex_);
    languageName_ = std::move(name);
}

std::string SettingsForm::PortName() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return portName_;
}

std::string SettingsForm::DialPort() const {
    std::string port = PortName();
    if (port.empty() && controls_.GetCurSel(IDC_PORT_LIST) >= 0) port = controls_.GetText(IDC_PORT_LIST);
    return port;
}

void SettingsForm::SetPortName(std::string name) {
    std::lock_guard<std::mutex> lock(mutex_);
    portName_ = std::move(name);
}

std::string SettingsForm::ConnectionName() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return connectionName_;
}

void SettingsForm::SetConnectionName(std::string name) {
    std::lock_guard<std::mutex> lock(mutex_);
    connectionName_ = std::move(name);
}

std::string SettingsForm::PhoneNumber() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return phoneNumber_;
}

std::string SettingsForm::UserName() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return userName_;
}

std::string SettingsForm::Password() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return password_;
}

} // namespace vantaro
