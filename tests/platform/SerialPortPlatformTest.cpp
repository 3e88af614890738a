// The serial port scan against Wine's real registry: values written into the serial port map
// of the test prefix, read back through RegEnumValueA with the program's 256-byte buffers.

#include "e2e/SerialCommOverride.h"
#include "e2e/UiDriver.h"
#include "platform/win32/UniqueHandle.h"
#include "platform/win32/Win32SerialPortPlatform.h"
#include "settings/SerialPortScanner.h"

#include <gtest/gtest.h>

namespace vantaro {
namespace {

using namespace platform_code;
using e2e::SerialCommOverride;
using Ports = std::vector<std::uint32_t>;

class SerialPortPlatformTest : public ::testing::Test {
protected:
    Ports Scan() {
        Ports ports{77};
        scanner.EnumerateSerialPorts(ports);
        return ports;
    }

    // Every value of the map as the program's enumeration reports it, up to its end.
    std::vector<SerialCommValue> Enumerate() {
        std::vector<SerialCommValue> values;
        std::unique_ptr<SerialCommValues> map = platform.OpenSerialComm();
        if (!map) return values;
        for (std::uint32_t index = 0; index < 100; ++index) {
            SerialCommValue value = map->Enumerate(index);
            if (value.result == kErrorNoMoreItems) break;
            values.push_back(value);
        }
        return values;
    }

