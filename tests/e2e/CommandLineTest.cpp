// Vantaro.exe's command line, as a script or a person at a console meets it: the exit code and
// what is said, on standard output, in a message box or only in Vantaro.log.

#include "e2e/UiDriver.h"
#include "e2e/SerialCommOverride.h"
#include "platform/ModemDevices.h"

#include <gtest/gtest.h>

namespace vantaro::e2e {
namespace {


constexpr char kUsageStart[] = "Usage: Vantaro.exe [/install /port COMn|auto";

// Runs the program with its output led into a pipe, as `Vantaro.exe ... > file` in a script does.
ProgramRun RunVantaro(const VantaroProcess& vantaro, const std::string& arguments) {
    return RunWithArguments(vantaro.Folder() + "\\Vantaro.exe", arguments);
}

TEST(CommandLine, EveryWrongCommandLineEndsWithTwoAndSaysWhichArgumentIsWrong) {
    VantaroProcess vantaro("command_line_wrong");
    const struct {
        std::string arguments;
        std::string message;
    } cases[] = {
        {"/bogus", "Unknown switch \"/bogus\"."},
        {"-port COM3", "Name what to do: /install, /uninstall or /check."},
        {"/install /port", "/port needs a value: COM1 to COM255, or auto."},
        {"/install /port COM1 /port COM2", "/port is given twice."},
        {"/uninstall /quiet /QUIET", "/quiet is given twice."},
        {"/install /port " + std::string(5000, 'C'),
         "The value of /port is 5000 characters long: a port is COM1 to COM255, or auto."},
        {"/install /port COM0", "/port \"COM0\" is out of range: a port is COM1 to COM255, or auto."},
        {"/install /port COM256", "/port \"COM256\" is out of range: a port is COM1 to COM255, or auto."},
        {"/install /uninstall", "Only one of /install, /uninstall and /check can be given."},
    };
    for (const auto& c : cases) {
        const ProgramRun run = RunVantaro(vantaro, c.arguments);
        const std::string shown = c.arguments.substr(0, 40);
        ASSERT_TRUE(run.started) << shown;
        ASSERT_TRUE(run.finished) << shown << ": still running";
        EXPECT_EQ(run.exitCode, 2u) << shown;
        EXPECT_EQ(run.output.rfind(c.message + "\r\n\r\n" + kUsageStart, 0), 0u) << shown << ":\n" << run.output;
    }
}

TEST(CommandLine, TheUsageTextEndsWithZeroAndAPortThatIsNotThereWithOne) {
    VantaroProcess vantaro("command_line_right");
    const struct {
        const char* arguments;
        DWORD exitCode;
        const char* output;
    } cases[] = {
        {"/?", 0, kUsageStart},
        {"-?", 0, kUsageStart},
        {"/INSTALL /PORT com200 /QUIET", 1, "COM200 is not a serial port of this computer"},
    };
    for (const auto& c : cases) {
        const ProgramRun run = RunVantaro(vantaro, c.arguments);
        ASSERT_TRUE(run.finished) << c.arguments;
        EXPECT_EQ(run.exitCode, c.exitCode) << c.arguments;
        EXPECT_EQ(run.output.rfind(c.output, 0), 0u) << c.arguments << ":\n" << run.output;
    }
}

TEST(CommandLine, WithoutAConsoleTheComplaintIsAMessageBox) {
    VantaroProcess vantaro("command_line_box");
    ASSERT_TRUE(vantaro.Start("/install /port COM0"));
    HWND box = vantaro.WaitForMessageBox();
    ASSERT_NE(box, nullptr) << "no message box";
    const std::string text = VantaroProcess::MessageBoxText(box);
    EXPECT_EQ(text.rfind("/port \"COM0\" is out of range", 0), 0u) << text;
    EXPECT_NE(text.find(kUsageStart), std::string::npos) << text;
    VantaroProcess::Acknowledge(box);
    ASSERT_TRUE(vantaro.WaitForExit());
    EXPECT_EQ(vantaro.ExitCode(), 2u);
}

TEST(CommandLine, QuietOpensNoWindowAndTheLogHasTheMessage) {
    VantaroProcess vantaro("command_line_quiet");
    ASSERT_TRUE(vantaro.Start("/uninstall /quiet /bogus"));
    // A message box would keep the program waiting for its OK.
    ASSERT_TRUE(vantaro.WaitForExit()) << "the program waits for something";
    EXPECT_EQ(vantaro.ExitCode(), 2u);
    const std::string log = ReadFile(vantaro.Folder() + "\\Vantaro.log");
    EXPECT_NE(log.find("\tmessage\tsaid\t0\tUnknown switch \"/bogus\".\r\n"), std::string::npos) << log;
}

// The simulated phones of this test's run (tests/e2e/CMakeLists.txt): a ready phone on COM71
// and a silent port on COM72, both in the registry's serial port map for the test's length.
class WithSimulatedPhone : public ::testing::Test {
protected:
    WithSimulatedPhone() {
        ports.SetPortName("\\Device\\Serial71", "COM71");
        ports.SetPortName("\\Device\\Serial72", "COM72");
        platformtest::RemoveAllModemsAndDriverKeys();
    }
    ~WithSimulatedPhone() override { platformtest::RemoveAllModemsAndDriverKeys(); }

    SerialCommOverride ports;
};

TEST_F(WithSimulatedPhone, CheckPrintsALinePerPortAndInstallTakesTheOnePhoneFound) {
    VantaroProcess vantaro("command_line_phone");
    const ProgramRun check = RunVantaro(vantaro, "/check");
    ASSERT_TRUE(check.finished);
    EXPECT_EQ(check.exitCode, 0u) << check.output;
    EXPECT_NE(check.output.find("COM71\tmodem\t"), std::string::npos) << check.output;
    EXPECT_NE(check.output.find("COM72\tno answer\t"), std::string::npos) << check.output;

    const ProgramRun install = RunVantaro(vantaro, "/install /port auto /quiet");
    ASSERT_TRUE(install.finished);
    EXPECT_EQ(install.exitCode, 0u) << install.output;
    const std::vector<platformtest::ModemDevice> modems = platformtest::ModemDevices();
    ASSERT_EQ(modems.size(), 1u);
    EXPECT_TRUE(modems[0].hasDriverKey);
    const std::string log = ReadFile(vantaro.Folder() + "\\Vantaro.log");
    for (const char* step : {"\tinstall.driver\tdone\t0\t", "\tinstall.entry\tdone\t0\t", "\tinstall.registry\tdone\t0\tCOM71"})
        EXPECT_NE(log.find(step), std::string::npos) << step << " is not in the log:\n" << log;
}

} // namespace
} // namespace vantaro::e2e
