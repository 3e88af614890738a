#include "dialup/LinkMeter.h"

namespace vantaro {

LinkDelta LinkMeter::Sample(const ras::RAS_STATS* statistics, std::uint32_t tickMs) {
    if (!statistics) {
        figures_.stale = figures_.sampled;
        figures_.speedKnown = false;
        return {};
    }
    // The service counts from the start of the connection, so the first sample's counters are
    // all that has moved so far. Unsigned 32-bit subtraction is the difference modulo 2^32.
    const LinkDelta delta{static_cast<std::uint32_t>(statistics->dwBytesRcved - lastReceived_),
                          static_cast<std::uint32_t>(statistics->dwBytesXmited - lastSent_)};
    lastReceived_ = statistics->dwBytesRcved;
    lastSent_ = statistics->dwBytesXmited;
    const bool first = !figures_.sampled;
    figures_.sampled = true;
    figures_.stale = false;
    figures_.connectedSeconds = statistics->dwConnectDuration / 1000;
    figures_.received += delta.received;
    figures_.sent += delta.sent;

    // Tick differences are taken unsigned too: the tick count wraps after 49 days.
    while (!window_.empty() && static_cast<std::uint32_t>(tickMs - window_.front().tickMs) > kSpeedWindowMs)
        window_.pop_front();
    window_.push_back({tickMs, figures_.received, figures_.sent});
    const Point& oldest = window_.front();
    const std::uint32_t span = tickMs - oldest.tickMs;
    if (span > 0) {
        figures_.receivedPerSecond = (figures_.received - oldest.received) * 1000 / span;
        figures_.sentPerSecond = (figures_.sent - oldest.sent) * 1000 / span;
    } else if (first) {
        // The first sample: the speed since the connection began, by the service's own clock
        // ("Down —" is kept for a call that failed). A connection not a millisecond old moved
        // nothing yet.
        const std::uint32_t upMs = statistics->dwConnectDuration;
        figures_.receivedPerSecond = upMs == 0 ? 0 : figures_.received * 1000 / upMs;
        figures_.sentPerSecond = upMs == 0 ? 0 : figures_.sent * 1000 / upMs;
    }
    figures_.speedKnown = span > 0 || first;
    return delta;
}

} // namespace vantaro
