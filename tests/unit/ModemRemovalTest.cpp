// Removing the modems our driver drives where the platform keeps no InfPath (then the hardware id
// stands in for the INF), against the modem class in memory.

#include "modem/ModemRemoval.h"

#include "fakes/FakeInstalledModems.h"
#include "fakes/FakeLog.h"
#include "fakes/ModemInfText.h"

#include <gtest/gtest.h>

namespace vantaro {
namespace {

using testing::FakeInstalledModems;
using testing::RecordingLog;

constexpr char kOurs[] = "USB\\VID_1782&PID_0003&MI_01";

InstalledDevice Modem(const char* id, std::vector<std::string> hardwareIds) {
    InstalledDevice device{0, id, std::move(hardwareIds)};
    device.driverDescription = "ZOR GPRS Modem";
    return device;
}

std::vector<InstalledDevice> ThreeModems() {
    return {
        Modem("ROOT\\MODEM\\0000", {"USB\\VID_9999&PID_0001", kOurs}),   // ours among several ids
        Modem("ROOT\\MODEM\\0001", {"USB\\VID_1782&PID_0003&MI_02"}),    // another interface of the phone
        Modem("ROOT\\MODEM\\0002", {"usb\\vid_1782&pid_0003&mi_01"}),    // ours, other letter case
    };
}

Removal RemoveModems(FakeInstalledModems& modems, const std::string& hardwareId, Log& log) {
    const std::optional<std::vector<InstalledDevice>> listed = modems.List();
    if (!listed) return {RemovalState::Failed, modems.LastError(), 0};
    const ChosenModems chosen = ChooseModems(*listed, nullptr, OurDriver{{"modem_inf.inf"}, {}, hardwareId});
    return RemoveModems(chosen.toRemove, modems, log).removal;
}

TEST(ModemRemoval, RemovesEveryModemWithTheHardwareIdAndNoOther) {
    FakeInstalledModems modems;
    modems.devices = ThreeModems();
    RecordingLog recording;
    const Removal removal = RemoveModems(modems, kOurs, recording.log);
    EXPECT_EQ(removal.state, RemovalState::Removed);
    EXPECT_EQ(removal.removed, 2u);
    EXPECT_EQ(modems.removed, (std::vector<std::string>{"ROOT\\MODEM\\0000", "ROOT\\MODEM\\0002"}));
    EXPECT_EQ(recording.Steps(), (std::vector<std::string>{"modem.remove\tdone\t0\tROOT\\MODEM\\0000",
                                                           "modem.remove\tdone\t0\tROOT\\MODEM\\0002"}));
}

TEST(ModemRemoval, FindsNothingWhereNoModemHasTheId) {
    const struct {
        std::vector<InstalledDevice> devices;
        std::string hardwareId;
    } cases[] = {
        {{}, kOurs},
        {{Modem("ROOT\\MODEM\\0000", {"USB\\VID_1782&PID_0003&MI_02"})}, kOurs},
        {{Modem("ROOT\\MODEM\\0000", {"USB\\VID_1782&PID_0003&MI_01X"})}, kOurs},  // whole ids only
        {{Modem("ROOT\\MODEM\\0000", {})}, kOurs},
        {{Modem("ROOT\\MODEM\\0000", {kOurs})}, ""},  // Setting.ini names none
    };
    for (const auto& c : cases) {
        FakeInstalledModems modems;
        modems.devices = c.devices;
        RecordingLog recording;
        const Removal removal = RemoveModems(modems, c.hardwareId, recording.log);
        EXPECT_EQ(removal.state, RemovalState::NothingFound) << c.hardwareId;
        EXPECT_TRUE(modems.removed.empty());
    }
}

TEST(ModemRemoval, ARefusalStopsNoOtherRemovalAndItsCodeIsReported) {
    FakeInstalledModems modems;
    modems.devices = ThreeModems();
    modems.removals["ROOT\\MODEM\\0000"] = {DeviceRemovalResult::Failed, 5};
    RecordingLog recording;
    const Removal removal = RemoveModems(modems, kOurs, recording.log);
    EXPECT_EQ(removal.state, RemovalState::Failed);
    EXPECT_EQ(removal.error, 5u);
    EXPECT_EQ(removal.removed, 1u);
    EXPECT_EQ(modems.removed, (std::vector<std::string>{"ROOT\\MODEM\\0002"}));
    EXPECT_EQ(recording.Steps(), (std::vector<std::string>{"modem.remove\tfailed\t5\tROOT\\MODEM\\0000",
                                                           "modem.remove\tdone\t0\tROOT\\MODEM\\0002"}));
}

TEST(ModemRemoval, ARefusedListRemovesNothingAndSaysWhy) {
    FakeInstalledModems modems;
    modems.devices = ThreeModems();
    modems.listError = 0xE000020B;
    RecordingLog recording;
    const Removal removal = RemoveModems(modems, kOurs, recording.log);
    EXPECT_EQ(removal.state, RemovalState::Failed);
    EXPECT_EQ(removal.error, 0xE000020Bu);
    EXPECT_TRUE(modems.removed.empty());
}

TEST(ModemRemoval, ASecondRunFindsNothingLeft) {
    FakeInstalledModems modems;
    modems.devices = ThreeModems();
    RecordingLog recording;
    RemoveModems(modems, kOurs, recording.log);
    const std::vector<std::string> removedFirst = modems.removed;
    EXPECT_EQ(RemoveModems(modems, kOurs, recording.log).state, RemovalState::NothingFound);
    EXPECT_EQ(modems.removed, removedFirst);
}

TEST(ModemRemoval, APackageIsOursOnlyWhenCopiedFromOurInfAndListingOurHardwareId) {
    const std::string ours = testing::ModemInf();
    // Our phone only as a compatible id of a model decorated for one Windows.
    const std::string compatible = "[Manufacturer]\r\nZ=M,NTamd64\r\n[M.NTamd64]\r\nm=I,USB\\VID_1,usb\\vid_1782&pid_0003&mi_01\r\n";
    const struct {
        DriverPackage package;
        const char* hardwareId;
        const char* why;  // nullptr: ours
    } cases[] = {
        {{"modem_inf.inf", ours}, kOurs, nullptr},
        {{"MODEM_INF64.INF", ours}, kOurs, nullptr},
        {{"modem_inf64.inf", compatible}, kOurs, nullptr},
        {{"acme.inf", ours}, kOurs, "it was copied from acme.inf, not from an INF of Vantaro's"},
        {{"", ours}, kOurs, "Windows does not say which INF it was copied from"},
        {{"modem_inf.inf", std::nullopt}, kOurs, "it cannot be read"},
        {{"modem_inf.inf", ours}, "", "Setting.ini names no hardware id to look for in it"},
        {{"modem_inf.inf", ours}, "USB\\VID_1782&PID_0003&MI_02",
         "it has no model for the hardware id USB\\VID_1782&PID_0003&MI_02"},
        {{"modem_inf.inf", "[Manufacturer]\r\n[Phones]\r\nm=I," + std::string(kOurs) + "\r\n"}, kOurs,
         "it has no model for the hardware id USB\\VID_1782&PID_0003&MI_01"},  // a section no maker names
    };
    for (const auto& c : cases) {
        const std::optional<std::string> why =
            WhyNotOurPackage(c.package, OurDriver{{"modem_inf.inf", "modem_inf64.inf"}, {}, c.hardwareId});
        EXPECT_EQ(why.value_or("ours"), c.why ? c.why : "ours") << c.package.originalName << " " << c.hardwareId;
    }
}

} // namespace
} // namespace vantaro
