#pragma once
// One line of the benchmark table: the repeated samples of a figure beside those of its
// baseline, both taken in the same run, the goal the figure is held to, and how the line is
// written in Markdown. Portable, so that the Windows driver and the host benchmark write the
// same table.

#include <string>
#include <vector>

namespace vantaro::bench {

struct Spread {
    double min = 0;
    double median = 0;
    double max = 0;
};

// Minimum, median (the mean of the middle two for an even count) and maximum; all zero for
// no samples.
Spread SpreadOf(std::vector<double> samples);

// A figure for the table: three significant digits, never an exponent.
std::string FormatValue(double value);

enum class GoalKind {
    RatioAtMost,      // median / baseline median <= limit
    MedianBelow,      // median < limit, in the figure's unit
    AddedBelow,       // median - baseline median < limit, in the figure's unit
    MaxBelow,         // every sample < limit: for what must hold each time, not typically
};

struct Goal {
    GoalKind kind = GoalKind::RatioAtMost;
    double limit = 0;
};

struct Row {
    std::string id;                     // "1", "6a"
    std::string figure;                 // what was measured
    std::string unit;                   // "ms", "MiB", "ns/B"
    std::vector<double> samples;
    std::string baseline;               // what it is compared with
    std::vector<double> baselineSamples;
    Goal goal;
    // Set when the figure could not be measured: the line then says why, and nothing else.
    std::string notAvailable;
};

// median / baseline median; 0 when the baseline median is 0.
double Ratio(const Row& row);
// Whether the medians meet the goal (false for a row that was not measured).
bool GoalMet(const Row& row);
// The goal in words ("ratio <= 1.2", "< 50 ms", "adds < 100 ms", "max < 50 ms").
std::string GoalText(const Goal& goal, const std::string& unit);

std::string TableHeader();
std::string TableRow(const Row& row);

} // namespace vantaro::bench
