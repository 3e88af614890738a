#pragma once
// The roaming guard over the Win32 serial ports and message boxes, as the dial's clearance hook.

#include "workflow/DialSession.h"
#include "workflow/SettingsForm.h"

namespace vantaro {

// The hook keeps its services alive; form must outlive it (both belong to the dialog's session).
DialSession::BeforeDial MakeRoamingCheck(SettingsForm& form);

} // namespace vantaro
