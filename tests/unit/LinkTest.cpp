// Keeping the connection: when a dial is made again, the monthly byte counter and its usage.ini,
// and the statistics line from samples of the connection's counters, read through the binding.

#include "dialup/LinkWatch.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeLog.h"
#include "fakes/FakeRasLibrary.h"
#include "fakes/MemoryProfile.h"
#include "fakes/MemoryWholeFile.h"
#include "workflow/LinkText.h"
#include "workflow/RedialPolicy.h"
#include "workflow/UsageCounter.h"

#include <gtest/gtest.h>

#include <utility>

namespace vantaro {
namespace {

// "redial 2 10" (attempt, wait in seconds), "giveup <reason>" or "ignore".
std::string Describe(const RedialDecision& decision) {
    const char* const reasons[] = {"off", "final", "port", "sim", "limit", "attempts"};
    if (decision.action == RedialDecision::Action::GiveUp) return std::string("giveup ") + reasons[int(decision.reason)];
    if (decision.action == RedialDecision::Action::Ignore) return "ignore";
    return "redial " + std::to_string(decision.attempt) + " " + std::to_string(decision.waitSeconds);
}

LinkEnd Failed(std::uint32_t error) { return LinkEnd::DialFailed(error); }
LinkEnd Dropped(std::uint32_t seconds) { return LinkEnd::Dropped(seconds); }

TEST(RedialPolicy, DecidesEachEndOfASeries) {
    const struct {
        RedialSettings settings;
        bool simLocked, overLimit;
        std::vector<LinkEnd> ends;  // of the user's dial, then of each redial it asks for
        std::string decisions;
    } table[] = {
        // Links that could not be made are retried, the wait doubling; it stops at 600 s.
        {{}, 0, 0, {Failed(619), Failed(678), Failed(718), Dropped(10), Failed(629)}, "redial 1 5, redial 2 10, redial 3 20, redial 4 40, redial 5 80, "},
        {{true, 6, 100}, 0, 0, {Failed(678), Failed(678), Failed(678), Failed(678)}, "redial 1 100, redial 2 200, redial 3 400, redial 4 600, "},
        {{true, 2, 5}, 0, 0, {Failed(678), Failed(678), Failed(678)}, "redial 1 5, redial 2 10, giveup attempts, "},
        // A connection of 45 s starts the count over, 44 s does not.
        {{}, 0, 0, {Dropped(10), Dropped(44), Dropped(45), Failed(678)}, "redial 1 5, redial 2 10, redial 1 5, redial 2 10, "},
        {{}, 0, 0, {Failed(678), Failed(691)}, "redial 1 5, giveup final, "},  // a refused account
        {{}, 0, 0, {Failed(734)}, "giveup final, "},                           // an ended link negotiation
        {{}, 0, 0, {Failed(633), Failed(633)}, "redial 1 5, giveup port, "},
        {{}, 0, 0, {Failed(633), Failed(678), Failed(633)}, "redial 1 5, redial 2 10, redial 3 20, "},
        {{false, 5, 5}, 0, 0, {Dropped(100)}, "giveup off, "},
        {{}, 1, 0, {Failed(678)}, "giveup sim, "},
        {{}, 0, 1, {Dropped(100)}, "giveup limit, "},
    };
    for (const auto& series : table) {
        RedialPolicy policy(series.settings);
        policy.SetSimLocked(series.simLocked);
        policy.SetOverMonthlyLimit(series.overLimit);
        std::uint32_t dial = policy.UserDialled();
        std::string decisions;
        for (const LinkEnd& end : series.ends) {
            decisions += Describe(policy.DialEnded(dial, end)) + ", ";
            dial = policy.RedialDue();
        }
        EXPECT_EQ(decisions, series.decisions);
    }
}

TEST(RedialPolicy, NothingAfterTheUsersDisconnectStartsARedial) {
    RedialPolicy policy{RedialSettings{}};
    const std::uint32_t first = policy.UserDialled();
    policy.UserEnded();
    EXPECT_EQ(Describe(policy.DialEnded(first, Dropped(100))), "ignore") << "the hang-up's own notification";
    const std::uint32_t second = policy.UserDialled();
    EXPECT_EQ(Describe(policy.DialEnded(second, Dropped(3))), "redial 1 5");
    policy.UserEnded();
    EXPECT_EQ(policy.RedialDue(), 0u) << "Disconnect cancels the waiting redial";
    const std::uint32_t third = policy.UserDialled();
    EXPECT_EQ(Describe(policy.DialEnded(second, Dropped(3))), "ignore") << "a late end of an earlier dial";
    EXPECT_EQ(Describe(policy.DialEnded(third, Failed(678))), "redial 1 5");
    EXPECT_EQ(Describe(policy.DialEnded(third, Failed(678))), "ignore") << "the same end told twice";
}

TEST(LinkSettings, ValuesOutOfRangeFallBackToTheDefaultsAndTheLogSaysSoAndWhatTheRedialsDo) {
    testing::MemoryProfile profile("[Setting]\nredial=2\nredial_attempts=-1\nredial_first_wait=99999999999999999999\n"
                                   "monthly_limit_mb=abc\nlimit_action=Disconnect\n");
    testing::RecordingLog log;
    RedialPolicy policy(ReadRedialSettings(profile, &log.log));
    const UsageSettings usage = ReadUsageSettings(profile, &log.log);
    EXPECT_TRUE(usage.monthlyLimitMb == 0 && usage.disconnectAtLimit);
    LogRedialDecision(log.log, policy.DialEnded(policy.UserDialled(), Failed(678)), policy.Settings());
    LogRedialDecision(log.log, policy.DialEnded(policy.RedialDue(), Failed(691)), policy.Settings());
    const std::vector<std::string> steps = log.Steps();
    ASSERT_EQ(steps.size(), 6u);
    EXPECT_EQ(steps[1], "settings.default\tdone\t0\tredial_attempts=-1 is not a number from 0 to 100; 5 is used");
    EXPECT_EQ(steps[4], "dial.redial\tstarted\t0\tattempt 1 of 5, in 5 s") << "the defaults: redial on, 5 attempts, 5 s";
    EXPECT_EQ(steps[5], "dial.giveup\tdone\t691\terror 691 will not change by dialling again");
    EXPECT_EQ(DroppedDetail(125, 4096, 512), "after 125 s, received 4096 B, sent 512 B");
}

// One month as the counter writes it.
std::string Month(const char* name, int received, int sent = 0) {
    return std::string("[") + name + "]\r\nreceived=" + std::to_string(received) + "\r\nsent=" + std::to_string(sent) +
           "\r\nwarned=0\r\nlimit=0\r\n";
}

// The fixture is the user's usage.ini, in memory.
struct UsageFixture : ::testing::Test, testing::MemoryWholeFile {
    UsageCounter Start(UsageSettings settings = {}) { return UsageCounter(*this, log.clock, ticks, settings, &log.log); }

