#include "workflow/CommandLine.h"

#include <gtest/gtest.h>

namespace vantaro {
namespace {

std::string Describe(const std::vector<std::string>& arguments) {
    std::string text;
    for (const std::string& argument : arguments) text += (text.empty() ? "" : " ") + argument.substr(0, 60);
    return text;
}

TEST(CommandLine, NoArgumentOpensTheDialog) {
    const CommandLine line = ParseCommandLine({});
    EXPECT_EQ(line.action, CommandAction::Dialog);
    EXPECT_FALSE(line.quiet);
}

TEST(CommandLine, ArgumentsAfterTheProgramNameAreSeenAsTheShellsParserSeesThem) {
    const struct {
        const wchar_t* line;
        bool arguments;
    } rows[] = {
        {L"", false},
        {L"Vantaro.exe", false},
        {L"\"C:\\Program Files\\Vantaro\\Vantaro.exe\"  ", false},
        {L"\"C:\\a b\\Vantaro.exe", false},  // no closing quote: all of it is the name
        {L"Vantaro.exe /install", true},
        {L"\"C:\\a b\\Vantaro.exe\"/check", true},
        {L"\"C:\\a b\\Vantaro.exe\" \"\"", true},
    };
    for (const auto& row : rows) EXPECT_EQ(ArgumentsFollowProgramName(row.line), row.arguments) << std::wstring(row.line).size();
}

TEST(CommandLine, EachActionWithItsValuesInAnyLetterCaseAndEitherPrefix) {
    const struct {
        std::vector<std::string> arguments;
        CommandAction action;
        std::string port;
        bool autoPort;
        bool quiet;
    } cases[] = {
        {{"/install", "/port", "COM5"}, CommandAction::Install, "COM5", false, false},
        {{"-INSTALL", "-Port", "com12", "/Quiet"}, CommandAction::Install, "COM12", false, true},
        {{"/port", "COM255", "/install", "-quiet"}, CommandAction::Install, "COM255", false, true},
        {{"/install", "/port", "AUTO"}, CommandAction::Install, "", true, false},
        {{"/uninstall"}, CommandAction::Uninstall, "", false, false},
        {{"/quiet", "-UNINSTALL"}, CommandAction::Uninstall, "", false, true},
        {{"/check"}, CommandAction::Check, "", false, false},
        {{"/?"}, CommandAction::Usage, "", false, false},
        {{"-?"}, CommandAction::Usage, "", false, false},
        {{"/install", "/?"}, CommandAction::Usage, "", false, false},
    };
    for (const auto& c : cases) {
        const CommandLine line = ParseCommandLine(c.arguments);
        EXPECT_EQ(line.action, c.action) << Describe(c.arguments) << ": " << line.error;
        EXPECT_EQ(line.port, c.port) << Describe(c.arguments);
        EXPECT_EQ(line.autoPort, c.autoPort) << Describe(c.arguments);
        EXPECT_EQ(line.quiet, c.quiet) << Describe(c.arguments);
    }
}

TEST(CommandLine, EveryWrongCommandLineSaysWhatIsWrong) {
    const std::string longPort(5000, 'C');
    const std::string longSwitch = "/" + std::string(4999, 'x');
    const struct {
        std::vector<std::string> arguments;
        std::string error;
    } cases[] = {
        {{"/frobnicate"}, "Unknown switch \"/frobnicate\"."},
        {{"--install"}, "Unknown switch \"--install\"."},
        {{longSwitch}, "Unknown switch \"/" + std::string(39, 'x') + "...\" (5000 characters)."},
        {{"COM5"}, "Unexpected argument \"COM5\": every value follows its switch."},
        {{"/install", "/port", "COM5", "extra"}, "Unexpected argument \"extra\": every value follows its switch."},
        {{"-"}, "Unexpected argument \"-\": every value follows its switch."},
        {{"/install", "/port"}, "/port needs a value: COM1 to COM255, or auto."},
        {{"/install", "/port", "/quiet"}, "/port needs a value: COM1 to COM255, or auto."},
        {{"/install", "/port", "COM1", "/port", "COM2"}, "/port is given twice."},
        {{"/uninstall", "/quiet", "-QUIET"}, "/quiet is given twice."},
        {{"/check", "/check"}, "/check is given twice."},
        {{"/install", "/uninstall"}, "Only one of /install, /uninstall and /check can be given."},
        {{"/install", "/port", longPort},
         "The value of /port is 5000 characters long: a port is COM1 to COM255, or auto."},
        {{"/install", "/port", "COM0"}, "/port \"COM0\" is out of range: a port is COM1 to COM255, or auto."},
        {{"/install", "/port", "COM256"}, "/port \"COM256\" is out of range: a port is COM1 to COM255, or auto."},
        {{"/install", "/port", "COM05"}, "/port \"COM05\" is not a port name: a port is COM1 to COM255, or auto."},
        {{"/install", "/port", "COM"}, "/port \"COM\" is not a port name: a port is COM1 to COM255, or auto."},
        {{"/install", "/port", "LPT1"}, "/port \"LPT1\" is not a port name: a port is COM1 to COM255, or auto."},
        {{"/install", "/port", "COM1x"}, "/port \"COM1x\" is not a port name: a port is COM1 to COM255, or auto."},
        {{"/install", "/port", "COM+5"}, "/port \"COM+5\" is not a port name: a port is COM1 to COM255, or auto."},
        {{"/install"}, "/install needs /port COMn or /port auto."},
        {{"/uninstall", "/port", "COM3"}, "/port goes with /install only."},
        {{"/quiet"}, "Name what to do: /install, /uninstall or /check."},
        {{"/port", "COM3"}, "Name what to do: /install, /uninstall or /check."},
    };
    for (const auto& c : cases) {
        const CommandLine line = ParseCommandLine(c.arguments);
        EXPECT_EQ(line.action, CommandAction::Invalid) << Describe(c.arguments);
        EXPECT_EQ(line.error, c.error) << Describe(c.arguments);
        EXPECT_TRUE(line.port.empty());
    }
}

TEST(CommandLine, AWrongCommandLineWithQuietStaysQuiet) {
    EXPECT_TRUE(ParseCommandLine({"/uninstall", "/quiet", "/bogus"}).quiet);
    EXPECT_FALSE(ParseCommandLine({"/uninstall", "/bogus"}).quiet);
}

TEST(CommandLine, TheUsageTextNamesEverySwitchAndExitCode) {
    const std::string usage = kUsageText;
    for (const char* word : {"/install", "/port COMn", "auto", "/uninstall", "/check", "/quiet", "/?", "0 done",
                             "1 failed", "2 wrong command line", "3 no phone found", "4 needs administrator rights",
                             "5 restart Windows to finish /uninstall"})
        EXPECT_NE(usage.find(word), std::string::npos) << word;
}

} // namespace
} // namespace vantaro
