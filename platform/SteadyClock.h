#pragma once
// The clock of the phone workers: the standard library's steady clock, the same on every
// platform and safe to share between threads.

#include "platform/Clock.h"

#include <chrono>
#include <thread>

namespace vantaro {

class SteadyClock final : public Clock {
public:
    std::uint32_t TickCount() const override {
        using namespace std::chrono;
        return static_cast<std::uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
    }
    void Sleep(std::uint32_t milliseconds) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }
};

} // namespace vantaro