    testing::FakeClock ticks;
    testing::RecordingLog log;  // its clock is the calendar: December 2026
};

TEST_F(UsageFixture, ACrashLosesAtMostTheLastMinuteAndAMonthEndsWithWhatItHad) {
    {
        UsageCounter counter = Start();
        counter.Add(100, 50);
        EXPECT_FALSE(content) << "written before a minute had passed";
        ticks.now += UsageCounter::kWritePeriodMs;
        counter.Add(1, 0);
        ticks.now += UsageCounter::kWritePeriodMs - 1;
        counter.Add(500, 0);  // then the program dies without writing
    }
    UsageCounter counter = Start();
    counter.Add(9, 0);  // not written yet when the month ends
    log.clock.time = {2027, 1, 1, 0, 0, 0, 0};
    counter.AddAndWrite(10, 5);
    EXPECT_EQ(*content, Month("2026-12", 110, 50) + Month("2027-01", 10, 5));
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

    // With billing_day=15 the marks are the period's: the one that starts on the 15th starts
    // below its limit, in a section of its own.
    content.reset();
    log.clock.time = {2026, 12, 14, 23, 59, 59, 0};
    UsageCounter billed = Start({1, true, 15});
    EXPECT_EQ(billed.Add(1048576, 0), E::LimitReached);
    log.clock.time = {2026, 12, 15, 0, 0, 0, 0};
    EXPECT_FALSE(billed.HangUpForLimitNow());
    EXPECT_EQ(billed.AddAndWrite(943718, 1), E::Warning);
    EXPECT_EQ(*content, "[2026-11]\r\nreceived=1048576\r\nsent=0\r\nwarned=1\r\nlimit=1\r\n"
                        "[2026-12]\r\nreceived=943718\r\nsent=1\r\nwarned=1\r\nlimit=0\r\n");
    // billing_day moved to the 20th on the 17th: the running period goes on until then instead
    // of going back into the one that reached its limit.
    log.clock.time = {2026, 12, 17, 8, 0, 0, 0};
    UsageCounter moved = Start({1, true, 20});
    EXPECT_EQ(moved.Add(0, 1), E::None);
    EXPECT_FALSE(moved.HangUpForLimit());
    EXPECT_EQ(moved.Month().Total(), 943720u);
    EXPECT_EQ(moved.Month().period.Start().day, 1);
}

TEST_F(UsageFixture, AFileThatCannotBeUsedIsSetAsideAndTheMonthGoesOnInANewOne) {
    const struct {
        std::string bytes;
        bool readOnly;  // refuses the write instead
        int received;   // in the new file after 7 more
    } table[] = {{"[2026-12]\r\nsent=-5\r\n", false, 7}, {std::string("MZ\x90\0\x03garbage", 12), false, 7},
                 {"[2026-12\r\nreceived=1\r\n", false, 7}, {Month("2026-12", 40), true, 47}};
    for (const auto& row : table) {
        content = row.bytes;
        readOnly = row.readOnly;
        Start().AddAndWrite(7, 0);
        EXPECT_EQ(setAside, row.bytes);
        EXPECT_EQ(*content, Month("2026-12", row.received)) << row.bytes;
    }
}

// Blanks the INI reader drops (form feed, vertical tab, the end-of-file mark) and a CR inside a
// note are no damage: the file is kept, and once the counter has written it, kept again.
TEST_F(UsageFixture, AFileKeptOnceIsKeptAfterTheCounterWroteIt) {
    content = "\v; notes\f\r\n[2026-12]\t\f\n; a note\r with a CR\x1a\nreceived=5\x1a\n\tsent=1\r";
    Start().AddAndWrite(7, 0);
    Start().AddAndWrite(1, 0);
    EXPECT_FALSE(setAside) << *content;
    EXPECT_EQ(Start().Month().received, 13u) << *content;
}

// Two instances count into one file: each write adds what its counter counted since its own
// last write to what the file holds by then. A read that fails (a backup or a scanner holds the
// file) is tried again a few times and never taken for damage; a file that stays unreadable is
// never written from nothing, and what was counted meanwhile goes in once it reads again.
TEST_F(UsageFixture, TwoCountersOnOneFileAndAReadThatFailsLoseNoBytes) {
    content = Month("2026-12", 40);
    failingReads = 1;
    UsageCounter first = Start();
    UsageCounter second = Start();  // both have read the file before either writes
    first.AddAndWrite(1000000, 0);
    second.AddAndWrite(500, 20);
    EXPECT_EQ(*content, Month("2026-12", 1000540, 20));
    EXPECT_EQ(second.Month().received, 1000540u) << "the month shown holds the other instance's bytes";

    failingReads = 1000;
    reads = 0;
    first.AddAndWrite(5, 0);
    EXPECT_EQ(reads, UsageCounter::kReadTries) << "a bounded number of tries";
    EXPECT_EQ(*content, Month("2026-12", 1000540, 20));
    failingReads = 0;
    second.AddAndWrite(0, 1);
    first.AddAndWrite(1, 0);
    EXPECT_EQ(*content, Month("2026-12", 1000546, 21)) << "nothing lost, nothing added twice";
    EXPECT_FALSE(setAside) << "an unreadable file is no damaged one";
}

// The period that a billing_day gives (a value out of range is 1, and the log says so), as the
// line shows it: from its first day, with a projection to its last from its fifth day on.
TEST(BillingPeriod, StartsOnTheBillingDayAcrossMonthYearAndFebruaryEnds) {
    constexpr std::uint64_t kMb = 1024 * 1024;
    const struct {
        const char* billingDay;
        LogTime now;
        std::uint64_t bytes;
        std::string line;
    } table[] = {
        {"1", {2026, 12, 8, 0, 0, 0, 0}, 7 * kMb, "Since 1 Dec: 7.0 MB   at this rate 31.0 MB by 31 Dec"},
        {"15", {2026, 12, 10, 0, 0, 0, 0}, 5 * kMb, "Since 15 Nov: 5.0 MB   at this rate 6.0 MB by 14 Dec"},
        {"15", {2026, 12, 15, 0, 0, 0, 0}, 1 * kMb, "Since 15 Dec: 1.0 MB"},
        {"15", {2027, 1, 3, 0, 0, 0, 0}, 19 * kMb, "Since 15 Dec: 19.0 MB   at this rate 31.0 MB by 14 Jan"},
        {"28", {2026, 1, 27, 0, 0, 0, 0}, 30 * kMb, "Since 28 Dec: 30.0 MB   at this rate 31.0 MB by 27 Jan"},
        // The fifth day starts at its midnight; February has 29 days in 2028, 28 in 2027.
        {"1", {2028, 2, 4, 23, 59, 59, 0}, 4 * kMb, "Since 1 Feb: 4.0 MB"},
        {"1", {2028, 2, 5, 0, 0, 0, 0}, 4 * kMb, "Since 1 Feb: 4.0 MB   at this rate 29.0 MB by 29 Feb"},
        {"1", {2027, 2, 5, 0, 0, 0, 0}, 4 * kMb, "Since 1 Feb: 4.0 MB   at this rate 28.0 MB by 28 Feb"},
        {"28", {2028, 3, 1, 12, 0, 0, 0}, 1 * kMb, "Since 28 Feb: 1.0 MB"},
        {"28", {2028, 3, 3, 0, 0, 0, 0}, 4 * kMb, "Since 28 Feb: 4.0 MB   at this rate 29.0 MB by 27 Mar"},
        {"28", {2027, 3, 4, 0, 0, 0, 0}, 4 * kMb, "Since 28 Feb: 4.0 MB   at this rate 28.0 MB by 27 Mar"},
        {"0", {2026, 12, 10, 0, 0, 0, 0}, 0, "Since 1 Dec: 0 B   at this rate 0 B by 31 Dec"},
        {"29", {2026, 12, 3, 0, 0, 0, 0}, 0, "Since 1 Dec: 0 B"},
        {"x", {2026, 12, 3, 0, 0, 0, 0}, 0, "Since 1 Dec: 0 B"},
    };
    const LinkTexts english{"", linktext::kPeriod.english, "", linktext::kProjection.english, linktext::kDate.english,
                            linktext::kMonthNames.english, ""};
    for (const auto& row : table) {
        testing::MemoryProfile profile(std::string("[Setting]\nbilling_day=") + row.billingDay + "\n");
        testing::RecordingLog log;
        const UsageSettings settings = ReadUsageSettings(profile, &log.log);
        // A day read as 1 that was not written as 1 is said in the log.
        const bool inRange = settings.billingDay != 1 || std::string(row.billingDay) == "1";
        EXPECT_EQ(log.Steps(), inRange ? std::vector<std::string>{}
                                       : std::vector<std::string>{std::string("settings.default\tdone\t0\tbilling_day=") +
                                                                  row.billingDay +
                                                                  " is not a number from 1 to 28; 1 (the calendar month) is used"});
        MonthUsage usage;
        usage.period = BillingPeriodOf(row.now, settings.billingDay);
        usage.received = row.bytes;
        EXPECT_EQ(PeriodLine(usage, ProjectedBytes(usage.period, row.now, row.bytes), 0, english), row.line)
            << "billing_day=" << row.billingDay;
    }
    // The other language's names and order, and the limit.
    const LinkTexts chinese{"", "", "\u81ea%1\u5df2\u7528 %2\uff0c\u4e0a\u9650 %3", "", "%2\u6708%1\u65e5",
                            "1 2 3 4 5 6 7 8 9 10 11 12", ""};
    MonthUsage usage;
    usage.period = BillingPeriodOf({2026, 12, 3, 0, 0, 0, 0}, 15);
    usage.sent = 1572864;
    EXPECT_EQ(PeriodLine(usage, std::nullopt, 100, chinese), "\u81ea11\u670815\u65e5\u5df2\u7528 1.5 MB\uff0c\u4e0a\u9650 100.0 MB");
    EXPECT_EQ(PeriodDate({2026, 12, 1}, LinkTexts{"", "", "", "", "%1 %2", "Jan Feb", ""}), "1 12")
        << "a month the list lacks is its number";
}

TEST(LinkStatistics, LineFollowsTheSamplesAndKeepsTheLastFiguresWhenACallFails) {
    struct Sample {
        std::uint32_t tickMs, result, received, sent, durationMs;  // result: of the statistics call
        std::string line;
    };
    testing::FakeRasLibrary ras;
    LinkWatch watch(ras, 0x5A000001);
    LinkMeter meter;
    // As the keeper makes them from a file without the keys.
    const LinkTexts texts{linktext::kStatistics.english, "", "", "", "", "", linktext::kUnknownMark};
    EXPECT_EQ(StatisticsLine(meter.Figures(), texts), "") << "blank before the first sample";
    const Sample samples[] = {
        // The first sample's speed is the connection's own so far ("\u2014" is for a failed call).
        {1000, 0, 512, 100, 7000, "Connected 0:00:07   Received 512 B   Sent 100 B   Down 73 B/s   Up 14 B/s"},
        {2000, 0, 3584, 1124, 8000, "Connected 0:00:08   Received 3.5 KB   Sent 1.0 KB   Down 3.0 KB/s   Up 1.0 KB/s"},
        {3000, 621, 0, 0, 0, "Connected 0:00:08   Received 3.5 KB   Sent 1.0 KB   Down \u2014   Up \u2014"},
        // Over the last two seconds, the failed second included.
        {4000, 0, 3584 + 2097152, 1124, 3730000, "Connected 1:02:10   Received 2.0 MB   Sent 1.0 KB   Down 1.0 MB/s   Up 0 B/s"},
        // The service's DWORD counters wrap after 4 GiB; the totals do not.
        {5000, 0, 0xFFFFFC00u, 1124, 3731000, "Connected 1:02:11   Received 4095.9 MB   Sent 1.0 KB   Down 4093.9 MB/s   Up 0 B/s"},
        {6000, 0, 0x400, 1124, 3732000, "Connected 1:02:12   Received 4096.0 MB   Sent 1.0 KB   Down 2046.9 MB/s   Up 0 B/s"},
    };
    std::uint64_t received = 0;  // what the monthly counter is fed
    for (const Sample& sample : samples) {
        ras.statisticsResult = sample.result;
        ras.statistics.dwBytesRcved = sample.received;
        ras.statistics.dwBytesXmited = sample.sent;
        ras.statistics.dwConnectDuration = sample.durationMs;
        received += watch.Sample(meter, sample.tickMs).received;
        EXPECT_EQ(StatisticsLine(meter.Figures(), texts), sample.line) << sample.tickMs;
    }
    EXPECT_EQ(received, meter.Figures().received) << "the deltas add up to the totals, across the wrap too";
    EXPECT_EQ(FillInFigures("100% %3 %2%", {"a", "b"}), "100%  b%") << "a text from the file is not a format";
    ras.connectionState = ras::kStateDisconnected;  // the platform test meets the other end: a handle gone
    EXPECT_EQ(watch.Status(), LinkStatus::Gone);
}

} // namespace
} // namespace vantaro
