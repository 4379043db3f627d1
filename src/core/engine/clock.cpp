#include "engine/clock.h"
#include "engine/manual_clock.h"

#include <ctime>

uint32_t SystemClock::Tick() const
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    const uint64_t ms = uint64_t(ts.tv_sec) * 1000u + uint64_t(ts.tv_nsec) / 1000000u;
    return uint32_t(ms); // wraps like any 32-bit millisecond counter
}

TimeOfDay SystemClock::LocalTime() const
{
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    tm local{};
    localtime_r(&ts.tv_sec, &local);
    return TimeOfDay{local.tm_hour, local.tm_min, local.tm_sec, int(ts.tv_nsec / 1000000)};
}

SystemClock &SystemClock::Instance()
{
    static SystemClock clock;
    return clock;
}

void ManualClock::Advance(uint32_t ms)
{
    tick_.fetch_add(ms);
    std::lock_guard lock(mutex_);
    int total = time_.Millisecond + int(ms % 86400000u);
    time_.Millisecond = total % 1000;
    int seconds = time_.SecondOfDay() + total / 1000;
    seconds %= 86400;
    time_.Hour = seconds / 3600;
    time_.Minute = seconds / 60 % 60;
    time_.Second = seconds % 60;
}
