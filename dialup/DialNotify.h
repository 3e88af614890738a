#pragma once
// The notifier that the remote-access service calls, on a thread of its own choosing, while a
// dial runs. The service gives it no context, so what it reaches is process-wide: the done and
// error events of the current dial and the last error code.
//
// Those values live as long as the process (they are never destroyed, not even by the exit), and
// the events are held by shared pointer: a notification that comes after a time-out, after the
// events were cleared or after the dialog has ended either signals an event that is still valid
// or finds none. It never reaches the dialog.

#include "dialup/DialEvents.h"

#include <cstdint>
#include <memory>

namespace vantaro {

struct DialEventPair {
    std::shared_ptr<DialEvent> done;
    std::shared_ptr<DialEvent> error;
};

// Publishes the events of a new dial; an empty pair sets both to none.
void SetDialEvents(DialEventPair events);
DialEventPair CurrentDialEvents();
std::uint32_t LastDialError();

// An error code signals the error event (after storing the code); otherwise the connected and
// disconnected states signal the done event; every other state is ignored.
void DialNotify(std::uint32_t message, std::uint32_t rasconnstate, std::uint32_t error);

} // namespace vantaro
