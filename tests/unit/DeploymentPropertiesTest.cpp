// The properties an administrator gives an MSI install: what Setting.ini gets for each value,
// and which values are refused before anything is written.

#include "installer/msi/DeploymentProperties.h"
#include "installer/InstallFolder.h"

#include "fakes/ApnCases.h"

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
    const struct {
        const char* property;
        std::string value;
        std::optional<std::string> stored;
    } cases[] = {
        {"APN", "a\"b=c;d", std::nullopt},
        {"APN", std::string(481, 'a'), std::nullopt},
        {"APN", "two\r\nlines", std::nullopt},
        {"NUMBER", "*99***1#", "*99***1#"},
        {"NUMBER", std::string(128, '9'), std::string(128, '9')},
        {"NUMBER", std::string(129, '9'), std::nullopt},
        {"USERNAME", std::string(500, 'u'), std::nullopt},
        {"PASSWORD", " quoted \"secret\" ", " quoted \"secret\" "},
        {"CONNECTION_NAME", "\xD2\xC6\xB6\xAF GPRS", "\xD2\xC6\xB6\xAF GPRS"},
        {"DNS1", "10.0.0.1", "10.0.0.1"},
        {"DNS2", "10.0.0.256", std::nullopt},
        {"DNS2", "10.0.1", std::nullopt},
        {"LANGUAGE", "zh", "0"},
        {"LANGUAGE", "en", "1"},
        {"LANGUAGE", "de", std::nullopt},
        {"REPLACE_ENTRY", "1", "1"},
        {"REPLACE_ENTRY", "0", "0"},
        {"REPLACE_ENTRY", "yes", std::nullopt},
    };
    for (const auto& c : cases) {
        std::string why;
        EXPECT_EQ(StoredValue(Setting(c.property), c.value, why), c.stored)
            << c.property << " of " << c.value.size() << " bytes: " << c.value.substr(0, 20);
        EXPECT_TRUE(c.stored || why.rfind(c.property, 0) == 0) << "the refusal names the property: " << why;
    }
}

TEST(DeploymentPropertiesTest, AnApnIsRefusedAsTheProgramRefusesIt) {
    for (const testing::ApnCase& c : testing::kApnCases) {
        std::string why;
        EXPECT_EQ(StoredValue(Setting("APN"), c.apn, why).has_value(), c.accepted) << c.apn;
        if (!c.accepted)
            EXPECT_EQ(why, "APN holds characters that no APN has: an APN is letters, digits, '.', '-' and '_'.");
    }
}

TEST(DeploymentPropertiesTest, PackedTextsComeBackWhole) {
    const std::vector<std::u16string> texts = {u"C:\\Program Files\\Vantaro", u"", u"12:34", u"a\u4e2d;b=\"c\""};
    EXPECT_EQ(UnpackTexts(PackTexts(texts)), texts);
    EXPECT_FALSE(UnpackTexts(u"5:abc"));
    EXPECT_FALSE(UnpackTexts(u"x:"));
}

// A folder outside Program Files gets its access set by the packages before any file goes in.
TEST(DeploymentPropertiesTest, OnlyFoldersInsideProgramFilesInheritItsAccess) {
    const std::vector<std::string> programs = {"C:\\Program Files", "C:\\Program Files (x86)\\"};
    const struct {
        const char* folder;
        bool inherits;
    } cases[] = {
        {"C:\\Program Files\\Vantaro", true},       {"c:\\PROGRAM FILES (X86)\\Vantaro\\", true},
        {"C:\\Program Files", true},                 {"C:\\Vantaro", false},
        {"C:\\Program Files Evil\\Vantaro", false}, {"C:\\Program Files\\..\\Vantaro", false},
        {"C:\\Program Files\\.\\Vantaro", false},  {"", false},
        {"D:\\Program Files\\Vantaro", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(installer::InheritsProgramFilesAccess(c.folder, programs), c.inherits) << c.folder;
}

} // namespace
} // namespace vantaro::msi
