#pragma once
// The one clock of the process. Every "now" and "today" (Now, Date, Time) reads it; tests replace it
// with a fixed or stepped time.
#include "core/TDateTime.h"

#include <functional>

namespace rt {

using TClockFunc = std::function<TDateTime()>;

// The current local date and time from the clock in use.
TDateTime ClockNow();
// The operating system's local date and time, to the millisecond.
TDateTime SystemNow();

// Installs a clock; an empty function restores the system clock.
void SetClock(TClockFunc clock);
void ResetClock();

// Installs a clock for the lifetime of the object, then puts the previous one back.
class ScopedClock {
public:
    explicit ScopedClock(TClockFunc clock);
    explicit ScopedClock(TDateTime fixed); // a clock that stands still
    ~ScopedClock();
    ScopedClock(const ScopedClock&) = delete;
    ScopedClock& operator=(const ScopedClock&) = delete;

private:
    TClockFunc FSaved;
};

} // namespace rt
