#pragma once
// The events a dial waits on, and the bounded wait for whichever comes first.

#include <cstdint>
#include <memory>
#include <vector>

namespace vantaro {

class DialEvent {
public:
    DialEvent() = default;
    DialEvent(const DialEvent&) = delete;
    DialEvent& operator=(const DialEvent&) = delete;
    virtual ~DialEvent() = default;

    // Safe from any thread, for as long as someone holds the event.
    virtual void Signal() = 0;
};

class DialEvents {
public:
    DialEvents() = default;
    DialEvents(const DialEvents&) = delete;
    DialEvents& operator=(const DialEvents&) = delete;
    virtual ~DialEvents() = default;

    static constexpr int kTimedOut = -1;
    static constexpr int kFailed = -2;

    // An unnamed event, not signalled; an auto-reset one wakes one wait and resets itself.
    // Null when the platform gives none.
    virtual std::shared_ptr<DialEvent> Create(bool manualReset) = 0;
    // The index of the first event found signalled, kTimedOut after timeoutMs, or kFailed.
    virtual int WaitForAny(const std::vector<DialEvent*>& events, std::uint32_t timeoutMs) = 0;
};

} // namespace vantaro
