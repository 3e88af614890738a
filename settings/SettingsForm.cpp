#include "settings/SettingsForm.h"

#include "resources/resource.h"
#include "settings/IniDocument.h"
#include "settings/InterfaceText.h"
#include "settings/SettingsKeys.h"

#include <cstdio>
#include <limits>
#include <map>
#include <string_view>
#include <vector>

namespace vantaro {

namespace {

constexpr char kInitStringPrefix[] = "at+eslp=0;+cgdcont=1,\"IP\",\"";

// Index of the connection-type and language lists.
constexpr int kGprsItem = 0;
constexpr int kCsdItem = 1;
constexpr int kChineseItem = 0;

} // namespace

std::string BuildInitString(const std::string& apn) {
    return kInitStringPrefix + apn + "\"";
}

std::optional<int> OperatorIndex(const std::string& key) {
    constexpr std::string_view kPrefix = "operator";
    if (key.size() <= kPrefix.size() || !ProfileNamesMatch(std::string_view(key).substr(0, kPrefix.size()), kPrefix))
        return std::nullopt;
    const std::string_view digits = std::string_view(key).substr(kPrefix.size());
    // Only what "%d" writes for a count from 1 up: no sign, no leading zero.
    if (digits.size() > 10 || digits.front() == '0') return std::nullopt;
    long long index = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        index = index * 10 + (c - '0');
    }
    if (index > std::numeric_limits<int>::max()) return std::nullopt;
    return static_cast<int>(index);
}

std::vector<std::string> OperatorNames(const std::vector<ProfileSectionEntry>& operators, int count) {
    // As reads of "operator1" to "operator<count>" would find them: the first line of a key
    // decides (a line without '=' hides the later ones), and an empty name is no operator.
    std::map<int, std::optional<std::string>> byIndex;
    for (const ProfileSectionEntry& entry : operators) {
        const std::optional<int> index = OperatorIndex(entry.key);
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
    // The keys of [Setting] from one read of the section: the platform checks the file anew for
    // every read, and the dialog is not on screen until this is done.
    const std::vector<ProfileSectionEntry> setting = profile_.ReadSection(kSetting);
    const auto stored = [&setting](const char* key, const char* defaultValue) {
        return FindSectionValue(setting, key).value_or(defaultValue);
    };
    SetLanguageName(kEnglish);
    controls_.SetText(IDC_CONNECTION_NAME, stored(kDefaultConnectionName, ""));

    FillPortList();
    if (int count = controls_.GetCount(IDC_PORT_LIST); count > 0) controls_.SetCurSel(IDC_PORT_LIST, count - 1);

    FillOperatorList();
    if (int count = controls_.GetCount(IDC_OPERATOR_LIST); count > 0) controls_.SetCurSel(IDC_OPERATOR_LIST, count - 1);

    EnableActionButtons(true);

    // The phone field shows the stored number, so that a save never replaces it with "*99#".
    std::string number = stored(kNumber, "");
    if (!number.empty()) controls_.SetText(IDC_PHONE, number);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        phoneNumber_ = number.empty() ? std::string(kDefaultPhoneNumber) : number;
    }

    controls_.SetText(IDC_USER_NAME, stored(kUserName, ""));
    controls_.SetText(IDC_PASSWORD, stored(kPassword, ""));
    controls_.SetText(IDC_INIT_STRING, stored(kInit, ""));
    const std::string connMode = stored(kConnMode, "");
    // Setting the APN edit rebuilds the init string through the edit's change notification, so
    // the stored "init" never stays visible.
    controls_.SetText(IDC_APN, stored(kApn, kDefaultApnOnLoad));
    controls_.SetText(IDC_DNS1, stored(kDns1, ""));
    controls_.SetText(IDC_DNS2, stored(kDns2, ""));

    controls_.SetCurSel(IDC_CONNECTION_TYPE, connMode == kConnModeCsd ? kCsdItem : kGprsItem);

    const std::string language = profile_.ReadString(kBaseSetting, kLanguage, kDefaultLanguage);
    controls_.SetCurSel(IDC_LANGUAGE, LeadingDecimal(language));
    SetLanguageName(language == kLanguageChinese ? kChinese : kEnglish);

    ApplyInterfaceText(LanguageName());
    SetStatusText(LookUpMessage(message::kPleaseSet));
    return 1;
}

