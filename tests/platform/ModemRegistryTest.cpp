// The modem registry configuration and its registry key against Wine's real registry, on keys
// prepared in the test prefix. Each test starts with the modem class holding only the driver
// keys it makes, and removes them again.

#include "ModemDevices.h"
#include "modem/ModemRegistry.h"
#include "modem/win32/Win32Registry.h"

#include <gtest/gtest.h>

#include <cstring>

namespace vantaro {
namespace {

constexpr char kInit[] = "at+eslp=0;+cgdcont=1,\"IP\",\"cmnet\"";
constexpr char kScratchKey[] = "SOFTWARE\\Vantaro tests\\registry keys";

std::string Driver(unsigned index) { return NumberedSubKey(kModemClassKey, index); }
std::string Instance(unsigned index) { return NumberedSubKey(kRootModemKey, index); }

bool KeyExists(const std::string& path) {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    ::RegCloseKey(key);
    return true;
}

void MakeKey(const std::string& path) {
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS)
        << path;
    ::RegCloseKey(key);
}

void SetValue(const std::string& path, const std::string& name, DWORD type, const std::string& bytes) {
    MakeKey(path);
    ASSERT_EQ(::RegSetKeyValueA(HKEY_LOCAL_MACHINE, path.c_str(), name.c_str(), type, bytes.data(),
                                static_cast<DWORD>(bytes.size())),
              ERROR_SUCCESS);
}

void SetText(const std::string& path, const std::string& name, const std::string& text) {
    SetValue(path, name, REG_SZ, text + '\0');
}

platformtest::RegistryValue Value(const std::string& path, const std::string& name) {
    platformtest::RegistryValue value;
    char data[1024];
    DWORD size = sizeof data;
    if (::RegGetValueA(HKEY_LOCAL_MACHINE, path.c_str(), name.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &value.type, data,
                       &size) == ERROR_SUCCESS)
        value.data.assign(data, size);
    return value;
}

// Deletes the numbered sub-keys 0000 .. 0099 of a key with everything in them.
void DeleteNumberedSubKeys(const std::string& parent) {
    for (unsigned index = 0; index < 100; ++index)
        ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, NumberedSubKey(parent, index).c_str());
}

class ModemRegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        Clean();
        MakeKey(kRootModemKey);
        MakeKey(kModemClassKey);
        ASSERT_FALSE(KeyExists(Driver(0))) << "a driver key is left over in the modem class";
    }
    void TearDown() override { Clean(); }

    static void Clean() {
        platformtest::RemoveAllModemDevices();
        DeleteNumberedSubKeys(kModemClassKey);
        DeleteNumberedSubKeys(kRootModemKey);
        ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Vantaro tests");
    }

    bool Configure() { return ConfigureModemRegistry(registry, "COM7", "115200", kInit); }

    Win32Registry registry;
};

TEST_F(ModemRegistryTest, WritesTheFourValuesWithTheirTypesIntoEveryMatchingDriverKey) {
    SetText(Driver(0), "DriverDesc", "ZOR GPRS Modem");
    SetText(Driver(1), "DriverDesc", "zor gprs modem");
    SetText(Driver(2), "DriverDesc", "Standard 33600 bps Modem");
    EXPECT_TRUE(Configure());
    for (unsigned index : {0u, 1u}) {
        SCOPED_TRACE(Driver(index));
        const auto attachedTo = Value(Driver(index), "AttachedTo");
        EXPECT_EQ(attachedTo.type, static_cast<DWORD>(REG_SZ));
        EXPECT_EQ(attachedTo.data, std::string("COM7", 5)) << "the terminating NUL is counted";
        const auto configDialog = Value(Driver(index), "ConfigDialog");
        EXPECT_EQ(configDialog.type, static_cast<DWORD>(REG_SZ));
        EXPECT_EQ(configDialog.data, std::string("modemui.dll", 12));
        const auto speed = Value(Driver(index), "MaximumPortSpeed");
        EXPECT_EQ(speed.type, static_cast<DWORD>(REG_DWORD));
        DWORD number = 0;
        ASSERT_EQ(speed.data.size(), sizeof number);
        std::memcpy(&number, speed.data.data(), sizeof number);
        EXPECT_EQ(number, 115200u);
        const auto userInit = Value(Driver(index), "UserInit");
        EXPECT_EQ(userInit.type, static_cast<DWORD>(REG_SZ));
        EXPECT_EQ(userInit.data, std::string(kInit) + '\0');
    }
    EXPECT_EQ(Value(Driver(2), "AttachedTo").type, static_cast<DWORD>(REG_NONE)) << "a foreign modem is left alone";
}

