// Removing the modems of one hardware id, against the modem class in memory.

#include "modem/ModemRemoval.h"

#include "fakes/FakeInstalledModems.h"
#include "fakes/FakeLog.h"

#include <gtest/gtest.h>

namespace vantaro {
namespace {

using testing::FakeInstalledModems;
using testing::RecordingLog;

constexpr char kOurs[] = "USB\\VID_1782&PID_0003&MI_01";

std::vector<InstalledDevice> ThreeModems() {
    return {
        {0, "ROOT\\MODEM\\0000", {"USB\\VID_9999&PID_0001", kOurs}},   // ours among several ids
        {0, "ROOT\\MODEM\\0001", {"USB\\VID_1782&PID_0003&MI_02"}},    // another interface of the phone
        {0, "ROOT\\MODEM\\0002", {"usb\\vid_1782&pid_0003&mi_01"}},    // ours, other letter case
    };
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
        {{{0, "ROOT\\MODEM\\0000", {"USB\\VID_1782&PID_0003&MI_02"}}}, kOurs},
        {{{0, "ROOT\\MODEM\\0000", {"USB\\VID_1782&PID_0003&MI_01X"}}}, kOurs},  // whole ids only
        {{{0, "ROOT\\MODEM\\0000", {}}}, kOurs},
        {{{0, "ROOT\\MODEM\\0000", {kOurs}}}, ""},  // Setting.ini names none
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
    modems.removalErrors["ROOT\\MODEM\\0000"] = 5;
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
    EXPECT_EQ(recording.Steps(), (std::vector<std::string>{std::string("modem.list\tfailed\t0xE000020B\t") + kOurs}));
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

} // namespace
} // namespace vantaro
