#pragma once

#include "engine/clock.h"

#include <atomic>
#include <mutex>

// A clock that moves only when told to, so gap fields, loop ranges and the
// timing trigger can be checked exactly. Safe to read from another thread.
class ManualClock final : public Clock
{
public:
    // With a step set, every reading moves the tick on by it afterwards, so
    // two readings inside one call can be told apart.
    uint32_t Tick() const override { return tick_.fetch_add(step_.load()); }
    TimeOfDay LocalTime() const override
    {
        std::lock_guard lock(mutex_);
        return time_;
    }

    void SetTick(uint32_t tick) { tick_.store(tick); }
    void SetStepPerReading(uint32_t step) { step_.store(step); }
    // Moves the tick and the time of day forward together.
    void Advance(uint32_t ms)
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
    void SetLocalTime(TimeOfDay time)
    {
        std::lock_guard lock(mutex_);
        time_ = time;
    }

private:
    mutable std::atomic<uint32_t> tick_ { 0 };
    std::atomic<uint32_t> step_ { 0 };
    mutable std::mutex mutex_;
    TimeOfDay time_ {};
};
