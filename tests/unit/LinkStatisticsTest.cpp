// The statistics line from samples of the connection's counters, read through the binding.

#include "dialup/LinkWatch.h"
#include "fakes/FakeRasLibrary.h"
#include "fakes/MemoryProfile.h"
#include "workflow/LinkText.h"

#include <gtest/gtest.h>

namespace vantaro {
namespace {

TEST(LinkStatistics, LineFollowsTheSamplesAndKeepsTheLastFiguresWhenACallFails) {
    struct Sample {
        std::uint32_t tickMs, result, received, sent, durationMs;  // result: of the statistics call
        std::string line;
    };
    testing::FakeRasLibrary ras;
    LinkWatch watch(ras, 0x5A000001);
    LinkMeter meter;
    testing::MemoryProfile settings;
    const LinkTexts texts = LinkTexts::Read(settings, "English", [](const std::string& utf8) { return utf8; });
    EXPECT_EQ(StatisticsLine(meter.Figures(), texts), "") << "blank before the first sample";
    const Sample samples[] = {
        {1000, 0, 512, 100, 7000, "Connected 0:00:07   Received 512 B   Sent 100 B   Down \u2014   Up \u2014"},
        {2000, 0, 3584, 1124, 8000, "Connected 0:00:08   Received 3.5 KB   Sent 1.0 KB   Down 3.0 KB/s   Up 1.0 KB/s"},
        {3000, 621, 0, 0, 0, "Connected 0:00:08   Received 3.5 KB   Sent 1.0 KB   Down \u2014   Up \u2014"},
        // Over the last two seconds, the failed second included.
        {4000, 0, 3584 + 2097152, 1124, 3730000, "Connected 1:02:10   Received 2.0 MB   Sent 1.0 KB   Down 1.0 MB/s   Up 0 B/s"},
        // The service's DWORD counters wrap after 4 GiB; the totals do not.
        {5000, 0, 0xFFFFFC00u, 1124, 3731000, "Connected 1:02:11   Received 4095.9 MB   Sent 1.0 KB   Down 4093.9 MB/s   Up 0 B/s"},
        {6000, 0, 0x400, 1124, 3732000, "Connected 1:02:12   Received 4096.0 MB   Sent 1.0 KB   Down 2046.9 MB/s   Up 0 B/s"},
    };
    for (const Sample& sample : samples) {
        ras.statisticsResult = sample.result;
        ras.statistics.dwBytesRcved = sample.received;
        ras.statistics.dwBytesXmited = sample.sent;
        ras.statistics.dwConnectDuration = sample.durationMs;
        watch.Sample(meter, sample.tickMs);
        EXPECT_EQ(StatisticsLine(meter.Figures(), texts), sample.line) << sample.tickMs;
    }
    EXPECT_EQ(MonthLine(1572864, 0, texts), "This month 1.5 MB");
    EXPECT_EQ(MonthLine(1572864, 100, texts), "This month 1.5 MB of 100.0 MB");
    EXPECT_EQ(FillInFigures("100% %3 %2%", {"a", "b"}), "100%  b%") << "a text from the file is not a format";
    // The end of the connection: a refused notification leaves polling, which sees it.
    ras.notificationResult = 87;
    EXPECT_FALSE(watch.NotifyOnEnd(nullptr));
    EXPECT_EQ(watch.Status(), LinkStatus::Up);
    ras.connectionState = ras::kStateDisconnected;
    EXPECT_EQ(watch.Status(), LinkStatus::Gone);
}

} // namespace
} // namespace vantaro
