#pragma once
// Long waits on the user-interface thread keep the interface alive by processing pending
// events; this is that "process pending messages" step, behind a seam tests can replace.
#include "platform/Clock.h"

namespace tarvis {

class EventPump {
public:
    virtual ~EventPump() = default;
    virtual void ProcessPendingEvents() = 0;
};

// Processes the Qt events pending on the calling thread.
EventPump& QtEventPump();

// Waits at least `milliseconds` by the clock's tick count, processing pending events on
// every pass; returns the milliseconds that passed.
int Delay(Clock& clock, EventPump& pump, int milliseconds);

} // namespace tarvis
