#pragma once
// A clock that only moves when someone sleeps on it (or a test moves it): bounded waits run in
// no time, and the pauses they took are recorded.

#include "platform/Clock.h"

#include <functional>
#include <vector>

namespace vantaro::testing {

class FakeClock final : public Clock {
public:
    std::uint32_t TickCount() const override { return now; }
    void Sleep(std::uint32_t milliseconds) override {
        sleeps.push_back(milliseconds);
        now += milliseconds;
        if (onSleep) onSleep();
    }

    std::uint32_t now = 1000;
    std::vector<std::uint32_t> sleeps;
    std::function<void()> onSleep;
};

} // namespace vantaro::testing