    SerialCommOverride serialComm;
    Win32SerialPortPlatform platform;
    SerialPortScanner scanner{platform};
};

TEST_F(SerialPortPlatformTest, TheNtFamilyIsRecognised) {
    EXPECT_EQ(platform.PlatformId(), std::optional<std::uint32_t>(kPlatformWin32Nt));
}

TEST_F(SerialPortPlatformTest, PortNamesAreReadInTheMapsOrder) {
    // Written in another order than they enumerate: the map orders by value name.
    ASSERT_TRUE(serialComm.SetPortName("\\Device\\Serial2", "COM1"));
    ASSERT_TRUE(serialComm.SetPortName("\\Device\\Serial0", "COM3"));
    ASSERT_TRUE(serialComm.SetPortName("\\Device\\Serial1", "COM10"));
    ASSERT_TRUE(serialComm.SetPortName("\\Device\\Serial3", "COM10"));
    ASSERT_TRUE(serialComm.SetPortName("\\Device\\Serial4", "COM300"));
    ASSERT_TRUE(serialComm.SetPortName("\\Device\\VirtualSerial0", "CNCA0"));
    EXPECT_EQ(Scan(), (Ports{3, 10, 1, 10, 300, 0}));

    const std::vector<SerialCommValue> values = Enumerate();
    ASSERT_EQ(values.size(), 6u);
    EXPECT_EQ(values[0].result, kErrorSuccess);
    EXPECT_EQ(values[0].type, kRegSz);
    EXPECT_EQ(values[0].data, std::string("COM3\0", 5)) << "the data as stored, its terminator included";
}

TEST_F(SerialPortPlatformTest, ValuesOfOtherTypesArePassedOverAndTheEnumerationGoesOn) {
    const DWORD number = 9;
    ASSERT_TRUE(serialComm.SetPortName("a", "COM2"));
    ASSERT_TRUE(serialComm.Set("b", REG_DWORD, std::string(reinterpret_cast<const char*>(&number), sizeof number)));
    ASSERT_TRUE(serialComm.Set("c", REG_BINARY, "COM9"));
    ASSERT_TRUE(serialComm.Set("d", REG_EXPAND_SZ, std::string("COM8\0", 5)));
    ASSERT_TRUE(serialComm.Set("e", REG_MULTI_SZ, std::string("COM7\0\0", 6)));
    ASSERT_TRUE(serialComm.SetPortName("f", "COM4"));
    EXPECT_EQ(Scan(), (Ports{2, 4}));
}

TEST_F(SerialPortPlatformTest, NamesAndDataTooLongForTheBuffersArePassedOverAndTheEnumerationGoesOn) {
    // 255 bytes and the terminator fill a 256-byte buffer exactly; one more does not fit.
    ASSERT_TRUE(serialComm.SetPortName("a", "COM11"));
    ASSERT_TRUE(serialComm.SetPortName("b" + std::string(254, 'n'), "COM12"));        // name fits
    ASSERT_TRUE(serialComm.SetPortName("c" + std::string(255, 'n'), "COM13"));        // name too long
    ASSERT_TRUE(serialComm.SetPortName("d", "COM14" + std::string(250, ' ')));       // data fits
    ASSERT_TRUE(serialComm.SetPortName("e", "COM15" + std::string(251, ' ')));       // data too long
    ASSERT_TRUE(serialComm.SetPortName("f", "COM16"));

    const std::vector<SerialCommValue> values = Enumerate();
    ASSERT_EQ(values.size(), 6u);
    const std::uint32_t expected[] = {kErrorSuccess, kErrorSuccess, kErrorMoreData,
                                      kErrorSuccess, kErrorMoreData, kErrorSuccess};
    for (std::size_t i = 0; i < values.size(); ++i) {
        EXPECT_EQ(values[i].result, expected[i]) << "value " << i;
        EXPECT_LE(values[i].data.size(), kSerialCommBufferSize) << "value " << i;
    }
    EXPECT_EQ(Scan(), (Ports{11, 12, 14, 16}));
}

TEST_F(SerialPortPlatformTest, AStringThatFillsTheBufferWithoutATerminatorIsReadWithinIt) {
    // A driver may store a string without its NUL. Windows hands 256 such bytes back as they
    // are; Wine wants room for a terminator and reports ERROR_MORE_DATA. Either way nothing
    // beyond the buffer is read, and the enumeration goes on.
    ASSERT_TRUE(serialComm.Set("a", REG_SZ, "COM5" + std::string(252, 'x')));
    ASSERT_TRUE(serialComm.SetPortName("b", "COM6"));
    const std::vector<SerialCommValue> values = Enumerate();
    ASSERT_EQ(values.size(), 2u);
    EXPECT_LE(values[0].data.size(), kSerialCommBufferSize);
    if (values[0].result == kErrorSuccess)
        EXPECT_EQ(Scan(), (Ports{5, 6}));
    else
        EXPECT_EQ(Scan(), (Ports{6}));
}

TEST_F(SerialPortPlatformTest, AnEmptyOrMissingMapGivesNoPorts) {
    EXPECT_EQ(Scan(), Ports{});
    serialComm.RemoveKey();
    EXPECT_EQ(platform.OpenSerialComm(), nullptr);
    EXPECT_EQ(Scan(), Ports{});
}

// Opening a device path: the handle is closed again at once, and a refusal is the platform's
// own error code of that call, never one left from before. A plain file stands in for the port.
TEST(SerialPortOpen, APortIsClosedAfterTheOpenAndARefusalGivesThePlatformsCode) {
    Win32SerialPortPlatform platform;
    const std::string path = e2e::WorkFolder("serial_port_open") + "\\COM.dev";
    e2e::WriteFile(path, "");
    EXPECT_EQ(platform.OpenPort(path), kErrorSuccess);
    EXPECT_EQ(platform.OpenPort(path), kErrorSuccess) << "the first open's handle was not closed";

    const UniqueKernelHandle held(::CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    const struct {
        std::string devicePath;
        std::uint32_t error;
    } refusals[] = {
        {path, ERROR_SHARING_VIOLATION},              // in use by another program
        {"\\\\.\\COM249", kErrorFileNotFound},  // no such port
    };
    for (const auto& refusal : refusals) {
        ::SetLastError(0xdeadbeef);
        EXPECT_EQ(platform.OpenPort(refusal.devicePath), refusal.error) << refusal.devicePath;
    }
}

} // namespace
} // namespace vantaro
