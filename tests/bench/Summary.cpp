#include "bench/Summary.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace vantaro::bench {

Spread SpreadOf(std::vector<double> samples) {
    if (samples.empty()) return {};
    std::sort(samples.begin(), samples.end());
    const std::size_t middle = samples.size() / 2;
    const double median =
        samples.size() % 2 == 1 ? samples[middle] : (samples[middle - 1] + samples[middle]) / 2;
    return {samples.front(), median, samples.back()};
}

std::string FormatValue(double value) {
    const double magnitude = std::fabs(value);
    // Three significant digits or so: the precision is an argument, so the format stays a literal.
    const int decimals = magnitude >= 100 ? 0 : magnitude >= 10 ? 1 : magnitude >= 1 ? 2 : 3;
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

double Ratio(const Row& row) {
    const double baseline = SpreadOf(row.baselineSamples).median;
    return baseline == 0 ? 0 : SpreadOf(row.samples).median / baseline;
}

bool GoalMet(const Row& row) {
    if (!row.notAvailable.empty() || row.samples.empty()) return false;
    const double median = SpreadOf(row.samples).median;
    switch (row.goal.kind) {
    case GoalKind::RatioAtMost:
        return !row.baselineSamples.empty() && Ratio(row) <= row.goal.limit;
    case GoalKind::MedianBelow:
        return median < row.goal.limit;
    case GoalKind::AddedBelow:
        return !row.baselineSamples.empty() && median - SpreadOf(row.baselineSamples).median < row.goal.limit;
    case GoalKind::MaxBelow:
        return SpreadOf(row.samples).max < row.goal.limit;
    }
    return false;
}

std::string GoalText(const Goal& goal, const std::string& unit) {
    switch (goal.kind) {
    case GoalKind::RatioAtMost:
        return "ratio <= " + FormatValue(goal.limit);
    case GoalKind::MedianBelow:
        return "< " + FormatValue(goal.limit) + " " + unit;
    case GoalKind::AddedBelow:
        return "adds < " + FormatValue(goal.limit) + " " + unit;
    case GoalKind::MaxBelow:
        return "max < " + FormatValue(goal.limit) + " " + unit;
    }
    return {};
}

namespace {

std::string SpreadText(const std::vector<double>& samples, const std::string& unit) {
    const Spread spread = SpreadOf(samples);
    return FormatValue(spread.min) + " / " + FormatValue(spread.median) + " / " + FormatValue(spread.max) + " " + unit;
}

} // namespace

std::string TableHeader() {
    return "| # | figure | min / median / max | baseline | baseline min / median / max | ratio | goal | result |\n"
           "|---|---|---|---|---|---|---|---|\n";
}

std::string TableRow(const Row& row) {
    const std::string goal = GoalText(row.goal, row.unit);
    if (!row.notAvailable.empty() || row.samples.empty()) {
        const std::string why = row.notAvailable.empty() ? "no sample" : row.notAvailable;
        return "| " + row.id + " | " + row.figure + " | not available | " + row.baseline + " | " +
               (row.baselineSamples.empty() ? "-" : SpreadText(row.baselineSamples, row.unit)) + " | - | " + goal +
               " | not available: " + why + " |\n";
    }
    std::string result = GoalMet(row) ? "met" : "MISSED";
    if (row.goal.kind == GoalKind::AddedBelow) {
        const double added = SpreadOf(row.samples).median - SpreadOf(row.baselineSamples).median;
        result += " (adds " + FormatValue(added) + " " + row.unit + ")";
    }
    return "| " + row.id + " | " + row.figure + " | " + SpreadText(row.samples, row.unit) + " | " + row.baseline +
           " | " + SpreadText(row.baselineSamples, row.unit) + " | " + FormatValue(Ratio(row)) + " | " + goal + " | " +
           result + " |\n";
}

} // namespace vantaro::bench
