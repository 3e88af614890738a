#pragma once
// Watching an established connection: its statistics once a second, and its end. The service
// signals an event when the connection ends (RasConnectionNotificationA); where it refuses to,
// the connection's status is asked every five seconds instead, so a drop is still seen within
// six seconds.
//
// The binding stays loaded for as long as the watch lives, which is the connection's lifetime.

#include "dialup/LinkMeter.h"
#include "dialup/RasBinding.h"

#include <cstdint>
#include <memory>

namespace vantaro {

enum class LinkStatus { Up, Gone, Unknown };

class LinkWatch {
public:
    static constexpr std::uint32_t kStatusPollMs = 5000;

    LinkWatch(RasLibrary& library, ras::ConnectionHandle connection) : binding_(library), connection_(connection) {}

    // Asks the service to signal `event` when the connection ends. False when it refuses (or the
    // library is missing): the caller then polls Status() every kStatusPollMs.
    bool NotifyOnEnd(void* event) {
        notified_ = binding_.ConnectionNotification(connection_, event, ras::kNotifyDisconnection) == 0;
        return notified_;
    }
    bool Notified() const { return notified_; }

    // Gone once the service no longer knows the connection or reports it disconnected; Unknown
    // when it gives some other error (the watch goes on).
    LinkStatus Status() {
        ras::RASCONNSTATUSA status{};
        const std::uint32_t result = binding_.GetConnectStatus(connection_, &status);
        if (result == ras::kErrorInvalidHandle) return LinkStatus::Gone;
        if (result != 0) return LinkStatus::Unknown;
        return status.rasconnstate == ras::kStateDisconnected ? LinkStatus::Gone : LinkStatus::Up;
    }

    // The connection's figures; false when the call failed.
    bool Read(ras::RAS_STATS& statistics) {
        statistics.dwSize = ras::kStatsSize;
        return binding_.GetConnectionStatistics(connection_, &statistics) == 0;
    }

    // One statistics sample into the meter; a failed call keeps the meter's last figures.
    LinkDelta Sample(LinkMeter& meter, std::uint32_t tickMs) {
        ras::RAS_STATS statistics{};
        return meter.Sample(Read(statistics) ? &statistics : nullptr, tickMs);
    }

private:
    RasBinding binding_;
    ras::ConnectionHandle connection_;
    bool notified_ = false;
};

// One established connection, as far as watching it goes (a LinkWatch on Windows).
class LinkProbe {
public:
    LinkProbe() = default;
    LinkProbe(const LinkProbe&) = delete;
    LinkProbe& operator=(const LinkProbe&) = delete;
    virtual ~LinkProbe() = default;

    // The service agreed to signal the connection's end.
    virtual bool Notified() const = 0;
    // The service has signalled the end (only when Notified()).
    virtual bool EndSignalled() = 0;
    virtual LinkStatus Status() = 0;
    // False when the call failed.
    virtual bool Statistics(ras::RAS_STATS& statistics) = 0;
};

class LinkProbes {
public:
    virtual ~LinkProbes() = default;
    virtual std::unique_ptr<LinkProbe> Watch(ras::ConnectionHandle connection) = 0;
};

} // namespace vantaro
