#pragma once
// Time as the program sees it: a millisecond tick count, the calendar time in UTC and a
// sleep. Tests substitute a clock they drive, so pacing and long time limits run at once.
#include <QDateTime>
#include <cstdint>

namespace tarvis {

class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds since an arbitrary start; wraps like a 32-bit tick count.
    virtual std::uint32_t TickCount() = 0;
    // The current calendar time, in UTC.
    virtual QDateTime UtcNow() = 0;
    virtual void Sleep(int milliseconds) = 0;
    // A sleep finer than a millisecond, for pacing a fast serial line; a clock that cannot
    // sleep so briefly sleeps whole milliseconds instead.
    virtual void SleepMicroseconds(int microseconds) { Sleep((microseconds + 999) / 1000); }
};

// The real clock of the machine.
Clock& SystemClock();

} // namespace tarvis
