// Finding the serial ports: the registry's serial port map on the NT family, probing elsewhere.

#include "fakes/FakeControls.h"
#include "fakes/FakeSerialPortPlatform.h"
#include "fakes/MemoryProfile.h"
#include "fakes/RecordingMessages.h"
#include "resources/resource.h"
#include "settings/SerialPortScanner.h"
#include "workflow/SettingsForm.h"

#include <gtest/gtest.h>

namespace vantaro {
namespace {

using namespace platform_code;
using testing::FakeSerialPortPlatform;
using Ports = std::vector<std::uint32_t>;

constexpr std::uint32_t kRegExpandSz = 2;
constexpr std::uint32_t kRegBinary = 3;
constexpr std::uint32_t kRegDword = 4;
constexpr std::uint32_t kRegMultiSz = 7;
constexpr std::uint32_t kErrorSharingViolation = 32;

class SerialPortScannerTest : public ::testing::Test {
protected:
    Ports Scan() {
        Ports ports{99, 98};  // whatever was there before
        scanner.EnumerateSerialPorts(ports);
        return ports;
    }

    FakeSerialPortPlatform platform;
    SerialPortScanner scanner{platform};
};

TEST(PortNumberFromName, TakesTheLeadingDecimalAfterTheThirdCharacter) {
    struct Case { std::string name; std::optional<std::uint32_t> number; };
    for (const Case& c : std::vector<Case>{
             {"COM3", 3u},
             {"COM10", 10u},
             {"COM007", 7u},
             {"CNCA0", 0u},         // no digit right after the third character
             {"COMx5", 0u},
             {"COM", 0u},
             {"CO", 0u},            // shorter than the prefix: nothing after it, not bytes beyond it
             {"", 0u},
             {"COM 12", 12u},       // blanks are skipped
             {"COM\t 7x", 7u},
             {"COM-4", 0u},         // a sign is no digit: port numbers have none
             {"ABC42", 42u},        // the prefix is not checked
             {std::string("COM3\0COM9", 9), 3u},
             {std::string("CO\0" "5", 4), 0u},
             {"COM4294967295", 4294967295u},
             {"COM4294967296", std::nullopt},  // does not fit 32 bits: no port
             {"COM99999999999999999999999", std::nullopt},
         }) {
        EXPECT_EQ(PortNumberFromName(c.name), c.number) << "name \"" << c.name << "\"";
    }
}

TEST_F(SerialPortScannerTest, TheMapsPortsAreListedInTheOrderFoundDuplicatesAndHighNumbersIncluded) {
    platform.values = {FakeSerialPortPlatform::PortName("COM3"), FakeSerialPortPlatform::PortName("COM10"),
                       FakeSerialPortPlatform::PortName("COM1"), FakeSerialPortPlatform::PortName("COM10"),
                       FakeSerialPortPlatform::PortName("COM300"), FakeSerialPortPlatform::PortName("CNCA0")};
    EXPECT_EQ(Scan(), (Ports{3, 10, 1, 10, 300, 0}));
    EXPECT_TRUE(platform.openedPaths.empty()) << "the NT family must not probe";
    EXPECT_EQ(platform.openKeys, 0) << "the key must be closed after the scan";
}

TEST_F(SerialPortScannerTest, ValuesThatAreNotStringsArePassedOverAndTheEnumerationGoesOn) {
    for (std::uint32_t type : {kRegDword, kRegBinary, kRegExpandSz, kRegMultiSz}) {
        platform.values = {FakeSerialPortPlatform::PortName("COM2"),
                           {kErrorSuccess, type, "COM9"},
                           {kErrorSuccess, type, "COM8"},
                           FakeSerialPortPlatform::PortName("COM4")};
        platform.enumeratedIndexes.clear();
        EXPECT_EQ(Scan(), (Ports{2, 4})) << "type " << type;
        EXPECT_EQ(platform.enumeratedIndexes, (Ports{0, 1, 2, 3, 4})) << "each index once, up to the end";
    }
}

TEST_F(SerialPortScannerTest, AValueTooLongForTheBuffersIsPassedOverAndTheEnumerationGoesOn) {
    // After ERROR_MORE_DATA the data is undefined; even bytes that look like a port are not taken.
    platform.values = {FakeSerialPortPlatform::PortName("COM5"),
                       {kErrorMoreData, kRegSz, "COM6"},
                       {kErrorMoreData, kRegSz, ""},
                       FakeSerialPortPlatform::PortName("COM7")};
    EXPECT_EQ(Scan(), (Ports{5, 7}));
    EXPECT_EQ(platform.enumeratedIndexes, (Ports{0, 1, 2, 3, 4}));
}

TEST_F(SerialPortScannerTest, AnyOtherResultEndsTheEnumeration) {
    platform.values = {FakeSerialPortPlatform::PortName("COM5"),
                       {platform_code::kErrorAccessDenied, kRegSz, "COM6"},
                       FakeSerialPortPlatform::PortName("COM7")};
    EXPECT_EQ(Scan(), (Ports{5}));
    EXPECT_EQ(platform.enumeratedIndexes, (Ports{0, 1}));
    EXPECT_EQ(platform.openKeys, 0);
}

TEST_F(SerialPortScannerTest, AnEmptyOrMissingMapGivesAnEmptyListWithoutProbing) {
    EXPECT_EQ(Scan(), Ports{});
    platform.serialCommExists = false;
    platform.portErrors["\\\\.\\COM1"] = kErrorSuccess;
    EXPECT_EQ(Scan(), Ports{});
    EXPECT_TRUE(platform.openedPaths.empty()) << "there is no fall-back to probing on the NT family";
}

TEST_F(SerialPortScannerTest, OtherPlatformsAndAFailedVersionQueryProbeCom1ToCom255) {
    platform.portErrors = {{"\\\\.\\COM1", kErrorSuccess},
                           {"\\\\.\\COM2", platform_code::kErrorAccessDenied},       // in use by another program
                           {"\\\\.\\COM3", kErrorGenFailure},
                           {"\\\\.\\COM4", kErrorSharingViolation},
                           {"\\\\.\\COM255", kErrorSuccess},
                           {"\\\\.\\COM256", kErrorSuccess}};
    platform.values = {FakeSerialPortPlatform::PortName("COM9")};
    for (std::optional<std::uint32_t> platformId : {std::optional<std::uint32_t>(1), std::optional<std::uint32_t>()}) {
        platform.platformId = platformId;
        platform.openedPaths.clear();
        EXPECT_EQ(Scan(), (Ports{1, 2, 3, 255}));
        ASSERT_EQ(platform.openedPaths.size(), 255u) << "one open per port from COM1 to COM255";
        EXPECT_EQ(platform.openedPaths.front(), "\\\\.\\COM1");
        EXPECT_EQ(platform.openedPaths[9], "\\\\.\\COM10");
        EXPECT_EQ(platform.openedPaths.back(), "\\\\.\\COM255");
        EXPECT_TRUE(platform.enumeratedIndexes.empty()) << "probing must not read the registry";
    }
}

// The port list as the dialog shows it, filled from the registry through the scanner.
TEST(PortListFromTheRegistry, ShowsEveryPortAsComNumberWithItsNumberAndSelectsTheLast) {
    FakeSerialPortPlatform platform;
    platform.values = {FakeSerialPortPlatform::PortName("COM3"), FakeSerialPortPlatform::PortName("CNCA0"),
                       FakeSerialPortPlatform::PortName("COM3"), FakeSerialPortPlatform::PortName("COM4294967295"),
                       FakeSerialPortPlatform::PortName("COM1")};
    SerialPortScanner scanner(platform);
    testing::MemoryProfile profile;
    testing::FakeControls controls;
    testing::RecordingMessages messages;
    SettingsForm form(profile, controls, messages, scanner);
    controls.MakeList(IDC_PORT_LIST);

    form.RefillPortList();
    EXPECT_EQ(controls.Items(IDC_PORT_LIST),
              (std::vector<std::string>{"COM3", "COM0", "COM3", "COM4294967295", "COM1"}));
    EXPECT_EQ(controls.ItemData(IDC_PORT_LIST), (Ports{3, 0, 3, 4294967295u, 1}));
    EXPECT_EQ(controls.GetText(IDC_PORT_LIST), "COM1");

    platform.values.push_back(FakeSerialPortPlatform::PortName("COM7"));
    form.RefillPortList();
    EXPECT_EQ(controls.GetCount(IDC_PORT_LIST), 6) << "a drop-down rescans instead of adding to the old list";
    EXPECT_EQ(controls.GetText(IDC_PORT_LIST), "COM7");
}

} // namespace
} // namespace vantaro
