// /uninstall's decisions over the record, the modems and the phone book in memory: what goes,
// what stays, what the user is told and the exit code a script gets.

#include "workflow/Uninstall.h"


#include "fakes/FakeInstalledModems.h"
#include "fakes/FakeLog.h"
#include "fakes/FakeProcessLauncher.h"
#include "fakes/FakeRegistry.h"
#include "fakes/MemoryProfile.h"
#include "modem/InstallRecord.h"

#include <gtest/gtest.h>

namespace vantaro {
namespace {

using testing::FakeInstalledModems;
using testing::FakeRegistry;
using testing::RecordingLog;
using Result = DeviceRemovalResult;

constexpr char kOurs[] = "USB\\VID_1782&PID_0003&MI_01";
constexpr char kEntry[] = "GPRS Connection";

class FakeUninstallSteps final : public UninstallSteps {
public:
    Removal RemoveDialupEntry(const std::string& name) override {
        removedEntries.push_back(name);
        return {RemovalState::Removed, 0, 1};
    }
    std::optional<EntryDevice> DialupEntryDevice(const std::string&) override { return entryDevice; }
    Removal RemoveShortcut(const std::string&) override { return {}; }
    Removal RemoveDesktopShortcut() override { return {}; }

    std::optional<EntryDevice> entryDevice = EntryDevice{"modem", "ZOR GPRS Modem"};
    std::vector<std::string> removedEntries;
};

InstalledDevice Modem(const char* id, const char* description, const char* inf, const char* original,
                      const char* hardwareId = kOurs) {
    InstalledDevice device{0, id, {hardwareId}};
    device.friendlyName = device.driverDescription = description;
    device.infPath = inf;
    device.infOriginalName = original;
    return device;
}

// Two modems of our INF, one that another INF of the same description drives, another maker's,
// and one without a driver (an install cut short).
std::vector<InstalledDevice> Modems() {
    return {Modem("ROOT\\MODEM\\0000", "ZOR GPRS Modem", "oem3.inf", "modem_inf64.inf"),
            Modem("ROOT\\MODEM\\0001", "ZOR GPRS Modem", "oem3.inf", "MODEM_INF.INF"),
            Modem("ROOT\\MODEM\\0002", "ZOR GPRS Modem", "oem7.inf", "zor_clone.inf"),
            Modem("ROOT\\MODEM\\0003", "Standard 56000 bps Modem", "mdmgen.inf", "", "MDMGEN56"),
            Modem("ROOT\\MODEM\\0004", "", "", "")};
}

void Record(FakeRegistry& registry, std::vector<std::pair<RecordedKind, std::string>> items) {
    for (const auto& [kind, item] : items) AddToInstallRecord(registry, kind, item, true);
}

struct Case {
    const char* name;
    void (*arrange)(FakeRegistry& record, FakeInstalledModems& modems, FakeUninstallSteps& steps);
    ExitCode exitCode;
    std::vector<std::string> removed;  // devices, then packages
    std::vector<std::string> removedEntries;
    bool recordKept;
    const char* says;  // one of the lines the user is told
    const char* logged = nullptr;  // one of the log's steps, when the case names one
};

// Another maker's INF, as the driver store keeps it under a number it once gave ours.
constexpr char kOtherMakersInf[] =
    "[Version]\r\nSignature=\"$Windows NT$\"\r\nClass=Modem\r\n[Manufacturer]\r\nAcme=Acme,NTamd64\r\n"
    "[Acme.NTamd64]\r\n\"Acme 56K\"=Acme56k,PCI\\VEN_1234&DEV_0056\r\n";

const Case kCases[] = {
    {"recorded: exactly the record, even beside another modem of ours",
     [](FakeRegistry& r, FakeInstalledModems&, FakeUninstallSteps&) {
         Record(r, {{RecordedKind::Device, "ROOT\\MODEM\\0000"}, {RecordedKind::DriverPackage, "oem3.inf"},
                    {RecordedKind::DialupEntry, "Office GPRS"}});
     },
     ExitCode::Done, {"ROOT\\MODEM\\0000", "oem3.inf"}, {"Office GPRS"}, false, "Removed the driver package oem3.inf."},
    {"no record: every modem of our INF's model, and the entry that dials through one",
     [](FakeRegistry&, FakeInstalledModems&, FakeUninstallSteps&) {},
     ExitCode::Done, {"ROOT\\MODEM\\0000", "ROOT\\MODEM\\0001"}, {kEntry}, false, "Removed the modem ROOT\\MODEM\\0001."},
    {"no record: an entry of our name on another device stays",
     [](FakeRegistry&, FakeInstalledModems&, FakeUninstallSteps& s) { s.entryDevice = EntryDevice{"modem", "WINE virtmodem"}; },
     ExitCode::Done, {"ROOT\\MODEM\\0000", "ROOT\\MODEM\\0001"}, {}, false,
     "Kept the dial-up entry \"GPRS Connection\": it dials through \"WINE virtmodem\", not through a modem of Vantaro's."},
    {"no record, no InfPath kept: the hardware id stands in for the INF",
     [](FakeRegistry&, FakeInstalledModems& m, FakeUninstallSteps&) {
         m.devices = {Modem("ROOT\\MODEM\\0000", "ZOR GPRS Modem", "", ""),
                      Modem("ROOT\\MODEM\\0001", "ZOR GPRS Modem", "", "", "USB\\VID_9999&PID_0001")};
     },
     ExitCode::Done, {"ROOT\\MODEM\\0000"}, {kEntry}, false, "Removed the modem ROOT\\MODEM\\0000."},
    {"recorded, but another driver drives that device now",
     [](FakeRegistry& r, FakeInstalledModems&, FakeUninstallSteps&) { Record(r, {{RecordedKind::Device, "ROOT\\MODEM\\0002"}}); },
     ExitCode::Done, {}, {}, false, "Kept the modem ROOT\\MODEM\\0002: another driver drives it now."},
    {"recorded device and package gone already",
     [](FakeRegistry& r, FakeInstalledModems& m, FakeUninstallSteps&) {
         Record(r, {{RecordedKind::Device, "ROOT\\MODEM\\0009"}, {RecordedKind::DriverPackage, "oem9.inf"}});
         m.removals["oem9.inf"] = {Result::NotThere, 2};
     },
     ExitCode::Done, {}, {}, false, "Nothing to remove: what the install record names is gone already."},
    {"a record Vantaro did not write",
     [](FakeRegistry& r, FakeInstalledModems&, FakeUninstallSteps&) { r.SetString(kInstallRecordKey, "Device1", "ROOT\\MODEM\\0000"); },
     ExitCode::Failed, {}, {}, true,
     "Nothing was removed: HKLM\\Software\\Vantaro has no RecordVersion 1: Vantaro did not write it."},
    {"a record that does not read",
     [](FakeRegistry& r, FakeInstalledModems&, FakeUninstallSteps&) {
         Record(r, {{RecordedKind::Device, "ROOT\\MODEM\\0000"}});
         r.SetNumber(kInstallRecordKey, "DeviceCount", 2);
     },
     ExitCode::Failed, {}, {}, true, "Nothing was removed: HKLM\\Software\\Vantaro cannot be read: Device2 does not read."},
    {"a modem that goes only when Windows restarts: its package and the record wait",
     [](FakeRegistry& r, FakeInstalledModems& m, FakeUninstallSteps&) {
         Record(r, {{RecordedKind::Device, "ROOT\\MODEM\\0000"}, {RecordedKind::DriverPackage, "oem3.inf"}});
         m.removals["ROOT\\MODEM\\0000"] = {Result::RestartNeeded};
     },
     ExitCode::RestartNeeded, {}, {}, true,
     "Windows removes the modem ROOT\\MODEM\\0000 when it restarts: restart Windows to finish."},
    {"a recorded package number that the driver store gave another maker's INF stays",
     [](FakeRegistry& r, FakeInstalledModems& m, FakeUninstallSteps&) {
         Record(r, {{RecordedKind::Device, "ROOT\\MODEM\\0000"}, {RecordedKind::DriverPackage, "oem5.inf"}});
         m.packages["oem5.inf"] = DriverPackage{"acme56k.inf", std::string(kOtherMakersInf)};
     },
     ExitCode::Done, {"ROOT\\MODEM\\0000"}, {}, false,
     "Kept the driver package oem5.inf: it is not Vantaro's now (it was copied from acme56k.inf, not from an INF "
     "of Vantaro's).",
     "uninstall.package\tnot found\t0\toem5.inf: kept, not Vantaro's: it was copied from acme56k.inf, not from an "
     "INF of Vantaro's"},
};

TEST(Uninstall, RemovesWhatOurInstallsMadeAndNothingThatIsNotOurs) {
    for (const Case& c : kCases) {
        FakeRegistry record;
        FakeInstalledModems modems;
        modems.devices = Modems();
        FakeUninstallSteps steps;
        c.arrange(record, modems, steps);
        UninstallPlatform platform{record, modems, modems, steps};
        RecordingLog recording;
        const UninstallOutcome outcome =
            RunUninstall({kOurs, kEntry, {"modem_inf.inf", "modem_inf64.inf"}}, platform, recording.log);
        EXPECT_EQ(outcome.exitCode, c.exitCode) << c.name;
        EXPECT_EQ(modems.removed, c.removed) << c.name;
        EXPECT_EQ(steps.removedEntries, c.removedEntries) << c.name;
        EXPECT_EQ(record.HasKey(kInstallRecordKey), c.recordKept) << c.name;
        EXPECT_NE(std::find(outcome.messages.begin(), outcome.messages.end(), c.says), outcome.messages.end())
            << c.name << ": " << ::testing::PrintToString(outcome.messages);
        const std::vector<std::string> logged = recording.Steps();
        if (c.logged)
            EXPECT_NE(std::find(logged.begin(), logged.end(), c.logged), logged.end())
                << c.name << ": " << ::testing::PrintToString(logged);
    }
}

TEST(Uninstall, ThePnpagent64HelpersAnswersAndWhatReachesIt) {
    const struct {
        ProcessOutcome outcome;
        Result result;
    } answers[] = {{{ProcessOutcome::State::Exited, 1}, Result::Removed},
                   {{ProcessOutcome::State::Exited, 3}, Result::RestartNeeded},
                   {{ProcessOutcome::State::Exited, 2}, Result::NotThere},
                   {{ProcessOutcome::State::Exited, 0}, Result::Failed},
                   {{ProcessOutcome::State::ExitCodeUnreadable, 1}, Result::Failed},
                   {{ProcessOutcome::State::NotStarted, 1}, Result::Failed}};
    for (const auto& a : answers) {
        testing::FakeProcessLauncher processes;
        processes.outcome = a.outcome;
        AgentDeviceRemover helper(processes, "C:\\Vantaro");
        EXPECT_EQ(helper.RemoveDevice("ROOT\\MODEM\\0000").result, a.result) << a.outcome.exitCode;
        ASSERT_EQ(processes.runs.size(), 1u);
        EXPECT_EQ(processes.runs[0].programPath, "C:\\Vantaro\\pnpagent64.exe");
        EXPECT_EQ(processes.runs[0].commandLine, "pnpagent64.exe RemoveDevice \"ROOT\\MODEM\\0000\"");
    }
    // Only a bare INF name, as InfPath gives it, reaches the package removal.
    testing::FakeProcessLauncher processes;
    AgentDeviceRemover helper(processes, "C:\\Vantaro");
    for (const char* name : {"..\\oem3.inf", "C:\\Windows\\inf\\oem3.inf", "..inf", "oem3.inf.bak", ".inf"})
        EXPECT_EQ(helper.RemoveDriverPackage(name).result, Result::Failed) << name;
    EXPECT_TRUE(processes.runs.empty());
}

TEST(Uninstall, EachInstallAddsToTheRecordOnceAndNeverWritesAKeyNotOurs) {
    FakeRegistry registry;
    EXPECT_EQ(AddToInstallRecord(registry, RecordedKind::Shortcut, "C:\\link.lnk", false), RecordWrite::NoRecord);
    Record(registry, {{RecordedKind::Device, "ROOT\\MODEM\\0000"}, {RecordedKind::Device, "ROOT\\MODEM\\0001"}});
    EXPECT_EQ(AddToInstallRecord(registry, RecordedKind::Device, "root\\modem\\0001", true), RecordWrite::AlreadyThere);
    EXPECT_EQ(ReadInstallRecord(registry).record.devices,
              (std::vector<std::string>{"ROOT\\MODEM\\0000", "ROOT\\MODEM\\0001"}));
    FakeRegistry foreign;
    foreign.SetNumber(kInstallRecordKey, kRecordVersionValue, 2);
    EXPECT_EQ(AddToInstallRecord(foreign, RecordedKind::Device, "ROOT\\MODEM\\0000", true), RecordWrite::NotOurs);
    EXPECT_EQ(foreign.ValueCount(kInstallRecordKey), 1u);
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
