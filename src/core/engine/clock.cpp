#include "engine/clock.h"

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
