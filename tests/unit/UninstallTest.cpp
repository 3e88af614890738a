// /uninstall's steps and what it tells the user and the script, over steps in memory.

#include "app/Uninstall.h"

#include "fakes/FakeLog.h"
#include "fakes/MemoryProfile.h"

#include <gtest/gtest.h>

namespace vantaro {
namespace {

using testing::RecordingLog;

class FakeUninstallSteps final : public UninstallSteps {
public:
    Removal RemoveDialupEntry(const std::string& entryName) override {
        calls.push_back("entry " + entryName);
        return entry;
    }
    Removal RemoveModems(const std::string& hardwareId) override {
        calls.push_back("modems " + hardwareId);
        return modems;
    }
    Removal RemoveDesktopShortcut() override {
        calls.push_back("shortcut");
        return shortcut;
    }

    Removal entry, modems, shortcut;
    std::vector<std::string> calls;
};

constexpr Removal kNothing{};
constexpr Removal kOne{RemovalState::Removed, 0, 1};
constexpr Removal kTwo{RemovalState::Removed, 0, 2};
constexpr Removal kRefused{RemovalState::Failed, 5, 0};
constexpr Removal kBroken{RemovalState::Failed, 0xE0000235, 1};

const UninstallInputs kInputs{"USB\\VID_1782&PID_0003&MI_01", "GPRS Connection"};

TEST(Uninstall, TellsWhatWasRemovedAndEndsWithTheExitCodeAScriptExpects) {
    const struct {
        Removal entry, modems, shortcut;
        ExitCode exitCode;
        std::vector<std::string> messages;
    } cases[] = {
        {kOne, kTwo, kOne, ExitCode::Done,
         {"Removed the dial-up entry \"GPRS Connection\".",
          "Removed 2 modems with the hardware id USB\\VID_1782&PID_0003&MI_01.", "Removed the desktop shortcut."}},
        {kNothing, kOne, kNothing, ExitCode::Done,
         {"Removed the modem with the hardware id USB\\VID_1782&PID_0003&MI_01."}},
        {kNothing, kNothing, kNothing, ExitCode::Done,
         {"Nothing to remove: no dial-up entry \"GPRS Connection\", no modem with the hardware id "
          "USB\\VID_1782&PID_0003&MI_01, no desktop shortcut."}},
        {kRefused, kNothing, kNothing, ExitCode::NeedsAdministrator,
         {"Could not remove the dial-up entry \"GPRS Connection\" (error 5).",
          "Windows refused for want of rights: run Vantaro as administrator."}},
        {kOne, kBroken, kNothing, ExitCode::Failed,
         {"Removed the dial-up entry \"GPRS Connection\".",
          "Removed the modem with the hardware id USB\\VID_1782&PID_0003&MI_01.",
          "Could not remove every modem with the hardware id USB\\VID_1782&PID_0003&MI_01 (error 0xE0000235)."}},
        {kNothing, kBroken, kRefused, ExitCode::NeedsAdministrator,
         {"Removed the modem with the hardware id USB\\VID_1782&PID_0003&MI_01.",
          "Could not remove every modem with the hardware id USB\\VID_1782&PID_0003&MI_01 (error 0xE0000235).",
          "Could not remove the desktop shortcut (error 5).",
          "Windows refused for want of rights: run Vantaro as administrator."}},
    };
    for (const auto& c : cases) {
        FakeUninstallSteps steps;
        steps.entry = c.entry;
        steps.modems = c.modems;
        steps.shortcut = c.shortcut;
        RecordingLog recording;
        const UninstallOutcome outcome = RunUninstall(kInputs, steps, recording.log);
        EXPECT_EQ(outcome.exitCode, c.exitCode) << ::testing::PrintToString(c.messages);
        EXPECT_EQ(outcome.messages, c.messages);
        // Every step runs whatever the others did: a later run then has only the rest to do.
        EXPECT_EQ(steps.calls, (std::vector<std::string>{"entry GPRS Connection",
                                                         "modems USB\\VID_1782&PID_0003&MI_01", "shortcut"}));
    }
}

TEST(Uninstall, WithoutAHardwareIdNoModemIsTouchedAndTheRunFails) {
    FakeUninstallSteps steps;
    steps.entry = kOne;
    RecordingLog recording;
    const UninstallOutcome outcome = RunUninstall({"", "GPRS Connection"}, steps, recording.log);
    EXPECT_EQ(outcome.exitCode, ExitCode::Failed);
    EXPECT_EQ(steps.calls, (std::vector<std::string>{"entry GPRS Connection", "shortcut"}));
    EXPECT_EQ(outcome.messages,
              (std::vector<std::string>{
                  "Removed the dial-up entry \"GPRS Connection\".",
                  "Setting.ini names no hardware id (hardwareid_in_inf in [BaseSetting]): no modem was removed."}));
}

TEST(Uninstall, EveryStepIsLoggedWithItsResultAndCode) {
    FakeUninstallSteps steps;
    steps.entry = kOne;
    steps.modems = kRefused;
    RecordingLog recording;
    RunUninstall(kInputs, steps, recording.log);
    EXPECT_EQ(recording.Steps(), (std::vector<std::string>{
                                     "uninstall\tstarted\t0\t",
                                     "uninstall.entry\tdone\t0\tGPRS Connection",
                                     "uninstall.modems\tfailed\t5\tUSB\\VID_1782&PID_0003&MI_01: 0 removed",
                                     "uninstall.shortcut\tnot found\t0\t",
                                     "uninstall\tfailed\t0\texit code 4",
                                 }));
}

TEST(Uninstall, TakesTheHardwareIdAndEntryNameAsTheInstallDoes) {
    const struct {
        const char* settings;
        std::string hardwareId;
        std::string connectionName;
    } cases[] = {
        {"[BaseSetting]\r\nhardwareid_in_inf=USB\\VID_1\r\n[Setting]\r\nconnection_name=My Link\r\n", "USB\\VID_1",
         "My Link"},
        {"[BaseSetting]\r\n", "", "GPRS Connection"},
        {"[Setting]\r\nconnection_name=\r\n", "", ""},
    };
    for (const auto& c : cases) {
        testing::MemoryProfile profile(c.settings);
        const UninstallInputs inputs = ReadUninstallInputs(profile);
        EXPECT_EQ(inputs.hardwareId, c.hardwareId) << c.settings;
        EXPECT_EQ(inputs.connectionName, c.connectionName) << c.settings;
    }
}

} // namespace
} // namespace vantaro
