#include "app/RoamingCheck.h"

#include "platform/SteadyClock.h"
#include "phone/win32/Win32SerialPort.h"
#include "platform/win32/Win32YesNoQuestion.h"
#include "workflow/RoamingGuard.h"

#include <memory>

namespace vantaro {

namespace {

struct Win32RoamingGuard {
    explicit Win32RoamingGuard(SettingsForm& form) : guard(form, ports, clock, question) {}

    Win32SerialPorts ports;
    SteadyClock clock;
    // Asked from the dial's worker: no owner, like the other boxes the workers show.
    Win32YesNoQuestion question{nullptr};
    RoamingGuard guard;
};

} // namespace

DialSession::BeforeDial MakeRoamingCheck(SettingsForm& form) {
    auto roaming = std::make_shared<Win32RoamingGuard>(form);
    return [roaming](bool redial) { return roaming->guard.BeforeDial(redial); };
}

} // namespace vantaro
