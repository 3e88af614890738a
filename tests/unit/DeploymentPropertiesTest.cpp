// The properties an administrator gives an MSI install: what Setting.ini gets for each value,
// and which values are refused before anything is written.

#include "installer/msi/DeploymentProperties.h"

#include <gtest/gtest.h>

#include <string>

namespace vantaro::msi {
namespace {

const SettingProperty& Setting(const std::string& property) {
    for (const SettingProperty& setting : SettingProperties())
        if (property == setting.property) return setting;
    throw std::invalid_argument(property);
}

TEST(DeploymentPropertiesTest, ValuesAreStoredExactlyOrRefused) {
    const std::optional<std::string> refused;
    const struct {
        const char* property;
        std::string value;
        std::optional<std::string> stored;
    } cases[] = {
        {"APN", "cmnet", "cmnet"},
        {"APN", "a\"b=c;d", "a\"b=c;d"},
        {"APN", std::string(480, 'a'), std::string(480, 'a')},
        {"APN", std::string(481, 'a'), refused},
        {"APN", "two\r\nlines", refused},
        {"NUMBER", "*99***1#", "*99***1#"},
        {"NUMBER", std::string(128, '9'), std::string(128, '9')},
        {"NUMBER", std::string(129, '9'), refused},
        {"USERNAME", std::string(500, 'u'), refused},
        {"PASSWORD", " quoted \"secret\" ", " quoted \"secret\" "},
        {"CONNECTION_NAME", "\xD2\xC6\xB6\xAF GPRS", "\xD2\xC6\xB6\xAF GPRS"},
        {"DNS1", "10.0.0.1", "10.0.0.1"},
        {"DNS2", "10.0.0.256", refused},
        {"DNS2", "10.0.1", refused},
        {"LANGUAGE", "zh", "0"},
        {"LANGUAGE", "en", "1"},
        {"LANGUAGE", "de", refused},
    };
    for (const auto& c : cases) {
        std::string why;
        EXPECT_EQ(StoredValue(Setting(c.property), c.value, why), c.stored)
            << c.property << " of " << c.value.size() << " bytes: " << c.value.substr(0, 20);
        if (!c.stored) {
            EXPECT_EQ(why.rfind(c.property, 0), 0u) << "the refusal names the property: " << why;
        }
    }
}

TEST(DeploymentPropertiesTest, PackedTextsComeBackWhole) {
    const std::vector<std::u16string> texts = {u"C:\\Program Files\\Vantaro", u"", u"12:34", u"a\u4e2d;b=\"c\""};
    EXPECT_EQ(UnpackTexts(PackTexts(texts)), texts);
    EXPECT_FALSE(UnpackTexts(u"5:abc"));
    EXPECT_FALSE(UnpackTexts(u"x:"));
}

} // namespace
} // namespace vantaro::msi
