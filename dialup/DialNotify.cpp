#include "dialup/DialNotify.h"

#include "dialup/RasRecords.h"

#include <atomic>
#include <mutex>
#include <utility>

namespace vantaro {

namespace {

struct NotifyTargets {
    std::mutex mutex;
    DialEventPair events;
    std::atomic<std::uint32_t> lastDialError{0};
};

// Made once and never destroyed: the service may still call the notifier while the process
// runs its exit.
NotifyTargets& Targets() {
    static NotifyTargets* const targets = new NotifyTargets;
    return *targets;
}

} // namespace

void SetDialEvents(DialEventPair events) {
    NotifyTargets& targets = Targets();
    DialEventPair previous;
    {
        std::lock_guard<std::mutex> lock(targets.mutex);
        previous = std::exchange(targets.events, std::move(events));
    }
    // The previous events are let go outside the lock; a waiter that still holds them keeps them.
}

DialEventPair CurrentDialEvents() {
    NotifyTargets& targets = Targets();
    std::lock_guard<std::mutex> lock(targets.mutex);
    return targets.events;
}

std::uint32_t LastDialError() { return Targets().lastDialError.load(); }

void DialNotify(std::uint32_t /*message*/, std::uint32_t rasconnstate, std::uint32_t error) {
    NotifyTargets& targets = Targets();
    if (error != 0) {
        // Stored before the event is signalled: the waiter reads it only after the event.
        targets.lastDialError.store(error);
        if (std::shared_ptr<DialEvent> event = CurrentDialEvents().error) event->Signal();
        return;
    }
    if (rasconnstate == ras::kStateConnected || rasconnstate == ras::kStateDisconnected) {
        if (std::shared_ptr<DialEvent> event = CurrentDialEvents().done) event->Signal();
    }
}

} // namespace vantaro
