#pragma once
// Watching established connections through the system's rasapi32.dll: each probe holds the
// library and an event that the service signals when its connection ends.

#include "dialup/win32/SystemRasLibrary.h"
#include "dialup/LinkWatch.h"

namespace vantaro {

class Win32LinkProbes final : public LinkProbes {
public:
    std::unique_ptr<LinkProbe> Watch(ras::ConnectionHandle connection) override;

private:
    SystemRasLibrary library_;
};

} // namespace vantaro
