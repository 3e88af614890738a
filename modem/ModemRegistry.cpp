#include "modem/ModemRegistry.h"

#include <climits>
#include <cstdio>

namespace vantaro {

namespace {

constexpr char kClassGuidValue[] = "ClassGUID";
constexpr char kDriverDescValue[] = "DriverDesc";
constexpr char kAttachedTo[] = "AttachedTo";
constexpr char kConfigDialog[] = "ConfigDialog";
constexpr char kMaximumPortSpeed[] = "MaximumPortSpeed";
constexpr char kUserInit[] = "UserInit";

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// A value that does not read counts as empty.
std::string ReadOrEmpty(RegistryKey& key, const char* name) {
    std::string text;
    if (!key.ReadString(name, text)) text.clear();
    return text;
}

} // namespace

std::string NumberedSubKey(const std::string& parent, unsigned index) {
    char number[16];
    std::snprintf(number, sizeof number, "%04u", index);
    return parent + "\\" + number;
}

std::uint32_t PortSpeedNumber(const std::string& speed) {
    std::size_t at = 0;
    while (at < speed.size() && (speed[at] == ' ' || (speed[at] >= '\t' && speed[at] <= '\r'))) ++at;
    bool negative = false;
    if (at < speed.size() && (speed[at] == '+' || speed[at] == '-')) negative = speed[at++] == '-';
    long long value = 0;
    for (; at < speed.size() && speed[at] >= '0' && speed[at] <= '9'; ++at) {
        value = value * 10 + (speed[at] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) break;
    }
    if (negative) value = -value;
    if (value > INT_MAX) value = INT_MAX;
    if (value < INT_MIN) value = INT_MIN;
    return static_cast<std::uint32_t>(static_cast<std::int32_t>(value));
}

bool EqualsIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    return true;
}

int ConfigureModemRegistry(Registry& registry, std::string portName, std::string speed, std::string initString) {
    if (!registry.OpenForReading(kRootModemKey)) return -1;

    for (unsigned index = 0; index < kMaxNumberedKeys; ++index) {
        const std::string path = NumberedSubKey(kRootModemKey, index);
        std::unique_ptr<RegistryKey> instance = registry.OpenForReading(path);
        if (!instance) break;
        if (EqualsIgnoringCase(ReadOrEmpty(*instance, kClassGuidValue), kModemClassGuid)) {
            // Only with full access; whether the platform then deletes it is not looked at.
            if (registry.OpenWithFullAccess(path)) registry.DeleteKey(path);
        }
    }

    std::unique_ptr<RegistryKey> modemClass = registry.OpenWithFullAccess(kModemClassKey);
    if (!modemClass) return -1;

    const std::uint32_t speedNumber = PortSpeedNumber(speed);
    // Every matching key is configured, also one that directly follows another.
    for (unsigned index = 0; index < kMaxNumberedKeys; ++index) {
        std::unique_ptr<RegistryKey> driver = registry.OpenWithFullAccess(NumberedSubKey(kModemClassKey, index));
        if (!driver) break;
        if (!EqualsIgnoringCase(ReadOrEmpty(*driver, kDriverDescValue), kModemDriverDesc)) continue;
        // A failed write is not reported and does not stop the others.
        driver->WriteString(kAttachedTo, portName);
        driver->WriteString(kConfigDialog, kModemConfigDialog);
        driver->WriteNumber(kMaximumPortSpeed, speedNumber);
        driver->WriteString(kUserInit, initString);
    }
    return 1;
}

} // namespace vantaro
