#pragma once

#include <cstdint>

// Time of day as the wall clock shows it, in local time.
struct TimeOfDay
{
    int Hour = 0; // 0..23
    int Minute = 0;
    int Second = 0;
    int Millisecond = 0;

    int SecondOfDay() const { return Hour * 3600 + Minute * 60 + Second; }
};

// The one source of millisecond ticks and of the time of day. Ticks are unsigned
// 32-bit milliseconds that wrap; compare them only by unsigned subtraction.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual uint32_t Tick() const = 0;
    virtual TimeOfDay LocalTime() const = 0;
};

// CLOCK_MONOTONIC milliseconds and the local wall time.
class SystemClock final : public Clock
{
public:
    uint32_t Tick() const override;
    TimeOfDay LocalTime() const override;

    static SystemClock &Instance();
};
