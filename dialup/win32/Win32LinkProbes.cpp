#include "dialup/win32/Win32LinkProbes.h"

#include "platform/win32/UniqueHandle.h"

#include <windows.h>

namespace vantaro {

namespace {

class Win32LinkProbe final : public LinkProbe {
public:
    Win32LinkProbe(RasLibrary& library, ras::ConnectionHandle connection)
        : watch_(library, connection), ended_(::CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
        // Without an event there is nothing to signal: the status is polled instead.
        if (ended_) watch_.NotifyOnEnd(ended_.get());
    }

    bool Notified() const override { return watch_.Notified(); }
    bool EndSignalled() override { return ::WaitForSingleObject(ended_.get(), 0) == WAIT_OBJECT_0; }
    LinkStatus Status() override { return watch_.Status(); }
    bool Statistics(ras::RAS_STATS& statistics) override { return watch_.Read(statistics); }

private:
    LinkWatch watch_;
    UniqueKernelHandle ended_;
};

} // namespace

std::unique_ptr<LinkProbe> Win32LinkProbes::Watch(ras::ConnectionHandle connection) {
    return std::make_unique<Win32LinkProbe>(library_, connection);
}

} // namespace vantaro
