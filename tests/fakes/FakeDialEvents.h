#pragma once
// Dial events in memory. A wait answers at once: the first event found signalled, or a time-out
// that moves the fake clock on by the whole wait. What happens "while" a dial waits (the dialog
// ends, a notification comes) is a hook that runs inside the wait.

#include "dialup/DialEvents.h"
#include "fakes/FakeClock.h"

#include <functional>
#include <mutex>
#include <utility>

namespace vantaro::testing {

class FakeDialEvent final : public DialEvent {
public:
    explicit FakeDialEvent(bool manualReset) : manualReset_(manualReset) {}
    void Signal() override {
        std::lock_guard<std::mutex> lock(mutex_);
        signalled_ = true;
        ++signalCount;
    }
    bool Take() {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!signalled_) return false;
        if (!manualReset_) signalled_ = false;
        return true;
    }
    int signalCount = 0;

private:
    std::mutex mutex_;
    bool manualReset_;
    bool signalled_ = false;
};

class FakeDialEvents final : public DialEvents {
public:
    explicit FakeDialEvents(FakeClock& clock) : clock_(clock) {}

    std::shared_ptr<DialEvent> Create(bool manualReset) override {
        ++created;
        if (created == failCreation) return nullptr;
        return std::make_shared<FakeDialEvent>(manualReset);
    }
    int WaitForAny(const std::vector<DialEvent*>& events, std::uint32_t timeoutMs) override {
        waitTimeouts.push_back(timeoutMs);
        waitSizes.push_back(events.size());
        if (duringWait) std::exchange(duringWait, {})();
        for (std::size_t i = 0; i < events.size(); ++i)
            if (static_cast<FakeDialEvent*>(events[i])->Take()) return static_cast<int>(i);
        clock_.now += timeoutMs;
        return kTimedOut;
    }

    // The creation with this number (1 = the first) fails; 0 = none.
    int failCreation = 0;
    int created = 0;
    std::vector<std::uint32_t> waitTimeouts;
    std::vector<std::size_t> waitSizes;
    std::function<void()> duringWait;

private:
    FakeClock& clock_;
};

} // namespace vantaro::testing
