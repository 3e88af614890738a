// The monthly byte counter: months, a crash, the limit, and a usage.ini that cannot be used.

#include "fakes/FakeClock.h"
#include "fakes/FakeLog.h"
#include "fakes/FakeUsageFile.h"
#include "workflow/UsageCounter.h"

#include <gtest/gtest.h>

namespace vantaro {
namespace {

// One month as the counter writes it.
std::string Month(const char* name, int received, int sent = 0) {
    return std::string("[") + name + "]\r\nreceived=" + std::to_string(received) + "\r\nsent=" + std::to_string(sent) +
           "\r\nwarned=0\r\nlimit=0\r\n";
}

struct UsageFixture : ::testing::Test {
    testing::FakeUsageFile file;
    testing::FixedLogClock calendar;  // December 2026
    testing::FakeClock ticks;
    testing::RecordingLog log;
    UsageCounter Start(UsageSettings settings = {}) { return UsageCounter(file, calendar, ticks, settings, &log.log); }
};

TEST_F(UsageFixture, ACrashLosesAtMostTheLastMinuteAndAMonthEndsWithWhatItHad) {
    {
        UsageCounter counter = Start();
        counter.Add(100, 50);
        EXPECT_FALSE(file.content) << "written before a minute had passed";
        ticks.now += UsageCounter::kWritePeriodMs;
        counter.Add(1, 0);
        ticks.now += UsageCounter::kWritePeriodMs - 1;
        counter.Add(500, 0);  // then the program dies without writing
    }
    UsageCounter counter = Start();
    counter.Add(9, 0);  // not written yet when the month ends
    calendar.time = {2027, 1, 1, 0, 0, 0, 0};
    counter.AddAndWrite(10, 5);
    EXPECT_EQ(counter.Month().Total(), 15u);
    EXPECT_EQ(*file.content, Month("2026-12", 110, 50) + Month("2027-01", 10, 5));
}

TEST_F(UsageFixture, TheLimitWarnsAt90PercentAndStopsAt100OncePerMonth) {
    using E = UsageEvent;
    std::vector<UsageEvent> events;
    {
        UsageCounter counter = Start({1, true});
        // 943718 B is just under 90 % of 1 MB, 1048575 B just under 100 %.
        for (std::uint64_t bytes : {943718u, 1u, 1u, 104855u}) events.push_back(counter.Add(0, bytes));
        EXPECT_FALSE(counter.HangUpForLimit());
        events.push_back(counter.Add(1, 0));
        EXPECT_TRUE(counter.HangUpForLimit());
    }
    events.push_back(Start({1, true}).Add(1048576, 0));  // after a restart: the file holds both thresholds
    EXPECT_EQ(events, (std::vector<E>{E::None, E::Warning, E::None, E::None, E::LimitReached, E::None}));
    EXPECT_FALSE(Start(UsageSettings{1, false}).HangUpForLimit()) << "limit_action=warn hangs up";
}

TEST_F(UsageFixture, AFileThatCannotBeUsedIsSetAsideAndTheMonthGoesOnInANewOne) {
    using namespace std::string_literals;
    const struct {
        std::string bytes;
        bool readOnly;  // refuses the write instead
        int received;   // in the new file after 7 more
    } table[] = {{"[2026-12]\r\nsent=-5\r\n", false, 7}, {"MZ\x90\0\x03garbage"s, false, 7},
                 {"[2026-12\r\nreceived=1\r\n", false, 7}, {Month("2026-12", 40), true, 47}};
    for (const auto& row : table) {
        file.content = row.bytes;
        file.readOnly = row.readOnly;
        Start().AddAndWrite(7, 0);
        EXPECT_EQ(file.setAside, row.bytes);
        EXPECT_EQ(*file.content, Month("2026-12", row.received)) << row.bytes;
    }
}

} // namespace
} // namespace vantaro
