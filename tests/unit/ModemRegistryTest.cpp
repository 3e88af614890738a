// The modem registry configuration against a registry in memory: which keys are deleted,
// which driver keys are configured, and what is written.

#include "fakes/FakeRegistry.h"
#include "modem/ModemRegistry.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

namespace vantaro {
namespace {

using ::testing::ElementsAre;
using testing::FakeRegistry;

constexpr char kInit[] = "at+eslp=0;+cgdcont=1,\"IP\",\"cmnet\"";

std::string Instance(unsigned index) { return NumberedSubKey(kRootModemKey, index); }
std::string Driver(unsigned index) { return NumberedSubKey(kModemClassKey, index); }

class ConfigureModemRegistryTest : public ::testing::Test {
protected:
    ConfigureModemRegistryTest() {
        registry.CreateKey(kRootModemKey);
        registry.CreateKey(kModemClassKey);
    }

    bool Configure(const std::string& speed = "115200") {
        return ConfigureModemRegistry(registry, "COM3", speed, kInit);
    }
    void DescribedAs(unsigned index, const std::string& description) {
        registry.SetString(Driver(index), "DriverDesc", description);
    }
    bool Configured(unsigned index) const { return registry.Find(Driver(index), "AttachedTo") != nullptr; }
    std::vector<std::string> Writes() const {
        std::vector<std::string> writes;
        for (const std::string& entry : registry.Log())
            if (entry.rfind("write ", 0) == 0) writes.push_back(entry);
        return writes;
    }
    bool Logged(const std::string& entry) const {
        return std::find(registry.Log().begin(), registry.Log().end(), entry) != registry.Log().end();
    }

