// When a dropped link or a failed dial is dialled again, and when not.

#include "fakes/FakeLog.h"
#include "fakes/MemoryProfile.h"
#include "workflow/RedialPolicy.h"
#include "workflow/UsageCounter.h"

#include <gtest/gtest.h>

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
    const RedialSettings usual;
    const struct {
        RedialSettings settings;
        bool simLocked, overLimit;
        std::vector<LinkEnd> ends;  // of the user's dial, then of each redial it asks for
        std::string decisions;
    } table[] = {
        // Links that could not be made are retried, the wait doubling; it stops at 600 s.
        {usual, 0, 0, {Failed(619), Failed(678), Failed(718), Dropped(10), Failed(629)},
         "redial 1 5, redial 2 10, redial 3 20, redial 4 40, redial 5 80, "},
        {{true, 6, 100}, 0, 0, {Failed(678), Failed(678), Failed(678), Failed(678)},
         "redial 1 100, redial 2 200, redial 3 400, redial 4 600, "},
        {{true, 2, 5}, 0, 0, {Failed(678), Failed(678), Failed(678)}, "redial 1 5, redial 2 10, giveup attempts, "},
        // A connection of 45 s starts the count over, 44 s does not.
        {usual, 0, 0, {Dropped(10), Dropped(44), Dropped(45), Failed(678)}, "redial 1 5, redial 2 10, redial 1 5, redial 2 10, "},
        {usual, 0, 0, {Failed(678), Failed(691)}, "redial 1 5, giveup final, "},  // a refused account
        {usual, 0, 0, {Failed(734)}, "giveup final, "},                           // an ended link negotiation
        {usual, 0, 0, {Failed(633), Failed(633)}, "redial 1 5, giveup port, "},
        {usual, 0, 0, {Failed(633), Failed(678), Failed(633)}, "redial 1 5, redial 2 10, redial 3 20, "},
        {{false, 5, 5}, 0, 0, {Dropped(100)}, "giveup off, "},
        {usual, 1, 0, {Failed(678)}, "giveup sim, "},
        {usual, 0, 1, {Dropped(100)}, "giveup limit, "},
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

TEST(RedialPolicy, TheLogSaysTheAttemptTheWaitAndTheReason) {
    RedialPolicy policy{RedialSettings{}};
    testing::RecordingLog log;
    LogRedialDecision(log.log, policy.DialEnded(policy.UserDialled(), Failed(678)), policy.Settings());
    LogRedialDecision(log.log, policy.DialEnded(policy.RedialDue(), Failed(691)), policy.Settings());
    EXPECT_EQ(log.Steps(), (std::vector<std::string>{"dial.redial\tstarted\t0\tattempt 1 of 5, in 5 s",
                                                     "dial.giveup\tdone\t691\terror 691 will not change by dialling again"}));
    EXPECT_EQ(DroppedDetail(125, 4096, 512), "after 125 s, received 4096 B, sent 512 B");
}

TEST(LinkSettings, ValuesOutOfRangeFallBackToTheDefaultsAndSaySo) {
    testing::MemoryProfile profile("[Setting]\nredial=2\nredial_attempts=-1\nredial_first_wait=99999999999999999999\n"
                                   "monthly_limit_mb=abc\nlimit_action=Disconnect\n");
    testing::RecordingLog log;
    const RedialSettings redial = ReadRedialSettings(profile, &log.log);
    const UsageSettings usage = ReadUsageSettings(profile, &log.log);
    EXPECT_TRUE(redial.enabled && redial.attempts == 5 && redial.firstWaitSeconds == 5);
    EXPECT_TRUE(usage.monthlyLimitMb == 0 && usage.disconnectAtLimit);
    ASSERT_EQ(log.Steps().size(), 4u);
    EXPECT_EQ(log.Steps()[1], "settings.default\tdone\t0\tredial_attempts=-1 is not a number from 0 to 100; 5 is used");
}

} // namespace
} // namespace vantaro