TEST_F(ModemRegistryTest, DeletesTheModemInstanceKeysThatHaveNoSubKeys) {
    SetText(Instance(0), "ClassGUID", "{4d36e96d-e325-11ce-bfc1-08002be10318}");
    SetText(Instance(1), "ClassGUID", "{4D36E978-E325-11CE-BFC1-08002BE10318}");
    SetText(Instance(2), "ClassGUID", kModemClassGuid);
    MakeKey(Instance(2) + "\\Device Parameters");
    EXPECT_TRUE(Configure());
    EXPECT_FALSE(KeyExists(Instance(0)));
    EXPECT_TRUE(KeyExists(Instance(1))) << "another class";
    EXPECT_TRUE(KeyExists(Instance(2))) << "the platform deletes no key with sub-keys";
}

TEST_F(ModemRegistryTest, WithoutTheRootModemKeyNothingIsWritten) {
    ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, kRootModemKey);
    ASSERT_FALSE(KeyExists(kRootModemKey));
    SetText(Driver(0), "DriverDesc", "ZOR GPRS Modem");
    EXPECT_FALSE(Configure());
    EXPECT_EQ(Value(Driver(0), "AttachedTo").type, static_cast<DWORD>(REG_NONE));
}

// ---- the key ----

TEST_F(ModemRegistryTest, StringsReadIntoTwoHundredBytesAndNeverPastThem) {
    const std::string path = kScratchKey;
    SetText(path, "fits", std::string(199, 'f'));
    SetText(path, "long", std::string(200, 'l'));
    SetValue(path, "unterminated199", REG_SZ, std::string(199, 'u'));
    SetValue(path, "unterminated200", REG_SZ, std::string(200, 'u'));
    SetValue(path, "early", REG_SZ, std::string("ab\0cd", 5));

    for (const auto& key : {registry.OpenForReading(path), registry.OpenWithFullAccess(path)}) {
        ASSERT_NE(key, nullptr);
        const struct {
            const char* name;
            bool reads;
            std::string text;
        } cases[] = {
            {"fits", true, std::string(199, 'f')},
            {"long", false, ""},
            {"unterminated199", true, std::string(199, 'u')},
            {"unterminated200", false, ""},  // no room for the NUL
            {"early", true, "ab"},
            {"missing", false, ""},
        };
        for (const auto& c : cases) {
            std::string text = "stale";
            EXPECT_EQ(key->ReadString(c.name, text), c.reads) << c.name;
            EXPECT_EQ(text, c.text) << c.name << ": a value that does not read leaves the text empty";
        }
    }
}

TEST_F(ModemRegistryTest, WritesGiveTheRegistrysOwnErrorCode) {
    MakeKey(kScratchKey);
    EXPECT_EQ(registry.OpenForReading("SOFTWARE\\Vantaro tests\\missing"), nullptr);
    EXPECT_EQ(registry.OpenWithFullAccess("SOFTWARE\\Vantaro tests\\missing"), nullptr);

    const auto reading = registry.OpenForReading(kScratchKey);
    ASSERT_NE(reading, nullptr);
    EXPECT_EQ(reading->WriteString("x", "y"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(reading->WriteNumber("x", 1), ERROR_ACCESS_DENIED);
    EXPECT_EQ(Value(kScratchKey, "x").type, static_cast<DWORD>(REG_NONE));

    const auto writing = registry.OpenWithFullAccess(kScratchKey);
    ASSERT_NE(writing, nullptr);
    EXPECT_EQ(writing->WriteNumber("speed", 115200), ERROR_SUCCESS);
    EXPECT_EQ(Value(kScratchKey, "speed").type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(writing->WriteString("port", "COM7"), ERROR_SUCCESS);
    EXPECT_EQ(Value(kScratchKey, "port").data, std::string("COM7", 5)) << "the terminating NUL is counted";
}

} // namespace
} // namespace vantaro
