#pragma once
// The platform's tick count and Sleep.

#include "platform/Clock.h"

#include <windows.h>

namespace vantaro {

class Win32Clock final : public Clock {
public:
    std::uint32_t TickCount() const override { return ::GetTickCount(); }
    void Sleep(std::uint32_t milliseconds) override { ::Sleep(milliseconds); }
};

} // namespace vantaro
