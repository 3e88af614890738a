// The log on real threads under ThreadSanitizer: the install worker and the dialog write steps
// while a secret is handed over, as they will once both log.

#include "fakes/FakeLog.h"

#include <gtest/gtest.h>

#include <thread>

namespace vantaro {
namespace {

TEST(LogConcurrency, StepsAndConcealmentFromSeveralThreadsNeitherRaceNorLeak) {
    testing::RecordingLog recording;
    constexpr int kLines = 2000;
    std::thread worker([&] {
        for (int i = 0; i < kLines; ++i) recording.log.Step("worker", LogResult::Done, 0, "pw=hunter2");
    });
    std::thread dialog([&] {
        recording.log.Conceal(Secret("hunter2"));
        for (int i = 0; i < kLines; ++i) recording.log.Step("dialog", LogResult::Done);
    });
    worker.join();
    dialog.join();
    ASSERT_EQ(recording.sink.lines.size(), 2u * kLines);
    // Lines written before the secret was handed over may show it; none after the dialog's first.
    bool concealed = false;
    for (const std::string& line : recording.sink.lines) {
        concealed = concealed || line.find("\tdialog") != std::string::npos;
        if (concealed) EXPECT_EQ(line.find("hunter2"), std::string::npos) << line;
    }
}

} // namespace
} // namespace vantaro
