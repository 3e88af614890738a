#pragma once
// A millisecond clock and a pause: the platform's tick count and Sleep. Waits with a bound are
// decided against this interface, so tests run them on a clock of their own without waiting.

#include <cstdint>

namespace vantaro {

class Clock {
public:
    Clock() = default;
    Clock(const Clock&) = delete;
    Clock& operator=(const Clock&) = delete;
    virtual ~Clock() = default;

    // Milliseconds since some start; wraps around like the platform's tick count.
    virtual std::uint32_t TickCount() const = 0;
    virtual void Sleep(std::uint32_t milliseconds) = 0;
};

} // namespace vantaro
