// The remote-access binding, the modem device scan and the dial-up entry, against an
// rasapi32.dll in memory.

#include "dialup/DialupEntry.h"
#include "dialup/RasBinding.h"
#include "fakes/FakeRasLibrary.h"

#include <gtest/gtest.h>

#include <cstring>

namespace vantaro {
namespace {

using testing::FakeRasLibrary;

std::string Text(const char* field) { return field; }

std::vector<std::string> Names(const std::vector<ras::RASDEVINFOA>& devices) {
    std::vector<std::string> names;
    for (const ras::RASDEVINFOA& device : devices)
        names.push_back(Text(device.szDeviceType) + "/" + device.szDeviceName);
    return names;
}

// --- the binding --------------------------------------------------------------------------

TEST(RasBinding, WithoutTheLibraryEveryCallGivesOneAndNothingIsFreed) {
    FakeRasLibrary library;
    library.loadFails = true;
    {
        RasBinding binding(library);
        EXPECT_FALSE(binding.Loaded());
        std::uint32_t size = 0, count = 0;
        ras::RASENTRYA entry{};
        ras::RASDIALPARAMSA dialParams{};
        EXPECT_EQ(binding.EnumDevices(nullptr, &size, &count), 1u);
        EXPECT_EQ(binding.ValidateEntryName(nullptr, "x"), 1u);
        EXPECT_EQ(binding.SetEntryProperties(nullptr, "x", &entry, ras::kEntrySize, nullptr, 0), 1u);
        EXPECT_EQ(binding.SetEntryDialParams(nullptr, &dialParams, false), 1u);
        EXPECT_EQ(binding.DeleteEntry(nullptr, "x"), 1u);
        binding.Release();
    }
    EXPECT_TRUE(library.calls.empty());
    EXPECT_EQ(library.frees, 0);
}

TEST(RasBinding, AMissingExportGivesOneForThatCallOnlyAndIsLookedUpAtEveryCall) {
    FakeRasLibrary library;
    library.validateResult = 183;
    library.setPropertiesResult = 0;
    RasBinding binding(library);
    ras::RASENTRYA entry{};
    EXPECT_EQ(binding.SetEntryProperties(nullptr, "x", &entry, ras::kEntrySize, nullptr, 0), 0u);
    library.missingExports = {"RasSetEntryPropertiesA"};
    EXPECT_EQ(binding.SetEntryProperties(nullptr, "x", &entry, ras::kEntrySize, nullptr, 0), 1u)
        << "the entry point must not be kept from the first call";
    EXPECT_EQ(binding.ValidateEntryName(nullptr, "x"), 183u);
}

TEST(RasBinding, ArgumentsAndResultsPassUnchanged) {
    FakeRasLibrary library;
    library.setPropertiesResult = 621;
    library.setDialParamsResult = 5;
    RasBinding binding(library);
    ras::RASENTRYA entry{};
    entry.dwSize = ras::kEntrySize;
    std::uint8_t deviceInfo[3] = {};
    EXPECT_EQ(binding.SetEntryProperties("book.pbk", "Entry", &entry, 1234, deviceInfo, 3), 621u);
    ASSERT_EQ(library.propertiesCalls.size(), 1u);
    EXPECT_FALSE(library.propertiesCalls[0].defaultPhonebook);
    EXPECT_EQ(library.propertiesCalls[0].entryName, "Entry");
    EXPECT_EQ(library.propertiesCalls[0].entrySize, 1234u);
    EXPECT_FALSE(library.propertiesCalls[0].noDeviceInfo);
    EXPECT_EQ(library.propertiesCalls[0].deviceInfoSize, 3u);

    ras::RASDIALPARAMSA dialParams{};
    EXPECT_EQ(binding.SetEntryDialParams(nullptr, &dialParams, true), 5u);
    ASSERT_EQ(library.dialParamsCalls.size(), 1u);
    EXPECT_EQ(library.dialParamsCalls[0].removePassword, 1);
}

TEST(RasBinding, TheLibraryIsLoadedAndFreedExactlyOnce) {
    FakeRasLibrary library;
    {
        RasBinding binding(library);
        binding.Load();
        binding.Release();
        binding.Release();
        std::uint32_t size = 0, count = 0;
        EXPECT_EQ(binding.EnumDevices(nullptr, &size, &count), 1u) << "a released binding reaches nothing";
    }
    EXPECT_EQ(library.loads, 1);
    EXPECT_EQ(library.frees, 1);
}

// --- the modem device scan ----------------------------------------------------------------

TEST(EnumModemDevices, KeepsTheModemsInTheServicesOrder) {
    FakeRasLibrary library;
    library.devices = {{"modem", "First"}, {"isdn", "Line"}, {"modem", "Third"}};
    std::vector<ras::RASDEVINFOA> devices;
    ASSERT_TRUE(EnumModemDevices(library, devices));
    EXPECT_EQ(Names(devices), (std::vector<std::string>{"modem/First", "modem/Third"}));
    EXPECT_EQ(library.loads, 1);
    EXPECT_EQ(library.frees, 1);
}

TEST(EnumModemDevices, TheTypeMustBeginWithModemInLowerCase) {
    FakeRasLibrary library;
    library.devices = {{"MODEM", "a"}, {"Modem", "b"}, {"mode", "c"}, {"modemx", "d"}, {"xmodem", "e"}, {"modem", "f"}};
    std::vector<ras::RASDEVINFOA> devices;
    ASSERT_TRUE(EnumModemDevices(library, devices));
    EXPECT_EQ(Names(devices), (std::vector<std::string>{"modemx/d", "modem/f"}));
}

TEST(EnumModemDevices, AsksTheSizeOnceAndNeverOffersLessThanOneRecord) {
    FakeRasLibrary library;
    std::vector<ras::RASDEVINFOA> devices(2);
    ASSERT_TRUE(EnumModemDevices(library, devices)) << "no devices at all is a successful scan";
    EXPECT_TRUE(devices.empty()) << "every scan starts from an empty list";
    ASSERT_EQ(library.enumCalls.size(), 2u);
    EXPECT_FALSE(library.enumCalls[0].withBuffer);
    EXPECT_EQ(library.enumCalls[0].bufferSize, 0u);
    EXPECT_TRUE(library.enumCalls[1].withBuffer);
    EXPECT_EQ(library.enumCalls[1].bufferSize, ras::kDevInfoSize);
    EXPECT_EQ(library.enumCalls[1].firstRecordSize, ras::kDevInfoSize);
}

TEST(EnumModemDevices, ARefusedEnumerationLeavesTheListEmpty) {
    FakeRasLibrary library;
    library.devices = {{"modem", "Phone"}};
    library.enumResult = 632;
    std::vector<ras::RASDEVINFOA> devices(1);
    EXPECT_FALSE(EnumModemDevices(library, devices));
    EXPECT_TRUE(devices.empty());
    EXPECT_EQ(library.frees, 1) << "the binding is released on the failure path too";
}

TEST(EnumModemDevices, ADeviceArrivingAfterTheSizeQueryFailsTheScanWithoutASecondTry) {
    FakeRasLibrary library;
    library.devices = {{"modem", "Phone"}};
    library.afterSizeQuery = [&] { library.devices.push_back({"modem", "Late"}); };
    std::vector<ras::RASDEVINFOA> devices;
    EXPECT_FALSE(EnumModemDevices(library, devices));
    EXPECT_TRUE(devices.empty());
    EXPECT_EQ(library.enumCalls.size(), 2u);
}

TEST(EnumModemDevices, WithoutTheLibraryOrItsExportTheScanFails) {
    FakeRasLibrary library;
    library.devices = {{"modem", "Phone"}};
    library.loadFails = true;
    std::vector<ras::RASDEVINFOA> devices;
    EXPECT_FALSE(EnumModemDevices(library, devices));
    library.loadFails = false;
    library.missingExports = {"RasEnumDevicesA"};
    EXPECT_FALSE(EnumModemDevices(library, devices));
    EXPECT_TRUE(devices.empty());
}

TEST(EnumModemDevices, RecordsAreReadOnlyInsideTheBufferAndFieldsOnlyToTheirEnd) {
    FakeRasLibrary library;
    // A type that fills its field without a NUL, and a count beyond the records in the buffer.
    library.devices = {{"modemmodemmodem12", std::string(200, 'n')}};
    library.extraCount = 1000;
    std::vector<ras::RASDEVINFOA> devices;
    ASSERT_TRUE(EnumModemDevices(library, devices));
    ASSERT_EQ(devices.size(), 1u);
    EXPECT_EQ(Text(devices[0].szDeviceType), "modemmodemmodem1");
    EXPECT_EQ(Text(devices[0].szDeviceName), std::string(128, 'n'));
}

// --- the dial-up entry --------------------------------------------------------------------

class CreateDialupEntryTest : public ::testing::Test {
protected:
    EntryWrite Write(ExistingEntry existing, const std::string& dns1 = "10.11.12.13", const std::string& dns2 = "1.2") {
        return CreateDialupEntry(library, "GPRS Connection", "*99***1#", "card", Secret("secret"), dns1, dns2, "modem",
                                 "ZOR GPRS Modem", existing);
    }
    bool Create(const std::string& dns1 = "10.11.12.13", const std::string& dns2 = "1.2") {
        return Write(ExistingEntry::Keep, dns1, dns2) != EntryWrite::Failed;
    }
    FakeRasLibrary library;
};

TEST_F(CreateDialupEntryTest, EveryFieldOfTheEntryIsAsTabled) {
    ASSERT_TRUE(Create());
    ASSERT_EQ(library.propertiesCalls.size(), 1u);
    const FakeRasLibrary::PropertiesCall& call = library.propertiesCalls[0];
    EXPECT_TRUE(call.defaultPhonebook);
    EXPECT_EQ(call.entryName, "GPRS Connection");
    EXPECT_EQ(call.entrySize, 1768u);
    EXPECT_TRUE(call.noDeviceInfo);
    EXPECT_EQ(call.deviceInfoSize, 0u);

    const ras::RASENTRYA& entry = call.entry;
    EXPECT_EQ(entry.dwSize, 1768u);
    EXPECT_EQ(entry.dwfOptions, 0x11Cu)
        << "specific name servers, header compression, remote default gateway, modem lights; nothing else";
    EXPECT_EQ(entry.dwCountryID, 34u);
    EXPECT_EQ(entry.dwCountryCode, 34u);
    EXPECT_EQ(Text(entry.szAreaCode), " ");
    EXPECT_EQ(Text(entry.szLocalPhoneNumber), "*99***1#");
    EXPECT_EQ(Text(entry.szDeviceType), "modem");
    EXPECT_EQ(Text(entry.szDeviceName), "ZOR GPRS Modem");
    EXPECT_EQ(entry.dwfNetProtocols, 4u);
    EXPECT_EQ(entry.dwFramingProtocol, 1u);
    const ras::RASIPADDR dns = entry.ipaddrDns;
    const ras::RASIPADDR dnsAlt = entry.ipaddrDnsAlt;
    EXPECT_EQ((std::vector<int>{dns.a, dns.b, dns.c, dns.d}), (std::vector<int>{10, 11, 12, 13}));
    EXPECT_EQ((std::vector<int>{dnsAlt.a, dnsAlt.b, dnsAlt.c, dnsAlt.d}), (std::vector<int>{1, 2, 0, 0}));

    // Every other byte of the record is zero: addresses, frame size, script, autodial, X.25,
    // channels and the reserved fields.
    ras::RASENTRYA expected;
    std::memset(&expected, 0, sizeof expected);
    expected.dwSize = 1768;
    expected.dwfOptions = 0x11C;
    expected.dwCountryID = expected.dwCountryCode = 34;
    std::strcpy(expected.szAreaCode, " ");
    std::strcpy(expected.szLocalPhoneNumber, "*99***1#");
    expected.ipaddrDns = {10, 11, 12, 13};
    expected.ipaddrDnsAlt = {1, 2, 0, 0};
    expected.dwfNetProtocols = 4;
    expected.dwFramingProtocol = 1;
    std::strcpy(expected.szDeviceType, "modem");
    std::strcpy(expected.szDeviceName, "ZOR GPRS Modem");
    EXPECT_EQ(std::memcmp(&entry, &expected, sizeof expected), 0);
}

TEST_F(CreateDialupEntryTest, TheNameServersAreUsedWhenAtLeastOneAddressIsGiven) {
    const struct {
        const char* dns1;
        const char* dns2;
        std::uint32_t options;
    } cases[] = {
        {"", "", 0x118},           {"8.8.8.8", "", 0x11C}, {"", "1.1.1.1", 0x11C},
        {"8.8.8.8", "1.1.1.1", 0x11C}, {"0.0.0.0", "", 0x118},  // no address: the service's own are used
    };
    for (const auto& c : cases) {
        library.propertiesCalls.clear();
        ASSERT_TRUE(Create(c.dns1, c.dns2));
        EXPECT_EQ(library.propertiesCalls.at(0).entry.dwfOptions, c.options) << c.dns1 << " / " << c.dns2;
    }
}

TEST_F(CreateDialupEntryTest, TheCredentialsAreStoredWithThePassword) {
    ASSERT_TRUE(Create());
    ASSERT_EQ(library.dialParamsCalls.size(), 1u);
    const FakeRasLibrary::DialParamsCall& call = library.dialParamsCalls[0];
    EXPECT_TRUE(call.defaultPhonebook);
    EXPECT_EQ(call.removePassword, 0);
    EXPECT_EQ(call.dialParams.dwSize, 1052u);
    EXPECT_EQ(Text(call.dialParams.szEntryName), "GPRS Connection");
    EXPECT_EQ(Text(call.dialParams.szPhoneNumber), "");
    EXPECT_EQ(Text(call.dialParams.szCallbackNumber), "");
    EXPECT_EQ(Text(call.dialParams.szUserName), "card");
    EXPECT_EQ(Text(call.dialParams.szPassword), "secret");
    EXPECT_EQ(Text(call.dialParams.szDomain), "");
    EXPECT_EQ(library.calls, (std::vector<std::string>{"RasValidateEntryNameA", "RasSetEntryPropertiesA",
                                                       "RasSetEntryDialParamsA"}));
    EXPECT_EQ(library.validatedNames, (std::vector<std::string>{"GPRS Connection"}));
    EXPECT_EQ(library.frees, 1);
}

TEST_F(CreateDialupEntryTest, AnExistingEntryIsKeptAsItWasUnlessReplacingItIsAsked) {
    const struct {
        std::uint32_t validate;  // 183: the name is taken
        ExistingEntry existing;
        EntryWrite write;
        std::size_t writes;  // properties and credentials written
    } cases[] = {
        {0, ExistingEntry::Keep, EntryWrite::Created, 1},
        {0, ExistingEntry::Replace, EntryWrite::Created, 1},
        {183, ExistingEntry::Keep, EntryWrite::Kept, 0},
        {183, ExistingEntry::Replace, EntryWrite::Replaced, 1},
        {123, ExistingEntry::Keep, EntryWrite::Created, 1},  // a name the service finds wrong: its write settles it
    };
    for (const auto& c : cases) {
        library.propertiesCalls.clear();
        library.dialParamsCalls.clear();
        library.validateResult = c.validate;
        EXPECT_EQ(Write(c.existing), c.write) << c.validate;
        EXPECT_EQ(library.propertiesCalls.size(), c.writes) << c.validate;
        EXPECT_EQ(library.dialParamsCalls.size(), c.writes) << c.validate << ": the kept entry's password stays too";
    }
}

TEST_F(CreateDialupEntryTest, ARefusedPropertiesWriteFailsAndStoresNoCredentials) {
    library.setPropertiesResult = 621;
    EXPECT_FALSE(Create());
    EXPECT_TRUE(library.dialParamsCalls.empty());
    EXPECT_EQ(library.frees, 1);
}

TEST_F(CreateDialupEntryTest, ARefusedCredentialsWriteStillSucceeds) {
    library.setDialParamsResult = 5;
    EXPECT_TRUE(Create());
    library.missingExports = {"RasSetEntryDialParamsA"};
    EXPECT_TRUE(Create());
}

TEST_F(CreateDialupEntryTest, WithoutTheLibraryOrThePropertiesExportItFails) {
    library.loadFails = true;
    EXPECT_FALSE(Create());
    library.loadFails = false;
    library.missingExports = {"RasSetEntryPropertiesA"};
    EXPECT_FALSE(Create());
    EXPECT_TRUE(library.dialParamsCalls.empty());
}

TEST_F(CreateDialupEntryTest, ValuesThatFillTheirFieldsAreWrittenWhole) {
    const std::string name(256, 'e'), phone(128, 'p'), user(256, 'u'), password(256, 'w'), type(16, 't'),
        device(128, 'd');
    ASSERT_EQ(CreateDialupEntry(library, name, phone, user, Secret(password), "", "", type, device, ExistingEntry::Keep),
              EntryWrite::Created);
    const ras::RASENTRYA& entry = library.propertiesCalls.at(0).entry;
    EXPECT_EQ(Text(entry.szLocalPhoneNumber), phone);
    EXPECT_EQ(Text(entry.szDeviceType), type);
    EXPECT_EQ(Text(entry.szDeviceName), device);
    const ras::RASDIALPARAMSA& dialParams = library.dialParamsCalls.at(0).dialParams;
    EXPECT_EQ(Text(dialParams.szEntryName), name);
    EXPECT_EQ(Text(dialParams.szUserName), user);
    EXPECT_EQ(Text(dialParams.szPassword), password);
}

TEST_F(CreateDialupEntryTest, AValueTooLongForItsFieldIsRefusedBeforeAnythingIsWritten) {
    struct Case {
        std::string name, phone, user, password, type, device, refusal;
    };
    const std::string ok = "x";
    const Case cases[] = {
        {std::string(257, 'e'), ok, ok, ok, ok, ok, "the connection name is longer than 256 characters"},
        {ok, std::string(129, 'p'), ok, ok, ok, ok, "the phone number is longer than 128 characters"},
        {ok, ok, std::string(257, 'u'), ok, ok, ok, "the user name is longer than 256 characters"},
        {ok, ok, ok, std::string(257, 'w'), ok, ok, "the password is longer than 256 characters"},
        {ok, ok, ok, ok, std::string(17, 't'), ok, "the device type is longer than 16 characters"},
        {ok, ok, ok, ok, ok, std::string(129, 'd'), "the device name is longer than 128 characters"},
    };
    for (const Case& c : cases) {
        std::string refusal;
        EXPECT_EQ(CreateDialupEntry(library, c.name, c.phone, c.user, Secret(c.password), "", "", c.type, c.device,
                                    ExistingEntry::Replace, &refusal),
                  EntryWrite::Failed);
        EXPECT_EQ(refusal, c.refusal);
    }
    EXPECT_TRUE(library.calls.empty()) << "nothing may reach the phone book";
    EXPECT_EQ(library.loads, 0);
}

// --- removing the entry -------------------------------------------------------------------

TEST(RemoveDialupEntry, DeletesOnlyAnEntryTheServiceKnowsAndSaysWhatItFound) {
    struct Case {
        std::uint32_t validate;
        std::uint32_t deletion;
        RemovalState state;
        std::uint32_t error;
        bool deleteCalled;
    };
    const Case cases[] = {
        {0, 0, RemovalState::NothingFound, 0, false},    // valid and free: no such entry
        {183, 0, RemovalState::Removed, 0, true},         // exists
        {183, 5, RemovalState::Failed, 5, true},          // refused for want of rights
        {183, 623, RemovalState::NothingFound, 0, true},  // gone in between
        {621, 0, RemovalState::Removed, 0, true},         // the check gave no answer: the deletion settles it
        {621, 623, RemovalState::NothingFound, 0, true},
        {621, 621, RemovalState::Failed, 621, true},
    };
    for (const Case& c : cases) {
        FakeRasLibrary library;
        library.validateResult = c.validate;
        library.deleteResult = c.deletion;
        const Removal removal = RemoveDialupEntry(library, "GPRS Connection");
        EXPECT_EQ(removal.state, c.state) << c.validate << "/" << c.deletion;
        EXPECT_EQ(removal.error, c.error) << c.validate << "/" << c.deletion;
        EXPECT_EQ(removal.removed, c.state == RemovalState::Removed ? 1u : 0u);
        EXPECT_EQ(library.deletedNames,
                  c.deleteCalled ? std::vector<std::string>{"GPRS Connection"} : std::vector<std::string>{});
        EXPECT_EQ(library.frees, 1);
    }
}

TEST(RemoveDialupEntry, ANameNoEntryCanHaveAsksTheServiceNothing) {
    for (const std::string& name : {std::string(), std::string(ras::kMaxEntryName + 1, 'n')}) {
        FakeRasLibrary library;
        library.validateResult = 183;
        EXPECT_EQ(RemoveDialupEntry(library, name).state, RemovalState::NothingFound);
        EXPECT_EQ(library.loads, 0) << name.size();
    }
    FakeRasLibrary library;
    library.validateResult = 183;
    EXPECT_EQ(RemoveDialupEntry(library, std::string(ras::kMaxEntryName, 'n')).state, RemovalState::Removed);
}

TEST(RemoveDialupEntry, WithoutTheLibraryTheRemovalFails) {
    FakeRasLibrary library;
    library.loadFails = true;
    const Removal removal = RemoveDialupEntry(library, "GPRS Connection");
    EXPECT_EQ(removal.state, RemovalState::Failed);
    EXPECT_EQ(removal.error, RasBinding::kFallback);
}

// --- dotted addresses ---------------------------------------------------------------------

TEST(ParseDottedAddress, ReadsEachPieceAsAtoiAndKeepsItsLowByte) {
    struct Case {
        const char* text;
        std::vector<int> bytes;
    };
    const Case cases[] = {
        {"", {0, 0, 0, 0}},           {"10.11.12.13", {10, 11, 12, 13}}, {"1.2", {1, 2, 0, 0}},
        {"1.2.3.4.5", {1, 2, 3, 4}},  {"300.1.1.1", {44, 1, 1, 1}},      {".5", {0, 5, 0, 0}},
        {"x.7", {0, 7, 0, 0}},        {"-1.0.0.0", {255, 0, 0, 0}},      {" 8.+8.8x.8 ", {8, 8, 8, 8}},
        {"99999999999.1", {255, 1, 0, 0}},  // clamped to the largest int, as the platform's atoi does
    };
    for (const Case& c : cases) {
        ras::RASIPADDR address{};
        ParseDottedAddress(c.text, address);
        EXPECT_EQ((std::vector<int>{address.a, address.b, address.c, address.d}), c.bytes) << "text: " << c.text;
    }
}

TEST(ParseDottedAddress, BytesTheTextDoesNotReachAreLeftAlone) {
    ras::RASIPADDR address{9, 9, 9, 9};
    ParseDottedAddress("1.2", address);
    EXPECT_EQ((std::vector<int>{address.a, address.b, address.c, address.d}), (std::vector<int>{1, 2, 9, 9}));
}

} // namespace
} // namespace vantaro
