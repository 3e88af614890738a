#pragma once
// The check before every dial of whether the phone is roaming, on another operator's network
// where data may cost far more. [Setting] roaming says what then happens: ask (the default)
// puts a Yes/No question, deny refuses, allow dials. A phone that is at home, not registered,
// silent, or on a port that does not open is dialled as before: the check never stops a dial
// that it cannot tell about.
//
// Only the user's Connect asks. A redial of a series whose question was answered Yes dials
// without asking again; a redial that finds the phone roaming in a series where nobody agreed
// to it is refused, since nobody may be at the PC to answer. deny refuses redials too.

#include "phone/PortFindings.h"
#include "phone/RegistrationRead.h"
#include "phone/SerialPort.h"
#include "platform/Clock.h"
#include "platform/Profile.h"
#include "platform/YesNoQuestion.h"
#include "workflow/DialSession.h"
#include "workflow/RoamingText.h"
#include "workflow/SettingsForm.h"

#include <cstdint>
#include <mutex>
#include <string>

namespace vantaro {

enum class RoamingPolicy { Ask, Allow, Deny };

// [Setting] roaming: ask, allow or deny, in any letter case. Anything else gives way to ask,
// and the log says so; a missing key is ask without a word.
RoamingPolicy ReadRoamingPolicy(const Profile& settings, Log* log);

// What one dial does about roaming.
enum class RoamingStep { Dial, Ask, RefuseDenied, RefuseNotAgreed };
// agreed: the user answered Yes at the Connect that began this series of dials.
RoamingStep DecideRoaming(RoamingPolicy policy, Registration registration, bool redial, bool agreed);

class RoamingGuard {
public:
    // The port is the installed modem's (form.PortName()) when there is one, else the port list's.
    RoamingGuard(SettingsForm& form, SerialPorts& ports, Clock& clock, YesNoQuestion& question,
                 RegistrationTimings timings = {})
        : form_(form), ports_(ports), clock_(clock), question_(question), timings_(timings) {}
    RoamingGuard(const RoamingGuard&) = delete;
    RoamingGuard& operator=(const RoamingGuard&) = delete;

    // The dial's clearance hook: runs on the dial's worker before anything is dialled.
    DialSession::DialClearance BeforeDial(bool redial);

private:
    SettingsForm& form_;
    SerialPorts& ports_;
    Clock& clock_;
    YesNoQuestion& question_;
    const RegistrationTimings timings_;
    // Dials run one at a time, but a question left open by a Disconnect may outlive its series.
    std::mutex mutex_;
    std::uint64_t series_ = 0;  // counts the user's Connects
    bool agreed_ = false;       // the user answered Yes at the Connect that began series_
};

} // namespace vantaro
