#include "installer/msi/DeploymentProperties.h"

#include "workflow/CommandLine.h"
#include "dialup/RasRecords.h"
#include "modem/ModemInstaller.h"
#include "settings/ProfileFile.h"
#include "settings/SettingsKeys.h"

#include <cstddef>

namespace vantaro::msi {
namespace {

namespace keys = settings;

constexpr char kApn[] = "APN";
constexpr char kNumber[] = "NUMBER";
constexpr char kUserName[] = "USERNAME";
constexpr char kPassword[] = "PASSWORD";
constexpr char kConnectionName[] = "CONNECTION_NAME";
constexpr char kDns1[] = "DNS1";
constexpr char kDns2[] = "DNS2";
constexpr char kLanguage[] = "LANGUAGE";
constexpr char kReplaceEntry[] = "REPLACE_ENTRY";

// The dial-up entry's fields that these values fill; a longer value would be refused at the
// install's entry step or at the first dial.
std::optional<std::size_t> FieldLimit(const std::string& property) {
    if (property == kNumber) return ras::kMaxPhoneNumber;
    if (property == kUserName) return ras::kMaxUserName;
    if (property == kPassword) return ras::kMaxPassword;
    if (property == kConnectionName) return ras::kMaxEntryName;
    return std::nullopt;
}

// Four numbers of 0 to 255 joined by dots, as Setting.ini's note asks.
bool IsDottedAddress(const std::string& text) {
    int pieces = 0;
    std::size_t at = 0;
    while (at <= text.size()) {
        const std::size_t dot = text.find('.', at);
        const std::string piece = text.substr(at, dot == std::string::npos ? std::string::npos : dot - at);
        if (piece.empty() || piece.size() > 3 || piece.find_first_not_of("0123456789") != std::string::npos ||
            std::stoi(piece) > 255)
            return false;
        ++pieces;
        if (dot == std::string::npos) break;
        at = dot + 1;
    }
    return pieces == 4;
}

std::string Length(const std::string& value) { return std::to_string(value.size()) + " bytes long"; }

} // namespace

const std::vector<SettingProperty>& SettingProperties() {
    static const std::vector<SettingProperty> table = {
        {kApn, keys::kSetting, keys::kApn},
        {kNumber, keys::kSetting, keys::kNumber},
        {kUserName, keys::kSetting, keys::kUserName},
        {kPassword, keys::kSetting, keys::kPassword},
        {kConnectionName, keys::kSetting, keys::kConnectionName},
        {kDns1, keys::kSetting, keys::kDns1},
        {kDns2, keys::kSetting, keys::kDns2},
        {kLanguage, keys::kBaseSetting, keys::kLanguage},
        {kReplaceEntry, keys::kSetting, keys::kReplaceEntry},
    };
    return table;
}

std::optional<std::string> StoredValue(const SettingProperty& setting, const std::string& value, std::string& why) {
    const std::string property = setting.property;
    if (!CanWriteProfileValue(setting.section, setting.key, value)) {
        why = property + " holds a line break or a NUL, which a line of Setting.ini cannot keep.";
        return std::nullopt;
    }
    if (property == kLanguage) {
        if (value == "zh") return std::string(keys::kLanguageChinese);
        if (value == "en") return std::string(keys::kLanguageEnglish);
        why = "LANGUAGE is zh or en.";
        return std::nullopt;
    }
    if (property == kReplaceEntry) {
        if (value == "0" || value == "1") return value;
        why = "REPLACE_ENTRY is 1 (replace a dial-up connection of that name that is there already) or 0 (keep it).";
        return std::nullopt;
    }
    if (property == kApn && !IsApnText(value)) {
        why = "APN holds characters that no APN has: an APN is letters, digits, '.', '-' and '_'.";
        return std::nullopt;
    }
    if (property == kApn && !DriverKeyInitString(value, keys::kDefaultConnModeOnInstall)) {
        why = "APN is " + Length(value) + ": " + kApnTooLongMessage;
        return std::nullopt;
    }
    if ((property == kDns1 || property == kDns2) && !IsDottedAddress(value)) {
        why = property + " is not an address: four numbers of 0 to 255 joined by dots.";
        return std::nullopt;
    }
    if (const std::optional<std::size_t> limit = FieldLimit(property); limit && value.size() > *limit) {
        why = property + " is " + Length(value) + ": the dial-up entry takes at most " + std::to_string(*limit) + ".";
        return std::nullopt;
    }
    return value;
}

bool IsPortArgument(const std::string& value, std::string& why) {
    // Vantaro.exe's own rule, so that the install step cannot refuse what was accepted here.
    const CommandLine line = ParseCommandLine({"/install", "/port", value, "/quiet"});
    if (line.action == CommandAction::Install) return true;
    why = "PORT: " + line.error;
    return false;
}

std::optional<bool> Switch(const std::string& value) {
    if (value.empty() || value == "0") return false;
    if (value == "1") return true;
    return std::nullopt;
}

std::string ExitCodeMeaning(std::uint32_t exitCode) {
    switch (static_cast<ExitCode>(exitCode)) {
    case ExitCode::Done: return "done";
    case ExitCode::Failed: return "failed; Vantaro.log beside Vantaro.exe says at which step and why";
    case ExitCode::WrongCommandLine: return "the command line was refused";
    case ExitCode::NoPhoneFound: return "no phone found: none, or several, answered as a modem";
    case ExitCode::NeedsAdministrator: return "Windows refused a step for want of administrator rights";
    case ExitCode::RestartNeeded: return "Windows finishes removing a modem when it restarts";
    }
    return "an exit code Vantaro does not give; it may have been ended from outside";
}

std::u16string PackTexts(const std::vector<std::u16string>& texts) {
    std::u16string data;
    for (const std::u16string& text : texts) {
        for (char digit : std::to_string(text.size())) data += static_cast<char16_t>(digit);
        data += u':';
        data += text;
    }
    return data;
}

std::optional<std::vector<std::u16string>> UnpackTexts(const std::u16string& data) {
    std::vector<std::u16string> texts;
    std::size_t at = 0;
    while (at < data.size()) {
        std::size_t length = 0;
        std::size_t digits = 0;
        for (; at < data.size() && data[at] >= u'0' && data[at] <= u'9' && digits < 9; ++at, ++digits)
            length = length * 10 + static_cast<std::size_t>(data[at] - u'0');
        if (digits == 0 || at >= data.size() || data[at] != u':' || data.size() - at - 1 < length)
            return std::nullopt;
        texts.push_back(data.substr(at + 1, length));
        at += 1 + length;
    }
    return texts;
}

} // namespace vantaro::msi