    FakeRegistry registry;
};

TEST_F(ConfigureModemRegistryTest, WritesTheFourValuesInOrderWithTheirTypes) {
    DescribedAs(0, "ZOR GPRS Modem");
    EXPECT_TRUE(Configure());
    const std::string key = Driver(0);
    EXPECT_THAT(Writes(), ElementsAre("write " + key + " AttachedTo", "write " + key + " ConfigDialog",
                                      "write " + key + " MaximumPortSpeed", "write " + key + " UserInit"));
    using Type = FakeRegistry::Value::Type;
    EXPECT_EQ(registry.Find(key, "AttachedTo")->text, "COM3");
    EXPECT_EQ(registry.Find(key, "AttachedTo")->type, Type::String);
    EXPECT_EQ(registry.Find(key, "ConfigDialog")->text, "modemui.dll");
    EXPECT_EQ(registry.Find(key, "ConfigDialog")->type, Type::String);
    EXPECT_EQ(registry.Find(key, "MaximumPortSpeed")->number, 115200u);
    EXPECT_EQ(registry.Find(key, "MaximumPortSpeed")->type, Type::Number);
    EXPECT_EQ(registry.Find(key, "UserInit")->text, kInit);
    EXPECT_EQ(registry.Find(key, "UserInit")->type, Type::String);
    EXPECT_EQ(registry.OpenKeys(), 0) << "every key is closed at the end";
}

TEST_F(ConfigureModemRegistryTest, WithoutTheRootModemKeyNothingIsWritten) {
    FakeRegistry bare;
    bare.CreateKey(kModemClassKey);
    bare.SetString(NumberedSubKey(kModemClassKey, 0), "DriverDesc", "ZOR GPRS Modem");
    EXPECT_FALSE(ConfigureModemRegistry(bare, "COM3", "115200", kInit));
    for (const std::string& entry : bare.Log()) {
        EXPECT_EQ(entry.rfind("write ", 0), std::string::npos) << entry;
        EXPECT_EQ(entry.find(kModemClassKey), std::string::npos) << "the class key is not even opened: " << entry;
    }
}

TEST_F(ConfigureModemRegistryTest, WithoutFullAccessNothingIsDeletedOrWritten) {
    registry.SetString(Instance(0), "ClassGUID", kModemClassGuid);
    DescribedAs(0, "ZOR GPRS Modem");
    registry.refuseFullAccess = true;
    EXPECT_FALSE(Configure());
    EXPECT_TRUE(registry.HasKey(Instance(0)));
    EXPECT_FALSE(Logged("delete " + Instance(0)));
    EXPECT_TRUE(Writes().empty());
}

// Which driver keys the walk configures: those whose DriverDesc is ours, compared whole and without
// regard to case, up to the first gap in the numbering. A key of a row is its DriverDesc, or none
// (nullptr ends the numbering there); '+' in `configured` is a key configured, and nothing else is
// written.
TEST(ModemRegistryWalk, ConfiguresEveryDriverKeyDescribedAsOursUpToTheFirstGap) {
    constexpr char kOurs[] = "ZOR GPRS Modem";
    constexpr char kNoDescription[] = "(a key without DriverDesc)";
    const std::string overlong = kOurs + std::string(190, ' ');  // longer than the 200-byte buffer
    const char* const other = "Standard 33600 bps Modem";
    const struct {
        const char* rule;
        std::vector<const char*> keys;
        const char* configured;
    } rows[] = {
        {"every one, also one right after another", {kOurs, kOurs, other, kOurs}, "++-+"},
        {"matched whole, without regard to case", {"zor gprs MODEM", "ZOR GPRS Modem ", "ZOR GPRS Mode"}, "+--"},
        {"a description that does not read is no match", {kNoDescription, overlong.c_str(), kOurs}, "--+"},
        {"no 0000, no walk", {nullptr, kOurs}, "--"},
        {"0002 is missing, so 0003 is never reached", {other, kOurs, nullptr, kOurs}, "-+--"},
        {"keys past 0009", {other, other, other, other, other, other, other, other, other, kOurs, kOurs}, "---------++"},
    };
    for (const auto& row : rows) {
        FakeRegistry registry;
        registry.CreateKey(kRootModemKey);
        registry.CreateKey(kModemClassKey);
        for (unsigned index = 0; index < row.keys.size(); ++index) {
            if (row.keys[index] == kNoDescription) registry.CreateKey(Driver(index));
            else if (row.keys[index]) registry.SetString(Driver(index), "DriverDesc", row.keys[index]);
        }
        EXPECT_TRUE(ConfigureModemRegistry(registry, "COM3", "115200", kInit)) << row.rule;
        std::string configured;
        for (unsigned index = 0; index < row.keys.size(); ++index)
            configured += registry.Find(Driver(index), "AttachedTo") ? '+' : '-';
        const auto writes = std::count_if(registry.Log().begin(), registry.Log().end(),
                                          [](const std::string& entry) { return entry.rfind("write ", 0) == 0; });
        EXPECT_EQ(writes, 4 * std::count(configured.begin(), configured.end(), '+')) << row.rule << ": writes elsewhere";
        EXPECT_EQ(configured, row.configured) << row.rule;
    }
}

TEST_F(ConfigureModemRegistryTest, KeysPast0009AreNamedWithFourDigits) {
    EXPECT_EQ(Driver(9), std::string(kModemClassKey) + "\\0009");
    EXPECT_EQ(Driver(10), std::string(kModemClassKey) + "\\0010");
    EXPECT_EQ(Instance(123), std::string(kRootModemKey) + "\\0123");
}

TEST_F(ConfigureModemRegistryTest, AFailedWriteDoesNotStopTheOthers) {
    DescribedAs(0, "ZOR GPRS Modem");
    DescribedAs(1, "ZOR GPRS Modem");
    registry.failingWrites["ConfigDialog"] = 5;
    EXPECT_TRUE(Configure());
    for (unsigned index : {0u, 1u}) {
        EXPECT_NE(registry.Find(Driver(index), "AttachedTo"), nullptr);
        EXPECT_EQ(registry.Find(Driver(index), "ConfigDialog"), nullptr);
        EXPECT_NE(registry.Find(Driver(index), "MaximumPortSpeed"), nullptr);
        EXPECT_NE(registry.Find(Driver(index), "UserInit"), nullptr);
    }
}

TEST_F(ConfigureModemRegistryTest, ANonNumericSpeedGivesZero) {
    DescribedAs(0, "ZOR GPRS Modem");
    EXPECT_TRUE(Configure("fast"));
    EXPECT_EQ(registry.Find(Driver(0), "MaximumPortSpeed")->number, 0u);
}

TEST_F(ConfigureModemRegistryTest, InstanceKeysOfTheModemClassAreDeletedWherePossible) {
    registry.SetString(Instance(0), "ClassGUID", "{4d36e96d-e325-11ce-bfc1-08002be10318}");
    registry.SetString(Instance(1), "ClassGUID", "{4D36E978-E325-11CE-BFC1-08002BE10318}");  // a port
    registry.SetString(Instance(2), "ClassGUID", kModemClassGuid);
    registry.CreateKey(Instance(2) + "\\Device Parameters");
    registry.SetString(Instance(4), "ClassGUID", kModemClassGuid);
    EXPECT_TRUE(Configure());
    EXPECT_FALSE(registry.HasKey(Instance(0))) << "a modem instance, whatever the GUID's letter case";
    EXPECT_TRUE(registry.HasKey(Instance(1))) << "another class is left alone";
    EXPECT_FALSE(Logged("delete " + Instance(1)));
    EXPECT_TRUE(Logged("delete " + Instance(2))) << "the deletion is asked for";
    EXPECT_TRUE(registry.HasKey(Instance(2))) << "and refused for a key with sub-keys, which is ignored";
    EXPECT_TRUE(registry.HasKey(Instance(4))) << "0003 is missing, so the walk ended before 0004";
}

} // namespace
} // namespace vantaro
