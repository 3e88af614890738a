// The monthly byte counter: months, a crash, the limit, and a usage.ini that cannot be used.

#include "fakes/FakeClock.h"
#include "fakes/FakeLog.h"
#include "fakes/FakeUsageFile.h"
#include "workflow/UsageCounter.h"

#include <gtest/gtest.h>

namespace vantaro {
namespace {

constexpr std::uint64_t kMb = 1024 * 1024;

struct UsageFixture : ::testing::Test {
    testing::FakeUsageFile file;
    testing::FixedLogClock calendar;  // December 2026
    testing::FakeClock ticks;
    testing::RecordingLog log;
    UsageCounter Start(UsageSettings settings = {}) { return UsageCounter(file, calendar, ticks, settings, &log.log); }
};

TEST_F(UsageFixture, AMonthEndsWithWhatItHadAndTheNextStartsAtNothing) {
    UsageCounter counter = Start();
    counter.Add(100, 50);
    calendar.time.year = 2027;
    calendar.time.month = 1;
    counter.AddAndWrite(10, 5);
    EXPECT_EQ(counter.Month().Total(), 15u);
    EXPECT_EQ(*file.content, "[2026-12]\r\nreceived=100\r\nsent=50\r\nwarned=0\r\nlimit=0\r\n"
                             "[2027-01]\r\nreceived=10\r\nsent=5\r\nwarned=0\r\nlimit=0\r\n");
}

TEST_F(UsageFixture, ACrashLosesAtMostTheLastMinute) {
    {
        UsageCounter counter = Start();
        counter.Add(1000, 10);
        EXPECT_EQ(file.writes, 0) << "written before a minute had passed";
        ticks.now += UsageCounter::kWritePeriodMs;
        counter.Add(1, 0);
        ticks.now += UsageCounter::kWritePeriodMs - 1;
        counter.Add(500, 0);  // then the program dies without writing
    }
    EXPECT_EQ(Start().Month().Total(), 1011u);
}

TEST_F(UsageFixture, TheLimitWarnsAt90PercentAndStopsAt100OncePerMonth) {
    const UsageSettings settings{1, true};
    std::vector<UsageEvent> events;
    {
        UsageCounter counter = Start(settings);
        for (std::uint64_t bytes : {kMb * 9 / 10, std::uint64_t{1}, std::uint64_t{1}})  // 943718 B: just under 90 %
            events.push_back(counter.Add(0, bytes));
        EXPECT_FALSE(counter.HangUpForLimit());
        events.push_back(counter.Add(kMb - counter.Month().Total() - 1, 0));
        events.push_back(counter.Add(1, 0));
        EXPECT_TRUE(counter.HangUpForLimit());
    }
    events.push_back(Start(settings).Add(kMb, 0));  // after a restart: the file holds both thresholds
    EXPECT_EQ(events, (std::vector<UsageEvent>{UsageEvent::None, UsageEvent::Warning, UsageEvent::None, UsageEvent::None,
                                               UsageEvent::LimitReached, UsageEvent::None}));
    EXPECT_FALSE(Start(UsageSettings{1, false}).HangUpForLimit()) << "limit_action=warn hangs up";
}

TEST_F(UsageFixture, AFileThatCannotBeUsedIsSetAsideAndANewOneStarted) {
    using namespace std::string_literals;
    for (const std::string& damaged : {"[2026-12]\r\nsent=-5\r\n"s, "MZ\x90\0\x03garbage"s, "[2026-12\r\nreceived=1\r\n"s}) {
        file.Reset(damaged);
        UsageCounter counter = Start();
        EXPECT_EQ(file.setAside, damaged);
        counter.AddAndWrite(7, 0);
        EXPECT_EQ(*file.content, "[2026-12]\r\nreceived=7\r\nsent=0\r\nwarned=0\r\nlimit=0\r\n") << damaged;
    }
    // A read-only file refuses the write: it goes aside and the month goes on in a new one.
    file.Reset("[2026-12]\r\nreceived=40\r\nsent=0\r\nwarned=0\r\nlimit=0\r\n");
    file.readOnly = true;
    UsageCounter counter = Start();
    counter.AddAndWrite(2, 0);
    EXPECT_EQ(file.setAside, "[2026-12]\r\nreceived=40\r\nsent=0\r\nwarned=0\r\nlimit=0\r\n");
    EXPECT_EQ(*file.content, "[2026-12]\r\nreceived=42\r\nsent=0\r\nwarned=0\r\nlimit=0\r\n");
}

} // namespace
} // namespace vantaro
