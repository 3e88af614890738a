#pragma once
// The public properties an administrator gives an MSI install (APN=cmnet NUMBER=*99# ...): which
// key of Setting.ini each one writes, which values the program would refuse, and how the install's
// later steps receive them. Portable, so that every rule is tested on the host; the custom-action
// DLL only reads the properties and hands them here as ANSI bytes.

#include "platform/Profile.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vantaro::msi {

// A property that becomes a key of Setting.ini.
struct SettingProperty {
    const char* property;
    const char* section;
    const char* key;
};

// APN, NUMBER, USERNAME, PASSWORD, CONNECTION_NAME, DNS1, DNS2, LANGUAGE and REPLACE_ENTRY, in that
// order.
const std::vector<SettingProperty>& SettingProperties();

inline constexpr char kPortProperty[] = "PORT";
inline constexpr char kInstallModemProperty[] = "INSTALLMODEM";
inline constexpr char kRequireModemProperty[] = "REQUIREMODEM";

// What the file gets for a property's value: the value itself, or for LANGUAGE the stored
// language ("zh" is 0, "en" is 1). Nothing, with `why` in plain words, when the program would
// refuse the value or a line of the file cannot carry it. `value` is in the system's ANSI code
// page (the file's own), non-empty.
std::optional<std::string> StoredValue(const SettingProperty& setting, const std::string& value, std::string& why);

// PORT as Vantaro.exe's /port takes it: COM1 to COM255 or auto.
bool IsPortArgument(const std::string& value, std::string& why);

// INSTALLMODEM and REQUIREMODEM: "1" is on; empty and "0" are off. Nothing for anything else.
std::optional<bool> Switch(const std::string& value);

// What Vantaro.exe's exit code tells the administrator who reads the MSI log.
std::string ExitCodeMeaning(std::uint32_t exitCode);

// The texts a deferred step receives in its CustomActionData, which is one string: each text
// as its length in decimal, ':', then the text, so that any character survives.
std::u16string PackTexts(const std::vector<std::u16string>& texts);
// Nothing when the data is not of that form.
std::optional<std::vector<std::u16string>> UnpackTexts(const std::u16string& data);

} // namespace vantaro::msi
