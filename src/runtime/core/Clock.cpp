#include "core/Clock.h"

#include "core/DateTime.h"

#include <chrono>
#include <ctime>
#include <mutex>

namespace rt {

namespace {

std::mutex& ClockMutex() {
    static std::mutex m;
    return m;
}

TClockFunc& CurrentClock() {
    static TClockFunc clock;
    return clock;
}

TClockFunc Exchange(TClockFunc clock) {
    std::lock_guard lock(ClockMutex());
    std::swap(CurrentClock(), clock);
    return clock;
}

} // namespace

TDateTime SystemNow() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t seconds = system_clock::to_time_t(now);
    const auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm local{};
    localtime_r(&seconds, &local);
    return ComposeDateTime(EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday),
                           EncodeTime(local.tm_hour, local.tm_min, local.tm_sec > 59 ? 59 : local.tm_sec,
                                      static_cast<int>(ms < 0 ? ms + 1000 : ms)));
}

TDateTime ClockNow() {
    TClockFunc clock;
    {
        std::lock_guard lock(ClockMutex());
        clock = CurrentClock();
    }
    return clock ? clock() : SystemNow();
}

void SetClock(TClockFunc clock) {
    Exchange(std::move(clock));
}

void ResetClock() {
    Exchange(nullptr);
}

ScopedClock::ScopedClock(TClockFunc clock) : FSaved(Exchange(std::move(clock))) {}

ScopedClock::ScopedClock(TDateTime fixed) : ScopedClock([fixed] { return fixed; }) {}

ScopedClock::~ScopedClock() {
    Exchange(std::move(FSaved));
}

} // namespace rt
