// The benchmark table's arithmetic: the spread of the samples and the goals' verdicts.

#include "bench/Summary.h"

#include <gtest/gtest.h>

namespace vantaro::bench {
namespace {

Row Measured(std::vector<double> samples, std::vector<double> baseline, Goal goal) {
    Row row;
    row.id = "1";
    row.figure = "launch";
    row.unit = "ms";
    row.samples = std::move(samples);
    row.baseline = "baseline";
    row.baselineSamples = std::move(baseline);
    row.goal = goal;
    return row;
}

TEST(BenchSpread, MedianIsTheMiddleSampleOrTheMeanOfTheMiddleTwoWhateverTheOrder) {
    const Spread odd = SpreadOf({9, 1, 5});
    EXPECT_EQ(odd.min, 1);
    EXPECT_EQ(odd.median, 5);
    EXPECT_EQ(odd.max, 9);
    const Spread even = SpreadOf({8, 2, 4, 6});
    EXPECT_EQ(even.median, 5);
    const Spread none = SpreadOf({});
    EXPECT_EQ(none.median, 0);
}

TEST(BenchSpread, FiguresKeepThreeDigitsAndNeverAnExponent) {
    EXPECT_EQ(FormatValue(1234567.0), "1234567");
    EXPECT_EQ(FormatValue(412.4), "412");
    EXPECT_EQ(FormatValue(12.345), "12.3");
    EXPECT_EQ(FormatValue(1.2), "1.20");
    EXPECT_EQ(FormatValue(0.0456), "0.046");
}

TEST(BenchGoal, ARatioAtTheLimitIsMetAndAboveItIsMissed) {
    EXPECT_TRUE(GoalMet(Measured({120}, {100}, {GoalKind::RatioAtMost, 1.2})));
    EXPECT_FALSE(GoalMet(Measured({121}, {100}, {GoalKind::RatioAtMost, 1.2})));
    EXPECT_FALSE(GoalMet(Measured({100}, {}, {GoalKind::RatioAtMost, 1.2}))) << "no baseline, no ratio";
}

TEST(BenchGoal, LimitsCalledUnderAreMissedWhenReachedAndUseTheMedians) {
    EXPECT_TRUE(GoalMet(Measured({10, 49, 900}, {3}, {GoalKind::MedianBelow, 50}))) << "one slow run is not the median";
    EXPECT_FALSE(GoalMet(Measured({50}, {3}, {GoalKind::MedianBelow, 50})));
    EXPECT_TRUE(GoalMet(Measured({599}, {500}, {GoalKind::AddedBelow, 100})));
    EXPECT_FALSE(GoalMet(Measured({600}, {500}, {GoalKind::AddedBelow, 100})));
    EXPECT_FALSE(GoalMet(Measured({10, 12, 50}, {3}, {GoalKind::MaxBelow, 50}))) << "one slow run is one too many";
    EXPECT_TRUE(GoalMet(Measured({10, 12, 49}, {300}, {GoalKind::MaxBelow, 50})));
}

TEST(BenchTable, AMeasuredRowShowsBothSpreadsTheRatioAndTheVerdict) {
    const std::string line = TableRow(Measured({110, 100, 130}, {100, 90, 95}, {GoalKind::RatioAtMost, 1.2}));
    EXPECT_EQ(line, "| 1 | launch | 100 / 110 / 130 ms | baseline | 90.0 / 95.0 / 100 ms | 1.16 | ratio <= 1.20 | met |\n");
    const std::string added = TableRow(Measured({700}, {500}, {GoalKind::AddedBelow, 100}));
    EXPECT_NE(added.find("| MISSED (adds 200 ms) |"), std::string::npos) << added;
}

TEST(BenchTable, ARowThatCouldNotBeMeasuredSaysWhyAndIsNeverMet) {
    Row row = Measured({2500}, {2000}, {GoalKind::AddedBelow, 500});
    row.notAvailable = "the install does not reach its last step";
    EXPECT_FALSE(GoalMet(row));
    const std::string line = TableRow(row);
    EXPECT_NE(line.find("| not available |"), std::string::npos) << line;
    EXPECT_NE(line.find("not available: the install does not reach its last step |"), std::string::npos) << line;
    EXPECT_EQ(line.find("met"), std::string::npos) << line;
}

} // namespace
} // namespace vantaro::bench