void SettingsForm::FillOperatorList() {
    using namespace settings;
    const int count = profile_.ReadInt(kSetting, kMaxOperatorNum, kDefaultMaxOperatorNum);
    if (count < 1) return;
    // The keys "operator1" to "operator<count>" come from one read of their section: read one by
    // one, the default count alone costs 500 reads, nearly all of keys that are not there.
    for (const std::string& name : OperatorNames(profile_.ReadSection(kOperators), count)) {
        if (profile_.ReadString(name, kNumber, "").empty()) continue;
        controls_.AddString(IDC_OPERATOR_LIST, name);
    }
}

bool SettingsForm::SaveSettings() {
    using namespace settings;
    const std::string connMode = controls_.GetCurSel(IDC_CONNECTION_TYPE) == kGprsItem ? kConnModeGprs : kConnModeCsd;
    const std::pair<const char*, std::string> values[] = {
        {kNumber, controls_.GetText(IDC_PHONE)},     {kUserName, controls_.GetText(IDC_USER_NAME)},
        {kPassword, controls_.GetText(IDC_PASSWORD)}, {kInit, controls_.GetText(IDC_INIT_STRING)},
        {kConnMode, connMode},                       {kDns1, controls_.GetText(IDC_DNS1)},
        {kDns2, controls_.GetText(IDC_DNS2)},        {kApn, controls_.GetText(IDC_APN)},
    };
    bool saved = true;
    for (const auto& [key, value] : values) saved = profile_.WriteString(kSetting, key, value) && saved;
    if (!saved) {
        messages_.Show(kSaveFailedMessage);
        return false;
    }
    SetStatusText(LookUpMessage(message::kSaveSet));
    return true;
}

void SettingsForm::ChangeLanguage() {
    using namespace settings;
    const bool chinese = controls_.GetCurSel(IDC_LANGUAGE) == kChineseItem;
    SetLanguageName(chinese ? kChinese : kEnglish);
    profile_.WriteString(kBaseSetting, kLanguage, chinese ? kLanguageChinese : kLanguageEnglish);
    ApplyInterfaceText(LanguageName());
}

void SettingsForm::RebuildInitString() {
    controls_.SetText(IDC_INIT_STRING, BuildInitString(controls_.GetText(IDC_APN)));
}

void SettingsForm::FillPortList() {
    std::vector<std::uint32_t> ports;
    ports_.EnumerateSerialPorts(ports);
    for (std::size_t i = 0; i < ports.size(); ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "COM%lu", static_cast<unsigned long>(ports[i]));
        controls_.AddString(IDC_PORT_LIST, name);
        controls_.SetItemData(IDC_PORT_LIST, static_cast<int>(i), ports[i]);
    }
}

void SettingsForm::RefillPortList() {
    controls_.ResetContent(IDC_PORT_LIST);
    FillPortList();
    if (int count = controls_.GetCount(IDC_PORT_LIST); count > 0) controls_.SetCurSel(IDC_PORT_LIST, count - 1);
}

void SettingsForm::ApplyInterfaceText(std::string language) {
    // The fourteen captions from one read of the language's section.
    const std::vector<ProfileSectionEntry> texts = profile_.ReadSection(language);
    for (const CaptionKey& caption : kCaptionKeys)
        controls_.SetText(caption.controlId, FindSectionValue(texts, caption.key).value_or(""));
}

std::string SettingsForm::LookUpMessage(const std::string& key) const {
    const std::string defaultText = key == message::kPleaseSet ? std::string() : key;
    return profile_.ReadString(LanguageName(), key, defaultText);
}

void SettingsForm::SetStatusText(std::string text) {
    controls_.SetText(IDC_STATUS, text);
    if (!text.empty()) EnableActionButtons(true);
}

void SettingsForm::EnableActionButtons(bool on) {
    controls_.Enable(IDC_DIAL, on);
    controls_.Enable(IDC_DISCONNECT, !on);
    controls_.Enable(IDC_INSTALL, on);
    controls_.Enable(IDC_ABOUT, on);
}

bool SettingsForm::BeginInstall() {
    if (!SaveSettings()) return false;
    SetStatusText(LookUpMessage(message::kInSetupDriver));
    EnableActionButtons(false);
    return true;
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
    controls_.SetText(IDC_PHONE, PhoneNumber());
    controls_.SetText(IDC_USER_NAME, UserName());
    controls_.SetText(IDC_PASSWORD, Password());
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
