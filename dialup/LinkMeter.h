#pragma once
// The figures of a connection, from one statistics sample a second: how long it has been up, what
// it has carried in each direction, and its speed over the last two seconds.
//
// The service counts bytes in DWORDs, which wrap after 4 GiB; the meter takes the difference of
// two samples modulo 2^32, so its own totals (and the monthly counter fed from its deltas) keep
// growing across a wrap. A sample that fails keeps the last figures and marks them stale.

#include "dialup/RasRecords.h"

#include <cstdint>
#include <deque>

namespace vantaro {

struct LinkFigures {
    bool sampled = false;            // at least one sample came
    bool stale = false;              // the last sample failed: these are the figures before it
    std::uint32_t connectedSeconds = 0;
    std::uint64_t received = 0;
    std::uint64_t sent = 0;
    bool speedKnown = false;         // the first sample, or two within the window; the last one good
    std::uint64_t receivedPerSecond = 0;
    std::uint64_t sentPerSecond = 0;
};

// What a sample added since the one before.
struct LinkDelta {
    std::uint64_t received = 0;
    std::uint64_t sent = 0;
};

class LinkMeter {
public:
    static constexpr std::uint32_t kSamplePeriodMs = 1000;
    static constexpr std::uint32_t kSpeedWindowMs = 2000;

    // One sample taken at `tickMs` (the platform's tick count); `statistics` is null when the
    // call failed.
    LinkDelta Sample(const ras::RAS_STATS* statistics, std::uint32_t tickMs);
    const LinkFigures& Figures() const { return figures_; }

private:
    struct Point {
        std::uint32_t tickMs;
        std::uint64_t received;
        std::uint64_t sent;
    };

    LinkFigures figures_;
    std::uint32_t lastReceived_ = 0;  // the service's counters at the last good sample
    std::uint32_t lastSent_ = 0;
    std::deque<Point> window_;        // the good samples of the last kSpeedWindowMs, oldest first
};

} // namespace vantaro
