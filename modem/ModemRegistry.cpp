#include "modem/ModemRegistry.h"

#include "platform/PlatformCodes.h"
#include "platform/TextRules.h"

#include <cstdio>

namespace vantaro {

namespace {

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

bool ConfigureModemRegistry(Registry& registry, const std::string& portName, const std::string& speed,
                            const std::string& initString) {
    using namespace registry_value;
    if (!registry.OpenForReading(kRootModemKey)) return false;

    for (unsigned index = 0; index < kMaxNumberedKeys; ++index) {
        const std::string path = NumberedSubKey(kRootModemKey, index);
        std::unique_ptr<RegistryKey> instance = registry.OpenForReading(path);
        if (!instance) break;
        if (EqualsIgnoringAsciiCase(ReadOrEmpty(*instance, kClassGuid), kModemClassGuid)) {
            // Only with full access; whether the platform then deletes it is not looked at.
            if (registry.OpenWithFullAccess(path)) registry.DeleteKey(path);
        }
    }

    std::unique_ptr<RegistryKey> modemClass = registry.OpenWithFullAccess(kModemClassKey);
    if (!modemClass) return false;

    const auto speedNumber = static_cast<std::uint32_t>(LeadingInteger(speed));
    // Every matching key is configured, also one that directly follows another.
    for (unsigned index = 0; index < kMaxNumberedKeys; ++index) {
        std::unique_ptr<RegistryKey> driver = registry.OpenWithFullAccess(NumberedSubKey(kModemClassKey, index));
        if (!driver) break;
        if (!EqualsIgnoringAsciiCase(ReadOrEmpty(*driver, kDriverDesc), kModemDriverDesc)) continue;
        // A failed write is not reported and does not stop the others.
        driver->WriteString(kAttachedTo, portName);
        driver->WriteString(kConfigDialog, kModemConfigDialog);
        driver->WriteNumber(kMaximumPortSpeed, speedNumber);
        driver->WriteString(kUserInit, initString);
    }
    return true;
}

} // namespace vantaro
